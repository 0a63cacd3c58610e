#!/usr/bin/env bash
# Prepares the benchmark texts in build/bench-corpus/: prose (3 KB, 100 KB and 1 MB of plain Chinese
# text, and a second 3 KB article), extracted at run time from the Chinese manual pages of Debian's
# manpages-zh package (installed when missing), so no third-party text is kept in the sources; and
# dense-1m.txt, 1 MB of the dictionary's own words run together (bench/rewrite/DenseWords.cpp).
# Expects a finished build.
set -euo pipefail
cd "$(dirname "$0")/.."

corpus=build/bench-corpus
mkdir -p "$corpus"
[ -s "$corpus/dense-1m.txt" ] || build/bench/rewrite/pexa_bench_dense "$corpus/dense-1m.txt"
[ -s "$corpus/prose-1m.txt" ] && [ -s "$corpus/prose-3k-next.txt" ] && exit 0
bash scripts/install-packages.sh manpages-zh
find /usr/share/man/zh_CN -name '*.gz' | LC_ALL=C sort | xargs zcat -f \
  | build/bench/rewrite/pexa_bench_prose "$corpus"
