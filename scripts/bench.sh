#!/usr/bin/env bash
# Rewrite benchmarks: fast against literal rewriting of 3 KB, 100 KB and 1 MB of Chinese prose, of
# 1 MB without any separator and of 1 MB of dense text (dictionary sources run together), one
# automaton pass, and building the dictionary and automaton. Prints the figures and the
# literal/fast ratios of the same run. Extra arguments go to Google Benchmark (for example
# --benchmark_filter=Fast).
#
# Text conversion follows (bench/codec: the project's UTF-8 codec against ICU, Qt and iconv), then
# the window's start-up time against a bare window with the same controls (tools/measure-startup.sh)
# and the first 开始伪原创 press against the second (tools/measure-press.sh), then pexa-rewrite as
# a whole program on 3 KB and 1 MB (scripts/bench-cli.sh). The texts come from scripts/bench-corpus.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-packages.sh hyperfine jq
bash scripts/build.sh >/dev/null

corpus=build/bench-corpus
bash scripts/bench-corpus.sh

PEXA_BENCH_CORPUS="$corpus" build/bench/rewrite/pexa_rewrite_benchmark "$@"

echo
echo "Text conversion, 1 MB of prose:"
PEXA_BENCH_CORPUS="$corpus" build/bench/codec/pexa_codec_benchmark

if [ -x tools/measure-startup.sh ]; then
  echo
  echo "Start-up to the window being shown:"
  bash tools/measure-startup.sh 11
  echo
  bash tools/measure-press.sh 11
fi

echo
bash scripts/bench-cli.sh
