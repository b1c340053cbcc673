#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (clang++, ASan + UBSan) in
# ${FUZZ_BUILD_DIR:-build-fuzz} and runs each for SECONDS seconds, seeded from
# ../shared/seg2-corpus and from files the program's own writers make. The
# corpus each target grows is kept in the build folder for the next run.
# Prints "<target> execs N" a target; ends non-zero on any finding (the input
# is left in <build>/findings).
set -euo pipefail
seconds=${1:?usage: scripts/fuzz.sh SECONDS}
src=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-build-fuzz}
case $build in /*) ;; *) build=$src/$build ;; esac
targets=(seg2_fuzz record_file_fuzz data_text_fuzz converter_args_fuzz project_fuzz config_fuzz unit_bytes_fuzz
         passive_marker_fuzz monitor_settings_fuzz)

if [[ ! -f $build/build.ninja ]]; then
    cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DQ24_FUZZ=ON -DQ24_BUILD_TESTS=OFF -DQ24_BUILD_BENCH=OFF >/dev/null
fi
if ! out=$(nice -n 10 ninja -C "$build" -j"${FUZZ_JOBS:-1}" "${targets[@]}" fuzz_seeds 2>&1); then
    echo "$out" | tail -40
    exit 1
fi

seeds=$build/seeds
rm -rf "$seeds"
"$build/fuzz/fuzz_seeds" "$seeds"
corpus=$src/../shared/seg2-corpus
if [[ -d $corpus ]]; then
    find "$corpus" -maxdepth 1 -type f \( -iname '*.seg2' -o -iname '*.dat' -o -iname '*.sg2' \) \
        -exec cp -t "$seeds/seg2_fuzz" {} +
fi

mkdir -p "$build/findings"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
failed=0
for t in "${targets[@]}"; do
    mkdir -p "$build/corpus/$t"
    log=$build/findings/$t.log
    rc=0
    # -timeout: one input taking 10 s is a hang; the inputs stay below 256 KiB.
    "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -max_len=262144 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$t-" "$build/corpus/$t" "$seeds/$t" >"$log" 2>&1 || rc=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [[ $rc -ne 0 ]]; then
        failed=1
        echo "$t execs ${execs:-?} FINDING (exit $rc): see $log"
    else
        echo "$t execs ${execs:-?}"
    fi
done
exit $failed
