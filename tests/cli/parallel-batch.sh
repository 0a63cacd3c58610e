#!/usr/bin/env bash
# The README's GNU parallel form: pexa-rewrite as a filter, one file a job, over a folder with
# sub-folders, gives byte for byte what one direct run over the folder gives.
# Usage: parallel-batch.sh PEXA_REWRITE
set -euo pipefail
program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

mkdir -p articles/2024/05 articles/2025
printf '大喜过望，免费使用。\n防范和防备。\n' > articles/a.txt
printf '安全第一，冷酷无情。\r\n' > articles/2024/05/b.txt
printf '\xef\xbb\xbf小人物也有大作为。' > articles/2025/c.txt
printf '\xb4\xf3\xcf\xb2\xb9\xfd\xcd\xfb' > articles/2025/gbk.txt # 大喜过望 in GBK
for n in $(seq 1 40); do printf '第%s篇：有效的防范，大喜过望。\n' "$n" > "articles/2025/n$n.txt"; done

"$program" -o direct articles

cd articles
find . -name '*.txt' | parallel --jobs 2 \
  "mkdir -p ../rewritten/{//} && $program -j 1 < {} > ../rewritten/{}"
cd ..

diff -r direct/articles rewritten
echo "parallel and direct runs give identical results ($(find rewritten -type f | wc -l) files)"
