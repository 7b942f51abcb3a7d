#!/usr/bin/env bash
# Runs a libFuzzer target for a number of minutes on its seed corpus (fuzz/corpus/TARGET/) and
# what earlier runs found (build-fuzz/corpus/TARGET/, kept between runs), with its dictionary
# fuzz/TARGET.dict when there is one. TARGET "all" runs every target in turn, MINUTES each
# (fractions allowed: 0.5). Builds with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# build-fuzz/. A crash or a broken invariant stops the run with the input in
# build-fuzz/findings/TARGET/ and a non-zero exit; add the input to fuzz/corpus/TARGET/ once fixed.
#     scripts/fuzz.sh receive 60
#     scripts/fuzz.sh all 1 -seed=1     (extra arguments go to libFuzzer)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 2 ]; then
    echo "usage: scripts/fuzz.sh TARGET|all MINUTES [libFuzzer arguments...]" >&2
    exit 2
fi
target=$1 minutes=$2
shift 2
scripts/setup.sh
dir=build-fuzz

# The targets are the qv_add_fuzzer lines of fuzz/CMakeLists.txt.
mapfile -t all < <(sed -n 's/^qv_add_fuzzer(\([a-z_0-9]*\) .*/\1/p' fuzz/CMakeLists.txt)
if [ "$target" = all ]; then
    targets=("${all[@]}")
elif printf '%s\n' "${all[@]}" | grep -qx "$target"; then
    targets=("$target")
else
    echo "unknown target $target; targets: ${all[*]}" >&2
    exit 2
fi

# Options of single targets. The waveform file target keeps one program for the whole run, whose
# allocations would make every input look like a leak (the sanitizer test suite checks for leaks);
# the number target reads 13 bytes.
declare -A options=([waveform_file]="-detect_leaks=0" [number_format]="-max_len=16")

CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_BUILD_FUZZ=ON \
    -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)" --target "${targets[@]}"

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen
seconds=$(awk -v m="$minutes" 'BEGIN { printf "%d", m * 60 }')
status=0
for t in "${targets[@]}"; do
    mkdir -p "$dir/corpus/$t" "$dir/findings/$t"
    dict=()
    [ -f "fuzz/$t.dict" ] && dict=(-dict="fuzz/$t.dict")
    log="$dir/findings/$t/last-run.log"
    echo "== $t: ${seconds} s"
    # shellcheck disable=SC2086 # the options are separate words
    if ! "$dir/fuzz/$t" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$dir/findings/$t/" "${dict[@]}" ${options[$t]:-} "$@" \
        "$dir/corpus/$t" "fuzz/corpus/$t" >"$log" 2>&1; then
        status=1
        grep -E "invariant broken|ERROR|runtime error|Test unit written" "$log" || tail -n 30 "$log"
        echo "== $t: FINDING (log: $log)"
        continue
    fi
    done=$(grep -E "^#[0-9]+[[:space:]]+DONE" "$log" | tail -n 1)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    echo "== $t: no finding; $runs executions ($rate/s); ${done#*DONE }"
done
exit $status
