#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it with the built-in virtual meter.
# Without a display it runs under Xvfb and saves pictures of the window, printing their paths.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# The same build folder and settings as scripts/test.sh, building only the program: after the
# tests nothing is compiled again, and the tests reuse what this builds.
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_BENCH=ON -DQV_WERROR=ON >/dev/null
cmake --build build-test --target qvlink -j"$(nproc)"
mode="${1:-dso}"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build-test/app/qt/qvlink --demo "$mode"
fi
echo "No display: running under Xvfb and saving pictures of the window."
xvfb-run -a -s "-screen 0 1280x1024x24" build-test/app/qt/qvlink --demo "$mode" --screenshots "$PWD/out/screenshots"
