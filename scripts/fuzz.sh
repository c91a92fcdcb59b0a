#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang (ASan + UBSan), replays their seed corpora,
# then runs each target for FUZZ_SECONDS (default 600) and prints how many inputs it tried.
#   bash scripts/fuzz.sh                  # ten minutes per target
#   FUZZ_SECONDS=45 bash scripts/fuzz.sh  # what CI does
#   bash scripts/fuzz.sh fun_file ini     # only these targets
# New inputs found go to $FUZZ_DIR/corpus/<target>; crashes to $FUZZ_DIR/artifacts/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-600}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fun_file compiler input_hints interval ini help_bundle undo_history)

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/artifacts"
for t in "${targets[@]}"; do
    seeds="$root/fuzz/corpus/$t"
    work="$build/corpus/$t"
    mkdir -p "$work"
    echo "== fuzz_$t: replaying $(find "$seeds" -type f | wc -l) seeds"
    "$build/bin/fuzz_$t" -runs=0 "$seeds" >"$build/$t.replay.log" 2>&1 ||
        { tail -n 40 "$build/$t.replay.log"; exit 1; }
    echo "== fuzz_$t: ${seconds}s"
    "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" \
        "$work" "$seeds" >"$build/$t.log" 2>&1 || { tail -n 60 "$build/$t.log"; exit 1; }
    grep -E '^stat::number_of_executed_units' "$build/$t.log" | sed "s/^/fuzz_$t /"
done
