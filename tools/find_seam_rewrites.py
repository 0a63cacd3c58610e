#!/usr/bin/python3
"""List the dictionary's sources that match across the seam of two frequent words.

Every entry replaces its source wherever it occurs, also where two words meet:
分担=分摊 turns 十分|担心 into 十分摊心.  word_risk estimates that risk from
jieba's counts, assuming neighbouring words are independent; strong
collocations (关注|重点, 目标|明确) and words the lexicon hardly knows (支付宝)
slip through.  This tool tries the seams themselves: for every two-character
source whose whole-dictionary rewrite changes it, it joins the most frequent
lexicon words ending with its first character to the most frequent ones
starting with its second (and to the single-character particles and
complements that follow or precede words: 了, 掉, 才, 把, 地 ...), rewrites
each pair with the whole dictionary, and reports the pairs whose rewrite
differs from rewriting the two words apart.

The sources come out with their most frequent broken pairs first, for an
author to judge: many pairs are rare in real text (皇帝|位于), some are the
everyday ones a source must not break.

Usage: /usr/bin/python3 tools/find_seam_rewrites.py [--sources N] [--phrases DIR]
"""

import argparse
import math
import sys
from collections import defaultdict
from pathlib import Path

from measure_readability import DEFAULT_PHRASES, TracingRewriter, read_entries
from word_risk import read_lexicon_entries

# Words of the lexicon taken as neighbours, and how many on each side of a seam.
NEIGHBOUR_MIN_COUNT = 300
NEIGHBOURS_PER_SIDE = 40
# Characters that stand as words of their own next to almost any word; the lexicon counts them
# too rarely on their own to be picked as neighbours by frequency.
PARTICLES = "了着过掉完好到上下出起开成为在给得地的是和也都就还又才把被让向从对里中后前"
PARTICLE_COUNT = 10000  # treated as this frequent when ranking pairs


def rewrite(rewriter, text):
    return "".join(cell.ch for cell in rewriter.rewrite(text))


def neighbour_words(lexicon):
    """{character: [(count, word)]} of the frequent words ending, and starting, with it."""
    ending, starting = defaultdict(list), defaultdict(list)
    words = [(count, word) for word, count, _ in lexicon if 2 <= len(word) <= 3 and count >= NEIGHBOUR_MIN_COUNT]
    words += [(PARTICLE_COUNT, particle) for particle in PARTICLES]
    for count, word in words:
        ending[word[-1]].append((count, word))
        starting[word[0]].append((count, word))
    for table in (ending, starting):
        for character in table:
            table[character] = sorted(table[character], reverse=True)[:NEIGHBOURS_PER_SIDE]
    return ending, starting


def seam_rewrites(entries, lexicon):
    """{source: [(score, pair, rewritten pair)]} for the seams each changing source breaks."""
    rewriter = TracingRewriter(entries)
    ending, starting = neighbour_words(lexicon)
    alone = {word: rewrite(rewriter, word)
             for table in (ending, starting) for words in table.values() for _, word in words}
    found = defaultdict(list)
    for source in sorted({source for source, _ in entries if len(source) == 2}):
        if rewrite(rewriter, source) == source:
            continue  # undone by its reverse entry: the kept word of a pair
        for first_count, first in ending[source[0]]:
            for second_count, second in starting[source[1]]:
                if source in (first, second):
                    continue
                pair = first + second
                rewritten = rewrite(rewriter, pair)
                if rewritten != alone[first] + alone[second]:
                    score = math.log(first_count) + math.log(second_count)
                    found[source].append((score, f"{first}|{second}", rewritten))
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--sources", type=int, default=60, help="sources to list")
    parser.add_argument("--phrases", type=Path, default=DEFAULT_PHRASES)
    args = parser.parse_args()
    found = seam_rewrites(read_entries(args.phrases), read_lexicon_entries())
    ranked = sorted(found.items(), key=lambda item: -max(score for score, _, _ in item[1]))
    print(f"{len(found)} sources break a seam of two frequent words; the {args.sources} with the most frequent:")
    for source, seams in ranked[:args.sources]:
        seams.sort(reverse=True)
        print(f"  {source}  " + "  ".join(f"{pair}->{rewritten}" for _, pair, rewritten in seams[:4]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
