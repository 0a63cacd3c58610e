#!/usr/bin/env bash
# Prepares the benchmark prose in build/bench-corpus/ (3 KB, 100 KB and 1 MB of plain Chinese text),
# extracted at run time from the Chinese manual pages of Debian's manpages-zh package (installed when
# missing); no third-party text is kept in the sources. Expects a finished build.
set -euo pipefail
cd "$(dirname "$0")/.."

corpus=build/bench-corpus
[ -s "$corpus/prose-1m.txt" ] && exit 0
bash scripts/install-packages.sh manpages-zh
mkdir -p "$corpus"
find /usr/share/man/zh_CN -name '*.gz' | LC_ALL=C sort | xargs zcat -f \
  | build/bench/rewrite/pexa_bench_prose "$corpus"
