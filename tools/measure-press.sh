#!/usr/bin/env bash
# Prints the median time of the first and of the second 开始伪原创 press in a freshly started window
# (offscreen), on the 3 KB benchmark article. Usage: tools/measure-press.sh [RUNS] (default 11).
# Build first with scripts/build.sh, and make the article with scripts/bench-corpus.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-11}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -un)}
article=build/bench-corpus/prose-3k.txt
for _ in $(seq "$runs"); do
  QT_QPA_PLATFORM=offscreen build/bench/startup/pexa_press_timer "$article"
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
