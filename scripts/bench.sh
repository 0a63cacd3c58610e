#!/usr/bin/env bash
# Rewrite benchmarks: fast against literal rewriting of 3 KB, 100 KB and 1 MB of Chinese prose and of
# 1 MB without any separator, one automaton pass, and building the dictionary and automaton. Prints
# the figures and the literal/fast ratios of the same run. Extra arguments go to Google Benchmark
# (for example --benchmark_filter=Fast).
#
# The window's start-up time follows (tools/measure-startup.sh), then whole programs from start to
# exit on the 1 MB file, timed with hyperfine: the literal and the fast rewrite around the same
# reading and writing, and the command-line tool when it is built.
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

echo
echo "Whole program, start to exit, on $corpus/prose-1m.txt:"
pipe=build/bench/rewrite/pexa_rewrite_pipe
programs=("$pipe literal < $corpus/prose-1m.txt > /dev/null" "$pipe fast < $corpus/prose-1m.txt > /dev/null")
if [ -x build/cli/pexa-rewrite ]; then
  programs+=("build/cli/pexa-rewrite < $corpus/prose-1m.txt > /dev/null")
fi
hyperfine --warmup 1 --runs 5 "${programs[@]}"
