#!/usr/bin/env bash
# Installs what is missing, builds every test (and the benchmarks) and runs the tests headless.
# With SANITIZE=1 the same tests are built with AddressSanitizer and UndefinedBehaviorSanitizer in
# a folder of their own and stop at the first report. Warnings fail the build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"
if [ "${SANITIZE:-0}" = 1 ]; then
    dir=build-sanitize
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
        -DQV_SANITIZE=ON -DQV_BUILD_BENCH=OFF -DQV_WERROR=ON >/dev/null
    export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    export LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp"
else
    dir=build-test
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_BENCH=ON -DQV_WERROR=ON >/dev/null
fi
cmake --build "$dir" -j"$jobs"
ctest --test-dir "$dir" --output-on-failure -j"$jobs"
