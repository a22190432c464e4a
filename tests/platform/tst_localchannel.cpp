// SPDX-License-Identifier: GPL-3.0-or-later
// The local socket channel against itself, as two starts of the program use it.
#include "LocalChannel.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using kv::UnixLocalChannel;

namespace {

// Without `bytes`: bound and left without a listener, as a crash leaves it.
// With them: sent as they are, and the connection closed.
bool rawSocket(const QString &path, const QByteArray &bytes = {})
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::copy(name.begin(), name.end(), address.sun_path);
    const auto *where = reinterpret_cast<const sockaddr *>(&address);
    const bool done = bytes.isEmpty() ? ::bind(fd, where, sizeof(address)) == 0
                                      : ::connect(fd, where, sizeof(address)) == 0 &&
                                            ::send(fd, bytes.constData(), size_t(bytes.size()),
                                                   MSG_NOSIGNAL) == bytes.size();
    ::close(fd);
    return done;
}

QList<QByteArray> linesOf(const QSignalSpy &spy)
{
    QList<QByteArray> lines;
    for (const QList<QVariant> &call : spy)
        lines << call.value(0).toByteArray();
    return lines;
}

} // namespace

class TestLocalChannel : public QObject
{
    Q_OBJECT

private slots:
    void sentLinesArrive();
    void rawRequests_data();
    void rawRequests();
    void staleSocketIsTakenOver_data();
    void staleSocketIsTakenOver();
};

void TestLocalChannel::sentLinesArrive()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("first.socket");
    std::optional<UnixLocalChannel> first(std::in_place);
    QSignalSpy received(&*first, &UnixLocalChannel::lineReceived);
    QVERIFY2(first->listen(path), qPrintable(first->errorString()));
    // Only this user may connect.
    struct stat status = {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
    QVERIFY(S_ISSOCK(status.st_mode));
    QCOMPARE(status.st_mode & 0777, 0600u);

    UnixLocalChannel second;
    QVERIFY(second.send(path, {}, 0)); // only tries the connection
    QVERIFY(second.send(path, "show", 1000));
    QVERIFY(second.send(path, "show gnome-shell/Kronvale/2317-4-host_TIME1834567", 1000));
    QVERIFY(!second.send(path, "show\nshow", 1000)); // one line at a time
    QTRY_COMPARE(received.count(), 2);
    QCOMPARE(linesOf(received),
             (QList<QByteArray>{"show", "show gnome-shell/Kronvale/2317-4-host_TIME1834567"}));

    // The socket goes with its channel.
    first.reset();
    QVERIFY(!QFile::exists(path));
}

void TestLocalChannel::rawRequests_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::newRow("two in one go")
        << QByteArray("show\nshow a\n") << QList<QByteArray>{"show", "show a"};
    QTest::newRow("unfinished at the end")
        << QByteArray("show\nshow b") << QList<QByteArray>{"show"};
    const QByteArray longest(UnixLocalChannel::kLongestLine, 'x');
    QTest::newRow("longest") << longest + '\n' << QList<QByteArray>{longest};
    // The connection is dropped: nothing after it counts.
    QTest::newRow("too long") << QByteArray(UnixLocalChannel::kLongestLine + 1, 'x') + "\nshow\n"
                              << QList<QByteArray>{};
    QTest::newRow("too long, unfinished")
        << "show\n" + QByteArray(8 * UnixLocalChannel::kLongestLine, 'x') + "\nshow\n"
        << QList<QByteArray>{"show"};
}

void TestLocalChannel::rawRequests()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QByteArray>, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath("raw.socket");
    UnixLocalChannel channel;
    QSignalSpy received(&channel, &UnixLocalChannel::lineReceived);
    QVERIFY(channel.listen(path));
    QVERIFY(rawSocket(path, bytes));
    // A request sent after it still arrives, and after all the others.
    QVERIFY(UnixLocalChannel().send(path, "next", 1000));
    QTRY_VERIFY(!received.isEmpty() && received.last().value(0).toByteArray() == "next");
    QCOMPARE(linesOf(received), lines + QList<QByteArray>{"next"});
}

void TestLocalChannel::staleSocketIsTakenOver_data()
{
    QTest::addColumn<bool>("socket"); // else a plain file
    QTest::newRow("socket") << true;
    QTest::newRow("file") << false;
}

void TestLocalChannel::staleSocketIsTakenOver()
{
    QFETCH(bool, socket);
    QTemporaryDir dir;
    const QString path = dir.filePath("stale.socket");
    if (socket)
        QVERIFY(rawSocket(path));
    else
        QVERIFY(QFile(path).open(QIODevice::WriteOnly));
    UnixLocalChannel sender;
    QVERIFY(!sender.send(path, "show", 200)); // tried until the time is up
    QVERIFY(sender.errorString().contains(path));
    UnixLocalChannel channel;
    QSignalSpy received(&channel, &UnixLocalChannel::lineReceived);
    QVERIFY2(channel.listen(path), qPrintable(channel.errorString()));
    QVERIFY(sender.send(path, "show", 1000));
    QTRY_COMPARE(received.count(), 1);
    QCOMPARE(QDir(dir.path()).entryList(QDir::System | QDir::Files), QStringList{"stale.socket"});
}

QTEST_MAIN(TestLocalChannel)
#include "tst_localchannel.moc"
