#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a given time.
#
#   fuzz/run.sh [seconds per target] [target...]     (default: 30 s, every target)
#
# Seeds come from fuzz/corpus/<target>; what a run learns goes to the build folder's
# corpus, so the committed seeds stay small. A crash, a failed check, a leak or an
# input slower than 10 s fails the run; libFuzzer writes the input beside the log.
# A target may add options of its own in a line "// libFuzzer options: ..." of its source.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-30}
shift || true
BUILD_DIR=${ORVANE_FUZZ_BUILD_DIR:-build-fuzz}
TARGETS=("$@")
if ((${#TARGETS[@]} == 0)); then
    for source in fuzz/fuzz_*.cpp; do TARGETS+=("$(basename "$source" .cpp)"); done
fi
SEEDS="$PWD/fuzz/corpus"

if ! command -v clang++ >/dev/null; then
    # A developer without clang may skip; CI must not pass without fuzzing.
    echo "fuzz: clang++ not found (scripts/setup.sh installs it)"
    [[ -n ${CI:-} ]] && exit 1
    exit 0
fi

# A build folder configured for fuzzing already (CI's sanitizer build) is used as it is.
if ! grep -q '^ORVANE_FUZZ:BOOL=ON' "$BUILD_DIR/CMakeCache.txt" 2>/dev/null; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DORVANE_FUZZ=ON -DORVANE_BUILD_TESTS=OFF -DORVANE_BUILD_DICTIONARY=OFF >/dev/null
fi
cmake --build "$BUILD_DIR" --target "${TARGETS[@]}"

# The readers take files: keep them in memory where the system allows.
[[ -d /dev/shm && -w /dev/shm ]] && export TMPDIR=/dev/shm

status=0
for target in "${TARGETS[@]}"; do
    work="$BUILD_DIR/fuzz/$target.run"
    mkdir -p "$work/corpus"
    log="$work/log.txt"
    options=$(sed -n 's|^// libFuzzer options: ||p' "fuzz/$target.cpp")
    echo "fuzz: $target for ${SECONDS_PER_TARGET}s"
    if (cd "$work" && "../$target" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=2048 \
        -max_len=4096 $options -print_final_stats=1 corpus "$SEEDS/$target") >"$log" 2>&1; then
        grep -E "^stat::number_of_executed_units|^#[0-9]+.*DONE" "$log" | tail -2 | sed "s/^/fuzz: $target: /"
    else
        echo "fuzz: $target FAILED; log and input in $work"
        tail -40 "$log"
        status=1
    fi
done
exit $status
