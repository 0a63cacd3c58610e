#!/usr/bin/env bash
# Prints the median time of the first and of the second 开始伪原创 press in a freshly started window
# (offscreen), each press on its own 3 KB benchmark article, the two articles taking turns at being
# first. With `--same`, both presses rewrite the first article, which shows what repeating the very
# same work gains. Usage: tools/measure-press.sh [--same] [RUNS] (default 11).
# Build first with scripts/build.sh, and make the articles with scripts/bench-corpus.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
articles=(build/bench-corpus/prose-3k.txt build/bench-corpus/prose-3k-next.txt)
if [ "${1:-}" = --same ]; then
  articles[1]=${articles[0]}
  shift
fi
runs=${1:-11}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -un)}
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
