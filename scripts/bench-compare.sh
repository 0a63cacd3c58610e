#!/usr/bin/env bash
# Whole-process timing of pexa-rewrite with and without --compare, on a batch of 200 articles of
# 3 KB and on one 1 MB article (the benchmark prose of scripts/bench-corpus.sh), with the size of
# each page. Prints hyperfine's medians and the ratios (goal: at most 3).
set -euo pipefail
cd "$(dirname "$0")/.."

work=build/bench-compare
rm -rf "$work"
mkdir -p "$work/batch"
[ -x build/cli/pexa-rewrite ] || bash scripts/build.sh
bash scripts/install-packages.sh hyperfine jq
bash scripts/bench-corpus.sh

# 200 articles of 3 KB, cut from the 1 MB prose at line ends, each different.
awk -v dir="$work/batch" 'BEGIN { n = 1 }
  { file = sprintf("%s/article-%03d.txt", dir, n); print > file; size += length($0) + 1
    if (size >= 3072) { close(file); size = 0; if (++n > 200) exit } }' build/bench-corpus/prose-1m.txt
single=build/bench-corpus/prose-1m.txt
printf 'batch: %s files, %s bytes; single: %s bytes\n' "$(ls "$work/batch" | wc -l)" \
  "$(cat "$work"/batch/*.txt | wc -c)" "$(wc -c < "$single")"

program=build/cli/pexa-rewrite
hyperfine -N --warmup 2 --min-runs 10 --export-json "$work/times.json" \
  -n "batch" "$program -o $work/out-plain $work/batch" \
  -n "batch --compare" "$program --compare $work/batch.html -o $work/out-compare $work/batch" \
  -n "1 MB" "$program -o $work/out-plain $single" \
  -n "1 MB --compare" "$program --compare $work/single.html -o $work/out-compare $single"

# --compare writes the same results.
diff -r "$work/out-plain" "$work/out-compare" > /dev/null && echo "results identical with and without --compare"

median() { jq -r ".results[$1].median" "$work/times.json"; }
awk -v b="$(median 0)" -v bc="$(median 1)" -v s="$(median 2)" -v sc="$(median 3)" \
    -v bp="$(wc -c < "$work/batch.html")" -v sp="$(wc -c < "$work/single.html")" 'BEGIN {
  printf "medians:\n"
  printf "200 x 3 KB             %8.1f ms\n", b * 1000
  printf "200 x 3 KB --compare   %8.1f ms   %.2f x   page %.1f MB\n", bc * 1000, bc / b, bp / 1e6
  printf "1 MB                   %8.1f ms\n", s * 1000
  printf "1 MB --compare         %8.1f ms   %.2f x   page %.1f MB\n", sc * 1000, sc / s, sp / 1e6
  printf "(goal: --compare at most 3 x)\n"
}'
