#!/usr/bin/env bash
# Whole-program times of pexa-rewrite on the inputs that once made it slow: --stats on a text
# without line breaks or sentence ends, long protect lists, and deeply nested folders. Prints one
# line per figure. The texts come from the benchmark prose (scripts/bench-corpus.sh) and the
# dictionary's own sources; everything is made under build/bench-limits/.
set -euo pipefail
cd "$(dirname "$0")/.."

[ -x build/cli/pexa-rewrite ] || bash scripts/build.sh >/dev/null
bash scripts/bench-corpus.sh
program=$PWD/build/cli/pexa-rewrite
work=build/bench-limits
rm -rf "$work" && mkdir -p "$work"

python3 - "$work" <<'PY'
import os, random, re, sys
work = sys.argv[1]
prose = open('build/bench-corpus/prose-1m.txt', encoding='utf-8').read()
random.seed(1)
# 1 MB of dictionary sources, no separator at all: every character is in some source.
sources = [line.split('=')[0] for name in ('list1', 'list2', 'list3')
           for line in open(f'data/phrases/{name}.txt', encoding='utf-8') if '=' in line]
text, size = [], 0
while size < 1024 * 1024:
    source = random.choice(sources); text.append(source); size += len(source.encode())
open(f'{work}/no-breaks-1m.txt', 'w', encoding='utf-8').write(''.join(text))
# Distinct terms of 2 to 6 characters taken from the prose.
runs = [run for run in re.findall('[\u4e00-\u9fff]+', prose) if len(run) >= 2]
terms = set()
while len(terms) < 100000:
    run = random.choice(runs); length = random.randint(2, min(6, len(run)))
    start = random.randint(0, len(run) - length); terms.add(run[start:start + length])
terms = sorted(terms)
random.shuffle(terms)
for count in (12500, 25000, 50000, 100000):
    open(f'{work}/terms-{count}.txt', 'w', encoding='utf-8').write('\n'.join(terms[:count]) + '\n')
open(f'{work}/prose-10m.txt', 'w', encoding='utf-8').write(prose * 10)
PY

seconds() { local start end; start=$(date +%s.%N); "$@" >/dev/null 2>&1 || true; end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }'; }

echo "--stats, 1 MB without line breaks or sentence ends: $(seconds "$program" --stats "$work/no-breaks-1m.txt") s"
for count in 12500 25000 50000 100000; do
  echo "protect list of $count terms, 3 KB article: $(seconds "$program" --protect-file "$work/terms-$count.txt" build/bench-corpus/prose-3k.txt) s"
done
echo "10 MB article without terms: $(seconds "$program" "$work/prose-10m.txt") s"
echo "10 MB article with 100000 terms: $(seconds "$program" --protect-file "$work/terms-100000.txt" "$work/prose-10m.txt") s"
for levels in 375 750 1500 3000; do
  python3 - "$work/nested-$levels" "$levels" <<'PY'
import os, sys
fd = os.open(sys.argv[1], os.O_RDONLY) if os.path.isdir(sys.argv[1]) else (os.mkdir(sys.argv[1]) or os.open(sys.argv[1], os.O_RDONLY))
for _ in range(int(sys.argv[2])):  # one article per level, then the next level
    article = os.open('a.txt', os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd); os.write(article, '大喜过望。'.encode()); os.close(article)
    os.mkdir('d', dir_fd=fd); inner = os.open('d', os.O_RDONLY, dir_fd=fd); os.close(fd); fd = inner
PY
  echo "$levels nested folders, one article each: $(seconds "$program" -o "$work/out-$levels" "$work/nested-$levels") s"
done
