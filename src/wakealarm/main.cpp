// SPDX-License-Identifier: GPL-3.0-or-later
// kronvale-wakealarm: holds one timer on CLOCK_REALTIME_ALARM, which the kernel
// writes into the real-time clock when the machine suspends, so the machine
// wakes at the time it is set for.
//
// Standard input takes one line per request: the wake time in seconds since the
// epoch, or 0 to disarm. Each line is answered on standard output with
// "armed <seconds>", "disarmed" or "refused <why>"; a refused line changes
// nothing. The helper ends when its input closes, and the timer goes with it.
//
// "--check" only tells whether the timer can be made: status 0, or 3 with the
// reason on standard error. Without CAP_WAKE_ALARM it cannot.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

constexpr int kNoAlarm = 3;
constexpr int kUsage = 2;
// Eleven digits last until the year 5138; a longer line is no time.
constexpr std::size_t kMostDigits = 12;

int makeAlarm()
{
    const int fd = timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EPERM)
            std::fprintf(stderr, "kronvale-wakealarm: no CAP_WAKE_ALARM capability\n");
        else
            std::fprintf(stderr, "kronvale-wakealarm: no wake alarm: %s\n", std::strerror(error));
    }
    return fd;
}

// The seconds a line names: digits only, nothing before or after them.
bool readSeconds(const std::string &line, long long &seconds)
{
    if (line.empty() || line.size() > kMostDigits)
        return false;
    seconds = 0;
    for (const char c : line) {
        if (c < '0' || c > '9')
            return false;
        seconds = seconds * 10 + (c - '0');
    }
    return true;
}

void answer(const char *format, long long value = 0)
{
    std::printf(format, value);
    std::fflush(stdout);
}

void handle(int fd, const std::string &line)
{
    long long seconds = 0;
    if (!readSeconds(line, seconds)) {
        answer("refused not a number of seconds\n");
        return;
    }
    itimerspec when{};
    when.it_value.tv_sec = static_cast<time_t>(seconds);
    // An all-zero time disarms, which is what 0 asks for.
    if (timerfd_settime(fd, TFD_TIMER_ABSTIME, &when, nullptr) != 0) {
        std::printf("refused %s\n", std::strerror(errno));
        std::fflush(stdout);
        return;
    }
    if (seconds == 0)
        answer("disarmed\n");
    else
        answer("armed %lld\n", seconds);
}

} // namespace

int main(int argc, char *argv[])
{
    const bool check = argc == 2 && std::strcmp(argv[1], "--check") == 0;
    if (argc > 1 && !check) {
        std::fprintf(stderr, "usage: kronvale-wakealarm [--check]\n");
        return kUsage;
    }
    // A program that ends while we answer must not end us by a signal.
    std::signal(SIGPIPE, SIG_IGN);
    const int fd = makeAlarm();
    if (fd < 0)
        return kNoAlarm;
    if (check)
        return 0;

    std::string line;
    bool overlong = false;
    for (int c = std::getchar(); c != EOF; c = std::getchar()) {
        if (c != '\n') {
            if (line.size() <= kMostDigits)
                line += static_cast<char>(c);
            else
                overlong = true;
            continue;
        }
        if (overlong)
            answer("refused not a number of seconds\n");
        else
            handle(fd, line);
        line.clear();
        overlong = false;
    }
    close(fd);
    return 0;
}
