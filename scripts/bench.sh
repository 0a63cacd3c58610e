#!/usr/bin/env bash
# Rewrite benchmarks: fast against literal rewriting of 3 KB, 100 KB and 1 MB of Chinese prose and of
# 1 MB without any separator, one automaton pass, and building the dictionary and automaton. Prints
# the figures and the literal/fast ratios of the same run. Extra arguments go to Google Benchmark
# (for example --benchmark_filter=Fast).
#
# The window's start-up time follows (tools/measure-startup.sh). If the command-line tool is built,
# its whole run on the 1 MB file is timed with hyperfine against a program that applies the literal
# rewrite to the same file.
#
# The prose is extracted at run time from the Chinese manual pages of Debian's manpages-zh package
# (installed here if missing) into build/bench-corpus/; no third-party text is kept in the sources.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
for package in manpages-zh hyperfine; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

bash scripts/build.sh >/dev/null

corpus=build/bench-corpus
if [ ! -s "$corpus/prose-1m.txt" ]; then
  mkdir -p "$corpus"
  find /usr/share/man/zh_CN -name '*.gz' | LC_ALL=C sort | xargs zcat -f \
    | build/bench/rewrite/pexa_bench_prose "$corpus"
fi

PEXA_BENCH_CORPUS="$corpus" build/bench/rewrite/pexa_rewrite_benchmark "$@"

if [ -x tools/measure-startup.sh ]; then
  echo
  echo "Start-up to the window being shown:"
  bash tools/measure-startup.sh 11
fi

if [ -x build/cli/pexa-rewrite ]; then
  echo
  echo "Whole program on $corpus/prose-1m.txt: pexa-rewrite against the literal rewrite"
  hyperfine --warmup 1 --runs 5 \
    "build/cli/pexa-rewrite < $corpus/prose-1m.txt > /dev/null" \
    "build/bench/rewrite/pexa_literal_rewrite < $corpus/prose-1m.txt > /dev/null"
fi
