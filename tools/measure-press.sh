#!/usr/bin/env bash
# Prints the median time of the first and of the second 开始伪原创 press in a freshly started window
# (offscreen), each press on its own 3 KB benchmark article, the two articles taking turns at being
# first. With `--same`, both presses rewrite the first article, which shows what repeating the very
# same work gains. With `--instructions`, callgrind counts the instructions of each press instead,
# each article once as the first and once as the second press: what the first press does beyond the
# second, free of the processor's caches. Usage: tools/measure-press.sh [--same | --instructions]
# [RUNS] (default 11). Build first with scripts/build.sh, and make the articles with
# scripts/bench-corpus.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
articles=(build/bench-corpus/prose-3k.txt build/bench-corpus/prose-3k-next.txt)
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -un)}

# Instructions of one press (First or Second) in a window given the two articles in this order.
instructions_of_press() {
  QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --collect-atstart=no \
    "--toggle-collect=*millisecondsOf$1Press*" --callgrind-out-file=/dev/null \
    build/bench/startup/pexa_press_timer "$2" "$3" 2>&1 >/dev/null |
    sed -n 's/.*Collected : //p'
}

if [ "${1:-}" = --instructions ]; then
  command -v valgrind >/dev/null || { echo "valgrind is needed: apt-get install valgrind" >&2; exit 1; }
  echo "instructions of each 开始伪原创 press on 3 KB (callgrind, offscreen):"
  for article in "${articles[@]}"; do
    other=${articles[0]}
    [ "$article" = "$other" ] && other=${articles[1]}
    first=$(instructions_of_press First "$article" "$other")
    second=$(instructions_of_press Second "$other" "$article")
    awk -v name="$(basename "$article")" -v first="$first" -v second="$second" 'BEGIN {
      printf "  %-22s first press %9d   second press %9d  (%.3fx)\n", name, first, second, first / second }'
  done
  exit 0
fi
if [ "${1:-}" = --same ]; then
  articles[1]=${articles[0]}
  shift
fi
runs=${1:-11}
for run in $(seq "$runs"); do
  if ((run % 2)); then
    QT_QPA_PLATFORM=offscreen build/bench/startup/pexa_press_timer "${articles[0]}" "${articles[1]}"
  else
    QT_QPA_PLATFORM=offscreen build/bench/startup/pexa_press_timer "${articles[1]}" "${articles[0]}"
  fi
done | awk '
  { first[NR] = $1; second[NR] = $2 }
  function median(values, count,    sorted, i, j, swap) {
    for (i = 1; i <= count; i++) sorted[i] = values[i]
    for (i = 2; i <= count; i++)
      for (j = i; j > 1 && sorted[j - 1] > sorted[j]; j--) {
        swap = sorted[j]; sorted[j] = sorted[j - 1]; sorted[j - 1] = swap
      }
    return count % 2 ? sorted[(count + 1) / 2] : (sorted[count / 2] + sorted[count / 2 + 1]) / 2
  }
  END {
    f = median(first, NR); s = median(second, NR)
    printf "median 开始伪原创 press on 3 KB over %d fresh windows (offscreen):\n", NR
    printf "  first press   %8.2f ms\n  second press  %8.2f ms  (first / second: %.2fx)\n", f, s, f / s
  }'
