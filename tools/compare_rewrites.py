#!/usr/bin/python3
"""Show what a change to the phrase lists does to the dictionary's own words.

Rewrites every source and replacement of two versions of the lists alone, each with its
whole dictionary, and prints the words whose rewrite differs as `word: before -> after`.
Blocking one word in the pool rearranges more than its own entry: the word can become
the kept word of a reverse pair, which then turns its partner into it (沙滩 -> 海滩 once
海滩 was blocked), and a chain can end somewhere new.  An author reads this list after
every rearrangement.

Usage: /usr/bin/python3 tools/compare_rewrites.py [REVISION]
compares data/phrases with the lists committed at REVISION (default HEAD).
"""

import subprocess
import sys

from check_phrases import Rewriter, dictionary_words
from measure_readability import DEFAULT_PHRASES, LIST_FILES, entries_of, read_entries


def changed_rewrites(before_pairs, after_pairs):
    """[(word, rewrite before, rewrite after)] for every dictionary word whose rewrite changed."""
    before, after = Rewriter(before_pairs), Rewriter(after_pairs)
    words = sorted(set(dictionary_words(before_pairs)) | set(dictionary_words(after_pairs)))
    return [(word, old, new) for word in words
            for old, new in [(before.rewrite(word), after.rewrite(word))] if old != new]


def committed_lists(revision):
    folder = DEFAULT_PHRASES.relative_to(DEFAULT_PHRASES.parent.parent)
    return [subprocess.run(["git", "show", f"{revision}:{folder / name}"], cwd=DEFAULT_PHRASES,
                           check=True, capture_output=True, text=True).stdout
            for name in LIST_FILES]


def main():
    revision = sys.argv[1] if len(sys.argv) > 1 else "HEAD"
    before = entries_of(committed_lists(revision))
    after = read_entries(DEFAULT_PHRASES)
    for word, old, new in changed_rewrites(before, after):
        print(f"{word}: {old} -> {new}")


if __name__ == "__main__":
    main()
