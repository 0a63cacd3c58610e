#!/usr/bin/python3
"""Check the built-in phrase lists data/phrases/list{1,2,3}.txt.

Reads the three list files and the jieba lexicon, recomputes every figure
the rewriter depends on and prints it.  The phrase pool is read only for its
"# opposites" sections, to tell which entries swap a word for its antonym.
Exits 1 if any check fails.

Usage: /usr/bin/python3 tools/check_phrases.py [phrase-folder]
"""

import sys
from collections import Counter, defaultdict
from pathlib import Path

DEFAULT_FOLDER = Path(__file__).resolve().parent.parent / "data" / "phrases"
LEXICON_PATH = Path("/usr/lib/python3/dist-packages/jieba/dict.txt")
POOL_FOLDER = Path(__file__).resolve().parent / "phrase_pool"

EXPECTED_SIZES = (2299, 2313, 799)
EXPECTED_AT = {
    0: "免费使用=无偿使用", 1: "防范=防备", 153: "冷酷=冷漠", 277: "冷酷无情=无情无义",
    1970: "使用=运用", 2298: "曲折=迂回", 2299: "求实=务实", 4276: "防备=防范",
    4611: "大显身手=大显神通", 4612: "大喜过望=大失所望", 4617: "大失所望=事与愿违",
    5410: "煊赫一时=炙手可热",
}
EXPECTED_SOMEWHERE = ("安全=平安", "有效=无效", "小人物=大人物", "一寸光阴一寸金=一刻千金",
                      "驴唇不对马嘴=风马牛不相及")
EXPECTED_EMPTY_SOURCE = ("=不可开交=不亦乐乎", "=摆布=支配")
LONGEST = "驴唇不对马嘴=风马牛不相及"
LONGEST_BYTES = 25
SHORTEST_BYTES = 9
EXPECTED_SOURCE_LENGTHS = {0: 2, 2: 4016, 3: 41, 4: 1344, 5: 4, 6: 2, 7: 2}
EXPECTED_REVERSE = {(1, 1): 233, (2, 2): 201, (3, 3): 45, (1, 2): 315, (1, 3): 88, (2, 3): 111}
EXPECTED_CASCADES = 1483
EXPECTED_INSIDE = 48
EXPECTED_CONTAINS = 43
EXPECTED_REWRITES = {"防备": "防范", "大喜过望": "事与愿违", "生硬": "僵硬",
                     "冷酷无情": "冷漠无情", "免费使用": "无偿运用", "摆布": "摆布"}
MIN_LEXICON_SHARE = 0.95
MAX_GARBLED_WORDS = 0


class Report:
    def __init__(self):
        self.failures = 0

    def check(self, ok, label, figure=""):
        print(f"{'ok  ' if ok else 'FAIL'} {label}{': ' + str(figure) if figure != '' else ''}")
        if not ok:
            self.failures += 1


def read_lists(folder, report):
    """Return (lines, list number per line)."""
    lines, list_of = [], []
    for number, size in enumerate(EXPECTED_SIZES, 1):
        raw = (folder / f"list{number}.txt").read_bytes()
        report.check(not raw.startswith(b"\xef\xbb\xbf"), f"list{number}: no byte order mark")
        report.check(b"\r" not in raw, f"list{number}: LF line ends only")
        report.check(raw.endswith(b"\n") and not raw.endswith(b"\n\n"), f"list{number}: one final newline")
        text = raw.decode("utf-8")
        chunk = text[:-1].split("\n") if text.endswith("\n") else text.split("\n")
        report.check(all(chunk), f"list{number}: no empty lines")
        report.check(len(chunk) == size, f"list{number}: entries", len(chunk))
        lines.extend(chunk)
        list_of.extend([number] * len(chunk))
    return lines, list_of


def fields_of(line):
    parts = line.split("=")
    return parts[0], parts[1] if len(parts) > 1 else ""


def check_layout(lines, list_of, report):
    wrong = [p for p, line in EXPECTED_AT.items() if p >= len(lines) or lines[p] != line]
    report.check(not wrong, "pinned positions", f"{len(EXPECTED_AT) - len(wrong)}/{len(EXPECTED_AT)}")
    present = set(lines)
    missing = [line for line in EXPECTED_SOMEWHERE if line not in present]
    report.check(not missing, "required entries present", missing or "all")
    leading = [(line, list_of[p]) for p, line in enumerate(lines) if line.startswith("=")]
    report.check(sorted(leading) == sorted((line, 3) for line in EXPECTED_EMPTY_SOURCE),
                 "entries starting with '=' (all in List3)", [line for line, _ in leading])
    others = [line for line in lines if not line.startswith("=") and line.count("=") != 1]
    report.check(not others, "other entries hold exactly one '='", len(others))


def check_encoding(lines, report):
    try:
        sizes = [len(line.encode("gbk")) for line in lines]
    except UnicodeEncodeError as error:
        report.check(False, "GBK encodable", error)
        return
    report.check(True, "GBK encodable")
    longest = [line for line, size in zip(lines, sizes) if size >= LONGEST_BYTES]
    report.check(longest == [LONGEST] and max(sizes) == LONGEST_BYTES,
                 "only entry of 25+ GBK bytes", f"{longest} ({max(sizes)} bytes)")
    report.check(min(sizes) == SHORTEST_BYTES, "shortest entry in GBK bytes", min(sizes))
    blanks = [line for line in lines if any(ch.isspace() for ch in line)]
    report.check(not blanks, "no whitespace", len(blanks))


def check_uniqueness(lines, report):
    pairs = [fields_of(line) for line in lines]
    report.check(len(set(lines)) == len(lines), "no entry twice", len(lines) - len(set(lines)))
    sources = Counter(s for s, _ in pairs if s)
    report.check(max(sources.values()) == 1, "no source twice",
                 [s for s, n in sources.items() if n > 1][:5])
    same = [line for line, (s, r) in zip(lines, pairs) if s == r]
    report.check(not same, "no entry with equal sides", same[:5])
    nested = [line for line, (s, r) in zip(lines, pairs) if s and (s in r or r in s)]
    report.check(not nested, "no source inside its replacement or the reverse", nested[:5])
    lengths = Counter(len(s) for s, _ in pairs)
    report.check(dict(lengths) == EXPECTED_SOURCE_LENGTHS, "source lengths",
                 dict(sorted(lengths.items())))


def check_reverse_pairs(lines, list_of, report):
    pairs = [fields_of(line) for line in lines]
    last_position = {pair: p for p, pair in enumerate(pairs)}
    split = Counter()
    for position, (source, replacement) in enumerate(pairs):
        later = last_position.get((replacement, source))
        if source and later is not None and later > position:
            split[(list_of[position], list_of[later])] += 1
    report.check(sum(split.values()) == sum(EXPECTED_REVERSE.values()), "reverse pairs", sum(split.values()))
    report.check(dict(split) == EXPECTED_REVERSE, "reverse pairs by lists (i, j)", dict(sorted(split.items())))


def check_chains(lines, report):
    """Cascades, sources inside earlier replacements, sources containing earlier sources."""
    pairs = [fields_of(line) for line in lines]
    earlier_replacements = set()
    joined_replacements = "|"
    earlier_sources = set()
    cascades = inside = contains = 0
    for source, replacement in pairs:
        if source:
            if source in earlier_replacements:
                cascades += 1
            elif source in joined_replacements:
                inside += 1
            pieces = {source[a:b] for a in range(len(source)) for b in range(a + 1, len(source) + 1)}
            pieces.discard(source)
            if pieces & earlier_sources:
                contains += 1
            earlier_sources.add(source)
        earlier_replacements.add(replacement)
        joined_replacements += replacement + "|"
    report.check(cascades == EXPECTED_CASCADES, "cascades (source = an earlier replacement)", cascades)
    report.check(inside == EXPECTED_INSIDE, "further sources inside an earlier replacement", inside)
    report.check(contains == EXPECTED_CONTAINS, "sources containing an earlier source", contains)


class Rewriter:
    """Applies the merged dictionary to short texts.

    Equivalent to running every entry in order as a replace-all, but it jumps
    straight to the next entry whose source occurs in the current text, so the
    thousands of single-word rewrites stay fast.
    """

    def __init__(self, pairs):
        self.pairs = pairs
        self.positions = defaultdict(list)
        for position, (source, _) in enumerate(pairs):
            if source:
                self.positions[source].append(position)

    def steps(self, text):
        """The rewritten text and the positions of the entries that changed it, in order."""
        fired = []
        while True:
            later = [p for piece in substrings(text) for p in self.positions.get(piece, ())
                     if not fired or p > fired[-1]]
            if not later:
                return text, fired
            position = min(later)
            text = text.replace(*self.pairs[position])
            fired.append(position)

    def rewrite(self, text):
        return self.steps(text)[0]


def substrings(text):
    return {text[a:b] for a in range(len(text)) for b in range(a + 1, len(text) + 1)}


def check_rewrites(rewriter, report):
    for text, expected in EXPECTED_REWRITES.items():
        result = rewriter.rewrite(text)
        report.check(result == expected, f"rewrite {text}", result)


def in_lexicon(word, lexicon):
    if word in lexicon:
        return True
    return any(word[:cut] in lexicon and word[cut:] in lexicon for cut in range(2, len(word) - 1))


def read_lexicon():
    with open(LEXICON_PATH, encoding="utf-8") as handle:
        return {line.split(" ", 1)[0] for line in handle}


def dictionary_words(pairs):
    """Distinct non-empty sources and replacements, in list order."""
    return list(dict.fromkeys(w for pair in pairs for w in pair if w))


def check_lexicon(lines, lexicon, report):
    words = dictionary_words(map(fields_of, lines))
    known = sum(1 for w in words if in_lexicon(w, lexicon))
    share = known / len(words)
    report.check(share >= MIN_LEXICON_SHARE, "distinct words in the lexicon",
                 f"{known}/{len(words)} = {share:.2%}")


def check_word_rewrites(rewriter, lexicon, report):
    """A writer sees what the whole dictionary makes of each of its own words: it must still be a word."""
    words = dictionary_words(rewriter.pairs)
    garbled = [f"{w}->{result}" for w in words
               for result in [rewriter.rewrite(w)] if not in_lexicon(result, lexicon)]
    report.check(len(garbled) <= MAX_GARBLED_WORDS, "words rewritten into non-words",
                 f"{len(garbled)}/{len(words)} {garbled}")


def read_opposites(pool_folder):
    """Unordered word pairs listed under a '# opposites' header in the pool."""
    opposites = set()
    for path in sorted(pool_folder.glob("*.txt")):
        in_opposites = False
        for line in path.read_text(encoding="utf-8").split("\n"):
            line = line.strip()
            if line.startswith("#"):
                in_opposites = line.lstrip("# ").startswith("opposite")
            elif in_opposites and "=" in line:
                opposites.add(frozenset(line.split("=")[:2]))
    return opposites


def undone_by_reverse(fired, pairs):
    """Fired positions of reverse pairs A=B ... B=A that both fired: together they change nothing."""
    undone = set()
    for position in fired:
        source, replacement = pairs[position]
        for later in fired:
            if later > position and pairs[later] == (replacement, source):
                undone.update((position, later))
    return undone


def check_opposites_stand_alone(rewriter, opposites, report):
    """An antonym entry may only turn a whole word into its opposite, never chain or act inside a word.
    A reverse pair whose both entries fire leaves the text as it was, so it does not count.

    Otherwise a synonym chain ends in the opposite meaning (管用 -> 有效 -> 无效) or an
    idiom gets an antonym planted inside it (一塌糊涂 -> 一塌明白).  The expected
    rewrites are the one sanctioned exception.
    """
    pairs = rewriter.pairs
    is_opposite = [bool(s) and frozenset((s, r)) in opposites for s, r in pairs]
    tangled = []
    for word in dictionary_words(pairs):
        if word in EXPECTED_REWRITES:
            continue
        result, fired = rewriter.steps(word)
        undone = undone_by_reverse(fired, pairs)
        acting = [p for p in fired if p not in undone]
        lone_whole_word = len(acting) == 1 and pairs[acting[0]][0] == word
        if any(is_opposite[p] for p in acting) and not lone_whole_word:
            tangled.append(f"{word}->{result}")
    report.check(not tangled, "antonym entries chained or inside words", f"{len(tangled)} {tangled}")


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else DEFAULT_FOLDER
    report = Report()
    lines, list_of = read_lists(folder, report)
    check_layout(lines, list_of, report)
    check_encoding(lines, report)
    check_uniqueness(lines, report)
    check_reverse_pairs(lines, list_of, report)
    check_chains(lines, report)
    rewriter = Rewriter([fields_of(line) for line in lines])
    check_rewrites(rewriter, report)
    lexicon = read_lexicon()
    check_lexicon(lines, lexicon, report)
    check_word_rewrites(rewriter, lexicon, report)
    check_opposites_stand_alone(rewriter, read_opposites(POOL_FOLDER), report)
    print(f"{report.failures} failed checks" if report.failures else "all checks passed")
    sys.exit(1 if report.failures else 0)


if __name__ == "__main__":
    main()
