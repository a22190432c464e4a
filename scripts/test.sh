#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Kronvale twice (plain, and with AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs every test in both builds; checks the
# Debian package and the installed program of the plain build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"

echo "== Format check"
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench -name '*.cpp' -o -name '*.h')
# shellcheck disable=SC2086
clang-format --dry-run --Werror $files

echo "== Plain build"
"$root/scripts/build.sh" build -DKRONVALE_WERROR=ON
ctest --test-dir build --output-on-failure --timeout 300

echo "== Debian package and installed program"
"$root/scripts/check-install.sh" build

# Plasma is too large to install for the tests; it is checked where it is there.
if command -v kwin_wayland >/dev/null && command -v plasmashell >/dev/null &&
    command -v kded5 >/dev/null; then
    echo "== Tray icon in KDE Plasma"
    /usr/bin/python3 "$root/scripts/check-plasma-tray.py" build/src/app/kronvale
fi

echo "== Benchmarks (smoke run)"
for b in build/bench/bench_*; do
    if [ -f "$b" ] && [ -x "$b" ]; then
        QT_QPA_PLATFORM=offscreen "$b" -iterations 3 >/dev/null
    fi
done
# Start-up against a bare window: one run of each, for its running only; the
# figures mean something only in its full run on a quiet machine.
build/bench/startup 1

echo "== Fuzzing the task base reader (60 s)"
CXX=clang++ "$root/scripts/build.sh" build-fuzz -DKRONVALE_FUZZ=ON -DKRONVALE_WERROR=ON
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
build-fuzz/tests/fuzz/fuzz_taskbase -max_total_time=60 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=0 "$corpus" tests/fuzz/seeds 2>"$corpus.log" ||
    { tail -n 40 "$corpus.log"; exit 1; }
rm -f "$corpus.log"

echo "== Sanitizer build"
"$root/scripts/build.sh" build-asan -DKRONVALE_WERROR=ON -DKRONVALE_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure --timeout 600
