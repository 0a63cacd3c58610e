#!/usr/bin/env bash
# Fuzzes the fast rewriter against the literal one with libFuzzer, under AddressSanitizer and
# UndefinedBehaviorSanitizer. Usage: scripts/fuzz.sh [SECONDS] (default 60); any difference aborts
# with the dictionary and text printed and the input saved as crash-*.
# Builds with Clang 14 into build-fuzz/ (the normal build uses g++ and does not build the fuzzer).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

bash scripts/install-packages.sh clang-14 libclang-rt-14-dev

sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_CXX_FLAGS="$sanitizers" \
  -DPEXA_BUILD_FUZZER=ON -DPEXA_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz --target pexa_rewrite_fuzzer --parallel 2

mkdir -p build-fuzz/corpus
cd build-fuzz
./tests/core/pexa_rewrite_fuzzer -max_total_time="$seconds" -max_len=512 corpus
