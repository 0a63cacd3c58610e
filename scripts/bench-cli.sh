#!/usr/bin/env bash
# Whole-process timing of pexa-rewrite, from start to exit: on a 1 MB article against
# pexa-rewrite-literal (the same reading and writing, the literal algorithm), and with protected
# terms against without; on a 3 KB article against `cat` of the same file, the floor of any program
# that reads a file and writes it out. Prints hyperfine's figures and the ratios, taken from the
# medians (a busy machine makes the means jumpy).
#
# The articles are the 1 MB and 3 KB benchmark prose of scripts/bench-corpus.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

work=build/bench-cli
article=build/bench-corpus/prose-1m.txt
small=build/bench-corpus/prose-3k.txt
terms=$work/terms.txt
mkdir -p "$work"

if [ ! -x build/cli/pexa-rewrite ] || [ ! -x build/bench/cli/pexa-rewrite-literal ]; then
  bash scripts/build.sh
fi
bash scripts/install-packages.sh hyperfine jq
bash scripts/bench-corpus.sh

# Terms that are common in the article and ones that dictionary sources overlap.
printf '%s\n' 文件 命令 选项 用户 系统 程序 目录 参数 进程 数据 > "$terms"
printf 'article: %s bytes, %s lines; protected terms: %s\n' \
  "$(wc -c < "$article")" "$(wc -l < "$article")" "$(paste -sd, "$terms")"

rewrite=(build/cli/pexa-rewrite "$article")
protected=(build/cli/pexa-rewrite --protect-file "$terms" "$article")
literal=(build/bench/cli/pexa-rewrite-literal "$article")

# The same result as the literal algorithm, byte for byte, and the terms really in use.
"${rewrite[@]}" > "$work/out-fast.txt"
"${literal[@]}" > "$work/out-literal.txt"
cmp -s "$work/out-fast.txt" "$work/out-literal.txt" && echo "output identical to the literal program's" \
  || { echo "bench-cli: output differs from the literal program's"; exit 1; }
"${protected[@]}" | cmp -s - "$work/out-fast.txt" && { echo "bench-cli: the terms changed nothing"; exit 1; }

# No shell in between (-N); the results go through a pipe, as in real use.
hyperfine -N --output=pipe --warmup 5 --min-runs 40 --export-json "$work/fast.json" \
  -n pexa-rewrite "${rewrite[*]}" -n "pexa-rewrite --protect-file" "${protected[*]}"
hyperfine -N --output=pipe --warmup 1 --min-runs 3 --export-json "$work/literal.json" \
  -n pexa-rewrite-literal "${literal[*]}"
hyperfine -N --output=pipe --warmup 20 --min-runs 200 --export-json "$work/small.json" \
  -n "pexa-rewrite 3 KB" "build/cli/pexa-rewrite $small" -n "cat 3 KB" "cat $small"

median() { jq -r ".results[$2].median" "$work/$1.json"; }
awk -v f="$(median fast 0)" -v p="$(median fast 1)" -v l="$(median literal 0)" \
  -v s="$(median small 0)" -v c="$(median small 1)" 'BEGIN {
  printf "medians:\n"
  printf "pexa-rewrite                   %8.1f ms\n", f * 1000
  printf "pexa-rewrite --protect-file    %8.1f ms\n", p * 1000
  printf "pexa-rewrite-literal           %8.1f ms\n", l * 1000
  printf "pexa-rewrite, 3 KB             %8.2f ms\n", s * 1000
  printf "cat, 3 KB                      %8.2f ms\n", c * 1000
  printf "literal / pexa-rewrite:        %8.1f x  (goal: at least 60)\n", l / f
  printf "protected / unprotected:       %8.2f x  (goal: at most 2)\n", p / f
  printf "pexa-rewrite / cat, 3 KB:      %8.2f x  (goal: at most 3)\n", s / c
}'
