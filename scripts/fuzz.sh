#!/usr/bin/env bash
# Fuzzes every reader (or the readers named) for SECONDS seconds each, niced.
# Builds the libFuzzer harnesses with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz. Each run starts from the reader's
# corpus in fuzz/corpus; new inputs go to build-fuzz/corpus/<reader> and
# failing inputs to build-fuzz/findings/<reader>. Copy a finding into
# fuzz/corpus/<reader> once it is mended, so that ./test keeps replaying it.
#   scripts/fuzz.sh SECONDS [READER...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?"uso: scripts/fuzz.sh SEGUNDOS [LECTOR...]"}
shift
source scripts/setup.sh
vanto_setup

readers=("$@")
if [ ${#readers[@]} -eq 0 ]; then
    for d in fuzz/corpus/*/; do readers+=("$(basename "$d")"); done
fi
targets=()
for r in "${readers[@]}"; do targets+=("fuzz_$r"); done

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVANTO_FUZZ=ON -DVANTO_NATIVE=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" \
    >/dev/null
nice cmake --build build-fuzz --target "${targets[@]}"

export QT_QPA_PLATFORM=offscreen
# The readers write their inputs as files: memory is faster than a disk.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
status=0
for r in "${readers[@]}"; do
    mkdir -p "build-fuzz/corpus/$r" "build-fuzz/findings/$r"
    log="build-fuzz/fuzz_$r.log"
    if nice "build-fuzz/bin/fuzz_$r" -max_total_time="$seconds" -print_final_stats=1 \
        -max_len=65536 -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=20 \
        -artifact_prefix="build-fuzz/findings/$r/" \
        "build-fuzz/corpus/$r" "fuzz/corpus/$r" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "$r: $runs ejecuciones sin fallo"
    else
        echo "$r: FALLO, véase $log y build-fuzz/findings/$r"
        status=1
    fi
done
exit $status
