#!/usr/bin/env bash
# Whole-process timing of pexa-rewrite on a 1 MB article, from start to exit: against
# pexa-rewrite-literal (the same reading and writing, the literal algorithm), and with protected
# terms against without. Prints hyperfine's figures and the two ratios, taken from the medians (a
# busy machine makes the means jumpy).
#
# The article is Chinese prose taken at run time from the manpages-zh package (installed when
# missing) into build/bench-cli/; no third-party text is kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/.."

work=build/bench-cli
article=$work/article-1mb.txt
terms=$work/terms.txt
mkdir -p "$work"

if [ ! -x build/cli/pexa-rewrite ] || [ ! -x build/bench/cli/pexa-rewrite-literal ]; then
  bash scripts/build.sh
fi
for tool in hyperfine jq; do
  command -v "$tool" >/dev/null || { echo "bench-cli: needs $tool (apt-get install $tool)"; exit 1; }
done

if [ ! -s "$article" ]; then
  if [ ! -d /usr/share/man/zh_CN ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends manpages-zh
  fi
  # Text lines of the pages (no roff requests, no font escapes) that are mostly Chinese, up to 1 MiB.
  find /usr/share/man/zh_CN -name '*.gz' | sort | xargs zcat -f 2>/dev/null |
    perl -CSD -ne '
      next if /^[.\x27]/;
      s/\\f[BIRP]//g; s/\\-/-/g; s/\\\(..//g; s/\\.//g; s/^\s+|\s+$//g;
      my $han = () = /\p{Han}/g;
      next if $han < 8 || $han * 2 < length;
      { use bytes; $size += length($_) + 1; }
      last if $size > 1048576;
      print "$_\n";' > "$article"
fi
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

median() { jq -r ".results[$2].median" "$work/$1.json"; }
awk -v f="$(median fast 0)" -v p="$(median fast 1)" -v l="$(median literal 0)" 'BEGIN {
  printf "medians:\n"
  printf "pexa-rewrite                   %8.1f ms\n", f * 1000
  printf "pexa-rewrite --protect-file    %8.1f ms\n", p * 1000
  printf "pexa-rewrite-literal           %8.1f ms\n", l * 1000
  printf "literal / pexa-rewrite:        %8.1f x  (goal: at least 30)\n", l / f
  printf "protected / unprotected:       %8.2f x  (goal: at most 2)\n", p / f
}'
