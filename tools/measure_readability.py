#!/usr/bin/python3
"""Measure how the built-in dictionary's rewrites sit in real prose.

Rewrites evaluation text line by line with the whole dictionary (every entry
in order, each a replace-all), traces every net change back to the span of
the original line it came from, and classifies that span against jieba's
segmentation of the original line:

  aligned   starts and ends on word boundaries
  inside    lies within one longer word (服务器 -> 效劳器)
  straddle  runs across a word boundary (出现在 -> 出目前)

Prints the shares, the coverage (the share of the original's CJK characters
that lie inside a net change) and the worst offending entries with context.
Exits 1 when a corpus falls below the aligned share or the coverage asked for
(by default the product's goals).

The evaluation text is the team's own articles (tools/readability/articles/)
and Chinese prose taken at run time from Debian's documentation packages
(manpages-zh, debian-faq-zh-cn); no third-party text is kept in the sources.

Usage: /usr/bin/python3 tools/measure_readability.py [--worst N] [--sentences FILE]
                                                    [--articles DIR] [--no-docs]
"""

import argparse
import gzip
import heapq
import re
import sys
from collections import Counter, defaultdict
from dataclasses import dataclass
from pathlib import Path

TOOLS = Path(__file__).resolve().parent
DEFAULT_PHRASES = TOOLS.parent / "data" / "phrases"
ARTICLES = TOOLS / "readability" / "articles"
MAN_PAGES = Path("/usr/share/man/zh_CN")
LIST_FILES = ("list1.txt", "list2.txt", "list3.txt")  # merged in this order
FAQ_TEXT = Path("/usr/share/doc/debian/FAQ/debian-faq.zh-cn.txt.gz")

GOAL_ALIGNED = 0.97
GOAL_COVERAGE = 0.15
DOC_LINE_CJK = 12  # a documentation line shorter than this is a heading or a table cell, not prose
DOC_CHARS = 60000  # per documentation source: enough for stable shares, small enough for seconds
CONTEXT = 8

CJK = re.compile(r"[\u4e00-\u9fff]")
SENTENCE_END = re.compile(r"(?<=[。！？；])")


def is_cjk(ch):
    return "\u4e00" <= ch <= "\u9fff"


def entries_of(list_texts):
    """[(source, replacement)] of the merged dictionary, in order of application, from the texts
    of its lists in list order."""
    entries = []
    for text in list_texts:
        for line in text.splitlines():
            fields = line.split("=")
            entries.append((fields[0], fields[1] if len(fields) > 1 else ""))
    return entries


def read_entries(folder):
    return entries_of((folder / name).read_text(encoding="utf-8") for name in LIST_FILES)


@dataclass
class Cell:
    """One character of the working text: where in the original it came from, and which entries made it."""
    ch: str
    start: int
    end: int
    chain: tuple = ()


class TracingRewriter:
    """The literal rewrite (each entry in order, a replace-all over the whole text) with every
    character traced to the span of the original it came from.

    Only entries whose source occurs in the text can act, so it keeps a heap of
    their positions and, after each replacement, looks for new sources only
    around the replaced pieces.
    """

    def __init__(self, entries):
        self.entries = entries
        self.positions = defaultdict(list)
        for position, (source, replacement) in enumerate(entries):
            if source:
                if not replacement:
                    raise ValueError(f"entry {position} deletes its source; deletions cannot be traced")
                self.positions[source].append(position)
        self.longest = max(len(source) for source in self.positions)

    def _candidates(self, text, lo, hi, after):
        found = []
        for start in range(max(0, lo - self.longest + 1), min(hi, len(text))):
            for length in range(2, self.longest + 1):
                for position in self.positions.get(text[start:start + length], ()):
                    if position > after:
                        found.append(position)
        return found

    def rewrite(self, line):
        """The rewritten line as cells."""
        cells = [Cell(ch, i, i + 1) for i, ch in enumerate(line)]
        text = line
        heap = sorted(set(self._candidates(text, 0, len(text), -1)))
        queued = set(heap)
        while heap:
            position = heapq.heappop(heap)
            source, replacement = self.entries[position]
            if source not in text:
                continue
            cells, text, pieces = self._replace_all(cells, text, source, replacement, position)
            for lo, hi in pieces:
                for later in self._candidates(text, lo, hi, position):
                    if later not in queued:
                        queued.add(later)
                        heapq.heappush(heap, later)
        return cells

    @staticmethod
    def _replace_all(cells, text, source, replacement, position):
        out, pieces, at = [], [], 0
        while (found := text.find(source, at)) >= 0:
            out.extend(cells[at:found])
            replaced = cells[found:found + len(source)]
            start, end = min(c.start for c in replaced), max(c.end for c in replaced)
            chain = tuple(dict.fromkeys(p for c in replaced for p in c.chain)) + (position,)
            pieces.append((len(out), len(out) + len(replacement)))
            out.extend(Cell(ch, start, end, chain) for ch in replacement)
            at = found + len(source)
        out.extend(cells[at:])
        return out, "".join(c.ch for c in out), pieces


@dataclass
class Change:
    start: int
    end: int
    result: str
    chain: tuple


def net_changes(line, cells):
    """Runs of rewritten cells whose spans overlap, minus those that came back to the original text."""
    changes = []
    for cell in cells:
        if not cell.chain:
            continue
        last = changes[-1] if changes else None
        if last and cell.start < last.end and cell.end > last.start:
            last.start, last.end = min(last.start, cell.start), max(last.end, cell.end)
            last.result += cell.ch
            last.chain = tuple(dict.fromkeys(last.chain + cell.chain))
        else:
            changes.append(Change(cell.start, cell.end, cell.ch, cell.chain))
    return [c for c in changes if line[c.start:c.end] != c.result]


def classify(change, boundaries, words):
    if change.start in boundaries and change.end in boundaries:
        return "aligned"
    if any(lo <= change.start and change.end <= hi for lo, hi in words):
        return "inside"
    return "straddle"


def segment(line):
    import jieba  # deferred: loading the lexicon takes a second and the unit tests do not need it
    words, at = [], 0
    for word in jieba.cut(line):
        words.append((at, at + len(word)))
        at += len(word)
    return words


@dataclass
class Tally:
    name: str
    kinds: Counter
    cjk: int = 0
    covered: int = 0
    lines: int = 0

    @property
    def changes(self):
        return sum(self.kinds.values())

    def share(self, kind):
        return self.kinds[kind] / self.changes if self.changes else 1.0

    @property
    def coverage(self):
        return self.covered / self.cjk if self.cjk else 0.0


def measure(name, lines, rewriter, offenders, sentences):
    tally = Tally(name, Counter())
    for line in lines:
        cells = rewriter.rewrite(line)
        changes = net_changes(line, cells)
        tally.lines += 1
        tally.cjk += sum(1 for ch in line if is_cjk(ch))
        if not changes:
            continue
        words = segment(line)
        boundaries = {lo for lo, _ in words} | {len(line)}
        for change in changes:
            kind = classify(change, boundaries, words)
            tally.kinds[kind] += 1
            tally.covered += sum(1 for ch in line[change.start:change.end] if is_cjk(ch))
            if kind != "aligned":
                offenders[change.chain].append((kind, line, change))
        if sentences is not None:
            sentences.extend(changed_sentences(line, cells))
    return tally


def changed_sentences(line, cells):
    """(original sentence, rewritten sentence) pairs for the sentences a rewrite changed."""
    pairs, start, first = [], 0, 0
    for sentence in filter(None, SENTENCE_END.split(line)):
        end = start + len(sentence)
        last = first
        while last < len(cells) and cells[last].start < end:
            last += 1
        rewritten = "".join(c.ch for c in cells[first:last])
        if rewritten != sentence:
            pairs.append((sentence, rewritten))
        start, first = end, last
    return pairs


# ------------------------------------------------------------ evaluation text


def article_lines(folder):
    lines = []
    for path in sorted(folder.glob("*.txt")):
        lines.extend(line for line in path.read_text(encoding="utf-8").splitlines() if CJK.search(line))
    return lines


ROFF_ESCAPE = re.compile(r"\\f(\[[^\]]*\]|\(..|.)|\\s[-+]?\d|\\\(..|\\[&|^-]|\\\*(\(..|.)")


def man_page_lines():
    """Prose lines of the Chinese manual pages, macros and font escapes removed."""
    lines = []
    for path in sorted(MAN_PAGES.glob("man*/*.gz")):
        with gzip.open(path, "rt", encoding="utf-8", errors="replace") as page:
            for raw in page:
                if raw.startswith((".", "'")):
                    continue
                lines.append(ROFF_ESCAPE.sub("", raw).replace("\\", "").strip())
    return lines


def faq_lines():
    """Paragraphs of the Debian FAQ in Chinese, its hard-wrapped lines joined."""
    with gzip.open(FAQ_TEXT, "rt", encoding="utf-8") as faq:
        paragraphs = faq.read().split("\n\n")
    return ["".join(part.strip() for part in paragraph.splitlines()) for paragraph in paragraphs]


def prose_sample(lines):
    """Lines that are real prose (long enough, mostly Chinese, ending a sentence), spread evenly
    over the source and capped so that the measurement takes seconds."""
    prose = [line for line in dict.fromkeys(lines)
             if len(CJK.findall(line)) >= DOC_LINE_CJK and len(CJK.findall(line)) * 2 >= len(line)
             and re.search(r"[。！？]", line) and "\ufffd" not in line]
    total = sum(len(line) for line in prose)
    step = max(1, round(total / DOC_CHARS))
    return prose[::step]


def corpora(articles=ARTICLES, with_docs=True):
    found = {f"articles in {articles.name}": article_lines(articles)}
    if not with_docs:
        return found
    if MAN_PAGES.is_dir():
        found["manpages-zh"] = prose_sample(man_page_lines())
    if FAQ_TEXT.exists():
        found["debian-faq-zh-cn"] = prose_sample(faq_lines())
    return found


# ------------------------------------------------------------------ report


def print_tally(tally):
    print(f"{tally.name}: {tally.lines} lines, {tally.cjk} CJK characters, {tally.changes} net changes")
    print(f"  aligned {tally.share('aligned'):.1%}  inside {tally.share('inside'):.1%}  "
          f"straddle {tally.share('straddle'):.1%}  coverage {tally.coverage:.1%}")


def print_offenders(offenders, entries, worst):
    print(f"\nworst offending changes ({sum(len(v) for v in offenders.values())} in all):")
    ranked = sorted(offenders.items(), key=lambda item: (-len(item[1]), item[0]))
    for chain, cases in ranked[:worst]:
        kind, line, change = cases[0]
        names = " ; ".join(f"{s}={r}" for s, r in (entries[p] for p in chain))
        before = line[max(0, change.start - CONTEXT):change.start]
        after = line[change.end:change.end + CONTEXT]
        print(f"  {len(cases):3d} {kind:8s} {names}\n      {before}[{line[change.start:change.end]}"
              f"->{change.result}]{after}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--phrases", type=Path, default=DEFAULT_PHRASES)
    parser.add_argument("--worst", type=int, default=25, help="offending changes to list")
    parser.add_argument("--sentences", type=Path, help="write every changed sentence, original TAB rewritten")
    parser.add_argument("--articles", type=Path, default=ARTICLES, help="folder of .txt articles, one paragraph a line")
    parser.add_argument("--no-docs", action="store_true", help="leave out the Debian documentation prose")
    parser.add_argument("--min-aligned", type=float, default=GOAL_ALIGNED, help="fail below this aligned share")
    parser.add_argument("--min-coverage", type=float, default=GOAL_COVERAGE, help="fail below this coverage")
    args = parser.parse_args()

    import jieba
    jieba.setLogLevel(60)
    entries = read_entries(args.phrases)
    rewriter = TracingRewriter(entries)
    offenders = defaultdict(list)
    sentences = [] if args.sentences else None
    failures = 0
    for name, lines in corpora(args.articles, not args.no_docs).items():
        tally = measure(name, lines, rewriter, offenders, sentences)
        print_tally(tally)
        if tally.share("aligned") < args.min_aligned or tally.coverage < args.min_coverage:
            print(f"  FAIL: asked for aligned >= {args.min_aligned:.1%} and coverage >= {args.min_coverage:.1%}")
            failures += 1
    print_offenders(offenders, entries, args.worst)
    if args.sentences:
        args.sentences.write_text("".join(f"{a}\t{b}\n" for a, b in sentences), encoding="utf-8")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
