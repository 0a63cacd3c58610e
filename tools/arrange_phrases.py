#!/usr/bin/python3
"""Select and order the built-in phrase dictionary from the phrase pool.

The rewriter applies the merged dictionary List1+List2+List3 entry by entry,
each entry as a replace-all over the whole text.  Whether one entry feeds the
next therefore depends only on the ORDER of the entries, so this tool treats
ordering as a constraint problem:

  * a relation between two entries (one entry's source equals or sits inside
    another entry's replacement, or contains another entry's source) only
    takes effect when the related entry comes EARLIER;
  * every relation we do not want gets a precedence edge that keeps it inert,
    every relation we do want gets an edge that makes it fire;
  * a topological order of that graph, cut into the three lists, then has
    exactly the wanted number of chains, reverse pairs and overlaps.

Usage: /usr/bin/python3 tools/arrange_phrases.py   (from the repository root)
Deterministic: every tie is broken by a number drawn from the words of the entries involved,
so that a change to the pool moves little beyond the entries it touches.
"""

import hashlib
import heapq
import sys
from collections import Counter, defaultdict, deque
from dataclasses import dataclass
from pathlib import Path

from word_risk import load_word_risk

SEED = 20261207


def stable_draw(*words):
    """A number in [0, 1) fixed by the words alone, for breaking ties between candidates: unlike
    draws from one random stream, adding or removing a pool pair leaves every other tie as it was."""
    digest = hashlib.blake2b("=".join((str(SEED),) + words).encode("utf-8"), digest_size=8).digest()
    return int.from_bytes(digest, "big") / 2**64

REPO_ROOT = Path(__file__).resolve().parent.parent
POOL_DIR = REPO_ROOT / "tools" / "phrase_pool"
# Grammatical words whose replacement does the same job in every sentence (如果 -> 假如, 虽然 -> 尽管);
# the only grammatical words the dictionary rewrites.
FUNCTION_WORD_POOL_FILE = "function_words.txt"
# Hand-picked pairs taken before the rest of the pool: everyday two-word
# phrases (仔细检查, 快速发展) whose halves may be rewritten on their own,
# frequent words with a replacement checked against all their common contexts,
# and the checked function words.
PREFERRED_POOL_FILES = ("extra*.txt", "common_*.txt", "graded_*.txt", FUNCTION_WORD_POOL_FILE)
# Phrase pairs written so that one half of the replacement may later be rewritten by its
# checked replacement (认真检查 -> 认真检验): those part rewrites were read and read well.
PART_REWRITE_POOL_FILES = ("extra_inside*.txt",)
# Less common words with a replacement read in all their common uses, kept in reserve: they fill
# the places other words leave, never take a place first, and are rewritten only as written.
RESERVE_POOL_FILES = ("reserve_*.txt",)
# Frequent words checked against their contexts and found to have no replacement that reads well.
UNREPLACEABLE_WORDS_FILE = "no_safe_replacement.words"
OUTPUT_DIR = REPO_ROOT / "data" / "phrases"
LEXICON_PATH = Path("/usr/lib/python3/dist-packages/jieba/dict.txt")

LIST_SIZES = (2299, 2313, 799)
TOTAL_ENTRIES = sum(LIST_SIZES)
SOURCE_LENGTH_QUOTA = {2: 4016, 3: 41, 4: 1344, 5: 4, 6: 2, 7: 2}
MAX_ENTRY_CHARS = 11  # 23 bytes in GBK; only the one showcase proverb is longer
SHOWCASE_LONGEST = ("驴唇不对马嘴", "风马牛不相及")

# Entries pinned to a merged position; they demonstrate chains the rewriter
# must follow (防范/防备, 大喜过望 -> 大失所望 -> 事与愿违, ...).
PINNED = {
    0: ("免费使用", "无偿使用"),
    1: ("防范", "防备"),
    153: ("冷酷", "冷漠"),
    277: ("冷酷无情", "无情无义"),
    1970: ("使用", "运用"),
    2298: ("曲折", "迂回"),
    2299: ("求实", "务实"),
    4276: ("防备", "防范"),
    4611: ("大显身手", "大显神通"),
    4612: ("大喜过望", "大失所望"),
    4617: ("大失所望", "事与愿违"),
    5410: ("煊赫一时", "炙手可热"),
}
OPPOSITE_PINS = {"大喜过望"}
REQUIRED = [
    ("安全", "平安", False),
    ("有效", "无效", True),
    ("小人物", "大人物", True),
    ("一寸光阴一寸金", "一刻千金", False),
    (SHOWCASE_LONGEST[0], SHOWCASE_LONGEST[1], False),
    ("生硬", "僵硬", False),  # drives the expected rewrite 生硬 -> 僵硬
    ("无偿使用", "无偿运用", False),  # gives 免费使用 its 运用 back after 运用=使用 (below)
]
# Reverse pairs fixed in advance, kept word first: 防范/防备 are pinned, and 安全=平安 must be
# in the dictionary but breaks 安全性, 安全感 and 安全更新, so a later 平安=安全 undoes it.
# 有效=无效 must be there too, and would turn every 有效 of a text into its opposite; the later
# 无效=有效 keeps 有效 and leaves the opposite only on the ten times rarer 无效.
# 使用=运用 is pinned and 免费使用 must come out as 无偿运用, but 运用 fits skills and methods,
# not things or programs (运用公交卡, 一台运用 unstable 的机器): a later 运用=使用 keeps every
# 使用, and 无偿使用=无偿运用, after both, turns the one required phrase back into 无偿运用.
# The pinned 曲折=迂回 would turn a plain word into one five times rarer (过程很曲折 -> 过程很迂回).
FIXED_PAIRS = (("防范", "防备"), ("安全", "平安"), ("有效", "无效"), ("使用", "运用"), ("曲折", "迂回"))
# Takeovers: common compounds of a word the dictionary must rewrite (使用率, 使用手册),
# placed before that word so that they are rewritten whole.
TAKEOVER_POOL_FILE = "extra_takeover.txt"
# Entries with an empty source: they change nothing, and the loader must
# cope with the stray third field.  They live in List3.
EMPTY_SOURCE_LINES = ("=不可开交=不亦乐乎", "=摆布=支配")

# Whole-dictionary rewrites that must come out exactly like this.
EXPECTED_REWRITES = {
    "防备": "防范",
    "大喜过望": "事与愿违",
    "生硬": "僵硬",
    "冷酷无情": "冷漠无情",
    "免费使用": "无偿运用",
    "摆布": "摆布",
}

REVERSE_PAIR_SPLIT = {(1, 1): 233, (2, 2): 201, (3, 3): 45, (1, 2): 315, (1, 3): 88, (2, 3): 111}
CASCADE_TOTAL = 1483  # includes the second entry of every reverse pair
INSIDE_TOTAL = 48
CONTAINS_TOTAL = 43
FREE_PHRASE_FREQUENCY = 3  # the lexicon's count for free phrases it lists
EVERYDAY_FREQUENCY = 100  # lexicon count above which a word is common enough to stand alone
RARE_OPPOSITE_FREQUENCY = 50  # an antonym swap is only taken for a set phrase rarer than this
MIN_CHAIN_CLOSENESS = 1  # a chain A -> B -> C of words ends on a word close in meaning to A
CHECKED_ONLY_FREQUENCY = 1000  # lexicon count from which a word is rewritten only by a checked pair
RARE_CHAIN_FREQUENCY = 1500  # lexicon count below which a drifting chain is tolerated
MAX_ATTEMPTS = 150  # arrangement attempts, each dropping the entries that spoiled the last

# Merged positions are cut into segments; pinned entries sit in one-slot
# segments or at fixed slots inside the three open segments.
SEGMENTS = [(0, 0), (1, 1), (2, 2297), (2298, 2298), (2299, 2299),
            (2300, 4610), (4611, 4611), (4612, 4612), (4613, 5409), (5410, 5410)]
OPEN_SEGMENT_OF_LIST = {1: 2, 2: 5, 3: 8}
OPEN_SEGMENTS = (2, 5, 8)
LAST_SEGMENT = len(SEGMENTS) - 1

# Cascade/inside/contains: the three ways an earlier entry can touch a later one.
CASCADE, INSIDE, CONTAINS = "cascade", "inside", "contains"


@dataclass(frozen=True)
class Option:
    source: str
    replacement: str
    is_opposite: bool
    rank: tuple  # lower is preferred


@dataclass(frozen=True)
class PoolNotes:
    """What the pool says beyond its pairs."""
    preferred_pairs: frozenset = frozenset()  # checked pairs, taken first for their source
    unreplaceable: frozenset = frozenset()  # words never to rewrite
    takeovers: frozenset = frozenset()  # compounds rewritten whole before the word inside them
    function_words: frozenset = frozenset()  # grammatical words with a replacement checked everywhere
    reserve_pairs: frozenset = frozenset()  # (source, replacement) taken only for places left empty


@dataclass(frozen=True)
class Entry:
    source: str
    replacement: str
    is_opposite: bool
    line: str


# ---------------------------------------------------------------- pool


def is_clean_phrase(text):
    """Chinese characters only, all encodable in the GBK code page."""
    if not text or any(not "\u4e00" <= ch <= "\u9fff" for ch in text):
        return False
    try:
        text.encode("gbk")
    except UnicodeEncodeError:
        return False
    return True


def is_valid_pair(source, replacement):
    return (is_clean_phrase(source) and is_clean_phrase(replacement)
            and len(source) in SOURCE_LENGTH_QUOTA and len(replacement) >= 2
            and len(source) + len(replacement) <= MAX_ENTRY_CHARS
            and source not in replacement and replacement not in source)


def read_pool(pool_dir, pattern="*.txt"):
    """Return [(first, second, is_opposite)] in file order, undirected duplicates removed."""
    pairs, seen, rejected = [], set(), 0
    for path in sorted(pool_dir.glob(pattern)):
        is_opposite = False
        for raw in path.read_text(encoding="utf-8").split("\n"):
            line = raw.strip()
            if not line:
                continue
            if line.startswith("#"):
                is_opposite = line.lstrip("# ").startswith("opposite")
                continue
            fields = line.split("=")
            if len(fields) != 2 or not is_clean_phrase(fields[0]) or not is_clean_phrase(fields[1]):
                rejected += 1
                continue
            key = tuple(sorted(fields))
            if key in seen or fields[0] == fields[1]:
                continue
            seen.add(key)
            pairs.append((fields[0], fields[1], is_opposite))
    return pairs, rejected


def read_word_list(path):
    """Words separated by blanks and line ends; lines starting with # are comments."""
    lines = path.read_text(encoding="utf-8").splitlines()
    return frozenset(word for line in lines if not line.startswith("#") for word in line.split())


def read_pool_notes(pool_dir):
    preferred = {pair[:2] for pattern in PREFERRED_POOL_FILES for pair in read_pool(pool_dir, pattern)[0]}
    takeovers = {pair[0] for pair in read_pool(pool_dir, TAKEOVER_POOL_FILE)[0]}
    function_words = {pair[0] for pair in read_pool(pool_dir, FUNCTION_WORD_POOL_FILE)[0]}
    reserve = {pair[:2] for pattern in RESERVE_POOL_FILES for pair in read_pool(pool_dir, pattern)[0]}
    return PoolNotes(frozenset(preferred), read_word_list(pool_dir / UNREPLACEABLE_WORDS_FILE),
                     frozenset(takeovers), frozenset(function_words), frozenset(reserve))


def checked_part_rewrites(pool_dir, checked_pairs):
    """Phrases of the part-rewrite files with one half swapped for its checked replacement."""
    replacement_of = dict(checked_pairs)
    phrases = set()
    for pattern in PART_REWRITE_POOL_FILES:
        for _, phrase, _ in read_pool(pool_dir, pattern)[0]:
            for half in (phrase[:2], phrase[2:]):
                if len(phrase) == 4 and half in replacement_of:
                    phrases.add(phrase.replace(half, replacement_of[half]))
    return phrases


class Lexicon(dict):
    """{word: corpus frequency}, plus the words tagged as idioms and the words
    the pool itself uses (attested phrases that the lexicon may lack)."""

    def __init__(self):
        super().__init__()
        self.idioms = set()
        self.attested = set()

    def is_set_phrase(self, text):
        """An idiom or fixed expression, as opposed to a free phrase such as 仔细检查.

        The lexicon lists many free phrases too, all with the minimal count.
        """
        return text in self.idioms or self.get(text, 0) > FREE_PHRASE_FREQUENCY


def load_lexicon(path):
    lexicon = Lexicon()
    with open(path, encoding="utf-8") as handle:
        for line in handle:
            fields = line.split()
            if len(fields) >= 2:
                lexicon[fields[0]] = int(fields[1])
                if fields[2:] == ["i"]:
                    lexicon.idioms.add(fields[0])
    return lexicon


def is_lexicon_phrase(text, lexicon):
    """A lexicon word, or two lexicon words of two or more characters each."""
    if text in lexicon:
        return True
    return any(text[:cut] in lexicon and text[cut:] in lexicon for cut in range(2, len(text) - 1))


def part_rewrite_reads_well(text, piece, replacement, lexicon):
    """Does rewriting `piece` inside `text` leave something a writer would accept?

    A known word or pool phrase always does.  Otherwise a set phrase must stay
    whole (旗鼓相当 -> 旗鼓十分, 以防万一 -> 以防假如 read as nonsense), and in a
    free phrase the piece must be one of its two words while the other stays
    an everyday word: 免费使用 -> 免费运用, 冷酷无情 -> 冷漠无情, but never a piece
    straddling both words, a reduplicated phrase (明明白白 -> 分明白白), a changed
    rhythm or a doubled word (小心谨慎 -> 小心小心).
    """
    result = text.replace(piece, replacement)
    if result in lexicon or result in lexicon.attested:
        return True
    if lexicon.is_set_phrase(text) or len(set(text)) != len(text) or len(replacement) != len(piece):
        return False
    rest = text[len(piece):] if text.startswith(piece) else text[:-len(piece)] if text.endswith(piece) else ""
    return (len(rest) >= 2 and not set(rest) & set(replacement) and lexicon.get(rest, 0) >= EVERYDAY_FREQUENCY
            and is_lexicon_phrase(result, lexicon))


# ----------------------------------------------------------- forbidden


def forbidden_sources():
    """Sources that would disturb the expected rewrites or crowd the pinned entries.

    Every intermediate text of an expected rewrite must only be touched by
    the pinned entries that drive it, so no other entry may have a source
    occurring in any of those texts.  Pinned entries get the same protection:
    a source inside a pinned phrase would tie that entry to a fixed slot.
    """
    texts = set(EXPECTED_REWRITES) | set(EXPECTED_REWRITES.values())
    for source, replacement in PINNED.values():
        texts.update((source, replacement))
    allowed = {source for source, _ in PINNED.values()} | {"生硬"}
    forbidden = set(texts)
    for text in texts:
        forbidden.update(proper_substrings(text))
    return forbidden - allowed


# ----------------------------------------------------------- selection


class Selection:
    """Which pool pairs become entries, and which of them form reverse pairs.

    Every source word has exactly one entry, so the entries form a functional
    graph over words; reverse pairs are its 2-cycles and longer cycles are
    never built.
    """

    def __init__(self, pool_pairs, lexicon, risk, notes=None):
        self.lexicon = lexicon
        self.risk = risk
        notes = notes or PoolNotes()
        self.unreplaceable = notes.unreplaceable
        self.takeovers = notes.takeovers
        self.function_words = notes.function_words
        self.preferred_pairs = notes.preferred_pairs
        self.preferred_words = {word for pair in notes.preferred_pairs for word in pair}
        self.checked_sources = {source for source, _ in notes.preferred_pairs}
        self.reserve_pairs = notes.reserve_pairs
        self.reserve_sources = {source for source, _ in notes.reserve_pairs}
        self.pinned_sources = {source for source, _ in PINNED.values()} | {w for pair in FIXED_PAIRS for w in pair}
        self.required_sources = {source for source, _, _ in REQUIRED}
        self.chosen = {}  # source -> Option
        self.pair_of = {}  # source -> partner source, for reverse pairs
        self.banned_options = set()
        self.banned_pairs = set()
        self.drop_count = defaultdict(int)
        self.neighbours = self._synonym_neighbours(pool_pairs)
        self.options = self._build_options(pool_pairs)
        self.containers = self._containers()
        self.exposure = self._exposure()
        self.word_order = self._order_words()
        self.pair_order = self._order_pairs(pool_pairs)
        self._add_fixed_entries()

    # -- candidates

    @staticmethod
    def _synonym_neighbours(pool_pairs):
        neighbours = defaultdict(set)
        for first, second, is_opposite in pool_pairs:
            if not is_opposite:
                neighbours[first].add(second)
                neighbours[second].add(first)
        return neighbours

    def _build_options(self, pool_pairs):
        """{source: [Option]}, best first: synonyms, then replacements in a synonym
        triangle with the source, so that a chain A -> B -> C usually ends on a
        synonym of A, then the pair as written."""
        forbidden = forbidden_sources()
        neighbours = self.neighbours
        options = defaultdict(list)
        for first, second, is_opposite in pool_pairs:
            if is_opposite and not self._opposite_allowed(first, second):
                continue
            for source, replacement, written in ((first, second, True), (second, first, False)):
                if not written and (first, second) in self.reserve_pairs:
                    continue  # read one way round only
                if (source in forbidden or replacement in self.takeovers or not is_valid_pair(source, replacement)
                        or not is_lexicon_phrase(replacement, self.lexicon)):
                    continue
                in_triangle = bool(neighbours[source] & neighbours[replacement])
                checked = written and (first, second) in self.preferred_pairs
                rank = (is_opposite, not checked, not in_triangle, not written, stable_draw(source, replacement))
                options[source].append(Option(source, replacement, is_opposite, rank))
        for source in options:
            options[source].sort(key=lambda option: option.rank)
        return dict(options)

    def _opposite_allowed(self, first, second):
        """Antonym swaps fire in real text whenever their word occurs; only those the dictionary
        must hold, and set phrases too rare to matter, are taken."""
        if {first, second} & (self.pinned_sources | self.required_sources):
            return True
        return min(len(first), len(second)) >= 4 and max(self.lexicon.get(w, 0) for w in (first, second)) < RARE_OPPOSITE_FREQUENCY

    def may_change(self, word):
        """May the dictionary rewrite every occurrence of word (see word_risk)?"""
        return self.is_locked(word) or (word not in self.unreplaceable
                                         and self.risk.is_safe_source(word, word in self.function_words))

    def _exposure(self):
        """How many longer pool phrases contain each word (containment risk)."""
        return defaultdict(int, {word: len(phrases) for word, phrases in self.containers.items()})

    def _containers(self):
        """{word: the longer pool phrases it occurs in}."""
        words = set(self.options)
        for option_list in self.options.values():
            words.update(option.replacement for option in option_list)
        containers = defaultdict(list)
        for word in sorted(words):
            for piece in proper_substrings(word):
                containers[piece].append(word)
        return containers

    def _garbled_containers(self, word, replacement):
        """How many longer phrases would not read well with word swapped for replacement."""
        return sum(1 for phrase in self.containers[word]
                   if not part_rewrite_reads_well(phrase, word, replacement, self.lexicon))

    def _order_words(self):
        """Words by preference; reserve words after all others, and a word that would garble the
        phrases containing it late among its kind."""
        order = defaultdict(list)
        for word in sorted(self.options):
            best = self.options[word][0]
            rank = (word not in self.preferred_words, word in self.reserve_sources,
                    not is_lexicon_phrase(word, self.lexicon),
                    best.is_opposite, self._garbled_containers(word, best.replacement) >= 3, stable_draw(word))
            order[len(word)].append((rank, word))
        return {length: [word for _, word in sorted(ranked)] for length, ranked in order.items()}

    def _order_pairs(self, pool_pairs):
        """Synonym pairs usable in both directions, best first."""
        exposure = self.exposure
        ranked = []
        for first, second, is_opposite in pool_pairs:
            if is_opposite or len(first) not in (2, 4) or len(second) not in (2, 4):
                continue
            forward = any(o.replacement == second for o in self.options.get(first, []))
            backward = any(o.replacement == first for o in self.options.get(second, []))
            kept, changed = self.plainer_first(first, second)
            if not (forward and backward) or not self.may_change(changed):
                continue
            # A grammatical word is rewritten only into the replacement checked for it.
            if changed in self.function_words and (changed, kept) not in self.preferred_pairs:
                continue
            # A pair leaves its plainer word as it is, so it is the place for a word too
            # risky to rewrite everywhere: prefer those.
            rank = (not (is_lexicon_phrase(first, self.lexicon) and is_lexicon_phrase(second, self.lexicon)),
                    self.may_change(kept), min(exposure[first] + exposure[second], 3), stable_draw(first, second))
            ranked.append((rank, first, second))
        return [(first, second) for _, first, second in sorted(ranked)]

    def _add_fixed_entries(self):
        for position in sorted(PINNED):
            source, replacement = PINNED[position]
            self.chosen[source] = Option(source, replacement, source in OPPOSITE_PINS, ())
        for source, replacement, is_opposite in REQUIRED:
            self.chosen[source] = Option(source, replacement, is_opposite, ())
        for kept, changed in FIXED_PAIRS:
            self.chosen.setdefault(changed, Option(changed, kept, False, ()))
            self.pair_of[kept], self.pair_of[changed] = changed, kept

    def plainer_first(self, first, second):
        """(plainer, rarer) of two words: a reverse pair turns every rarer one into the plainer one."""
        if self.lexicon.get(second, 0) > self.lexicon.get(first, 0):
            return second, first
        return first, second

    def closeness(self, first, second):
        """2 for pool synonyms, 1 for words sharing two synonyms, else 0."""
        if second in self.neighbours[first]:
            return 2
        return 1 if len(self.neighbours[first] & self.neighbours[second]) >= 2 else 0

    # -- filling

    def is_locked(self, source):
        return source in self.pinned_sources or source in self.required_sources

    def _word_free(self, word):
        return word not in self.chosen and self.drop_count[word] < 2 and word in self.options

    def _reaches(self, start, target):
        """Does following replacements from start reach target?"""
        seen, word = set(), start
        while word in self.chosen and word not in seen:
            if word == target:
                return True
            seen.add(word)
            word = self.chosen[word].replacement
        return word == target

    def _pair_count_by_length(self):
        counts = defaultdict(int)
        for source in self.pair_of:
            counts[len(source)] += 1
        return counts

    def fill(self):
        self._fill_pairs()
        for length in sorted(SOURCE_LENGTH_QUOTA):
            self._fill_length(length)

    def _fill_pairs(self):
        wanted = sum(REVERSE_PAIR_SPLIT.values())
        lengths = self._pair_count_by_length()
        sources = Counter(len(source) for source in self.chosen)
        for first, second in self.pair_order:
            if len(self.pair_of) >= 2 * wanted:
                return
            if (first, second) in self.banned_pairs or not (self._word_free(first) and self._word_free(second)):
                continue
            grown = Counter(len(w) for w in (first, second))
            if any(lengths[n] + k > SOURCE_LENGTH_QUOTA[n] // 2 for n, k in grown.items()):
                continue
            # A pair refilled after a drop takes the place of the least preferred single entries.
            for n, k in grown.items():
                sources[n] -= self._make_room(n, sources[n] + k - SOURCE_LENGTH_QUOTA[n])
            self._add_pair(first, second)
            lengths.update(grown)
            sources.update(grown)

    def _make_room(self, length, count):
        """Unchoose up to count single entries of this length, least preferred first; returns how many."""
        removed = 0
        for word in reversed(self.word_order.get(length, [])):
            if removed >= count:
                break
            if word in self.chosen and word not in self.pair_of and not self.is_locked(word):
                del self.chosen[word]
                removed += 1
        return removed

    def _add_pair(self, first, second):
        for source, replacement in ((first, second), (second, first)):
            option = next(o for o in self.options[source] if o.replacement == replacement)
            self.chosen[source] = option
            self.pair_of[source] = replacement

    def _fill_length(self, length):
        have = sum(1 for source in self.chosen if len(source) == length)
        for word in self.word_order.get(length, []):
            if have >= SOURCE_LENGTH_QUOTA[length]:
                return
            if not self._word_free(word) or not self.may_change(word):
                continue
            option = self._best_option(word)
            if option is not None:
                self.chosen[word] = option
                have += 1

    def _best_option(self, word):
        # A frequent word, or one with a checked replacement, is rewritten by a checked pair only:
        # readers meet its rewrite too often for an unchecked one.
        checked_only = word in self.checked_sources or self.lexicon.get(word, 0) >= CHECKED_ONLY_FREQUENCY
        for option in self.options[word]:
            if checked_only and (word, option.replacement) not in self.preferred_pairs:
                continue
            if (word, option.replacement) in self.banned_options:
                continue
            checked = (word, option.replacement) in self.preferred_pairs
            # A takeover was read in the contexts of the word it takes over; the lexicon has no
            # counts for such phrases to judge it by.
            if word not in self.takeovers and not self.risk.is_plain_for(option.replacement, word, checked):
                continue
            if not self._reaches(option.replacement, word):
                return option
        return None

    def shortages(self):
        have = defaultdict(int)
        for source in self.chosen:
            have[len(source)] += 1
        short = {length: quota - have[length] for length, quota in SOURCE_LENGTH_QUOTA.items()
                 if have[length] != quota}
        pairs_short = sum(REVERSE_PAIR_SPLIT.values()) - len(self.pair_of) // 2
        return short, pairs_short

    # -- repair

    def drop(self, source):
        """Remove an entry that makes the ordering infeasible."""
        self.drop_count[source] += 1
        partner = self.pair_of.pop(source, None)
        if partner is not None:
            del self.pair_of[partner]
            del self.chosen[partner]
            self.banned_pairs.update({(source, partner), (partner, source)})
        self.banned_options.add((source, self.chosen[source].replacement))
        del self.chosen[source]

    def entries(self):
        """Deterministic node list: by source length and text, then the empty-source lines."""
        result = []
        for source in sorted(self.chosen, key=lambda s: (len(s), s)):
            option = self.chosen[source]
            line = f"{source}={option.replacement}"
            result.append(Entry(source, option.replacement, option.is_opposite, line))
        for line in EMPTY_SOURCE_LINES:
            fields = line.split("=")
            result.append(Entry("", fields[1], False, line))
        return result


# ----------------------------------------------------------- relations


def proper_substrings(text):
    """Distinct substrings of two or more characters, shorter than text."""
    found = []
    seen = set()
    for length in range(2, len(text)):
        for start in range(len(text) - length + 1):
            piece = text[start:start + length]
            if piece not in seen:
                seen.add(piece)
                found.append(piece)
    return found


class Relations:
    """For every entry j, the entries i that would affect j if placed before it.

    cascade[j]:  replacement of i equals the source of j
    inside[j]:   source of j sits inside the replacement of i
    contains[j]: source of j contains the source of i
    """

    def __init__(self, entries):
        by_source = {e.source: index for index, e in enumerate(entries) if e.source}
        size = len(entries)
        self.cascade = [[] for _ in range(size)]
        self.inside = [[] for _ in range(size)]
        self.contains = [[] for _ in range(size)]
        for i, entry in enumerate(entries):
            j = by_source.get(entry.replacement)
            if j is not None and j != i:
                self.cascade[j].append(i)
            for piece in proper_substrings(entry.replacement):
                j = by_source.get(piece)
                if j is not None and j != i:
                    self.inside[j].append(i)
            for piece in proper_substrings(entry.source):
                k = by_source.get(piece)
                if k is not None:
                    self.contains[i].append(k)

    def of(self, kind):
        return {CASCADE: self.cascade, INSIDE: self.inside, CONTAINS: self.contains}[kind]


class Targets:
    """Entries whose relation must fire, each with the earlier witness entry."""

    def __init__(self):
        self.witness = {CASCADE: {}, INSIDE: {}, CONTAINS: {}}

    def is_target(self, node):
        return any(node in table for table in self.witness.values())


def own_successors(node, relations, targets):
    """Entries that must follow node so that node's unwanted relations stay inert.

    Every relation is unwanted except the one with the chosen witness: any
    other entry allowed to act first would garble the word the witness makes.
    """
    following = set()
    for kind in (CASCADE, INSIDE, CONTAINS):
        following.update(relations.of(kind)[node])
    following.difference_update(table[node] for table in targets.witness.values() if node in table)
    return following


def precedence_edges(size, relations, targets):
    """Edges a -> b meaning 'a must come before b'."""
    successors = [own_successors(node, relations, targets) for node in range(size)]
    for table in targets.witness.values():
        for node, witness in table.items():
            successors[witness].add(node)
    return [sorted(s) for s in successors]


def predecessors_of(successors):
    predecessors = [[] for _ in successors]
    for node, targets in enumerate(successors):
        for target in targets:
            predecessors[target].append(node)
    return predecessors


def strongly_connected(successors):
    """Tarjan's algorithm, iterative; returns components with more than one node."""
    index_of, low, on_stack, stack, result = {}, {}, set(), [], []
    counter = 0
    for root in range(len(successors)):
        if root in index_of:
            continue
        work = [(root, 0)]
        while work:
            node, child_pos = work.pop()
            if child_pos == 0:
                index_of[node] = low[node] = counter
                counter += 1
                stack.append(node)
                on_stack.add(node)
            advanced = False
            children = successors[node]
            while child_pos < len(children):
                child = children[child_pos]
                child_pos += 1
                if child not in index_of:
                    work.append((node, child_pos))
                    work.append((child, 0))
                    advanced = True
                    break
                if child in on_stack:
                    low[node] = min(low[node], index_of[child])
            if advanced:
                continue
            if low[node] == index_of[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    result.append(sorted(component))
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
    return result


def reaches(successors, start, goal):
    """Is goal reachable from start?"""
    seen = {start}
    queue = deque([start])
    while queue:
        for nxt in successors[queue.popleft()]:
            if nxt == goal:
                return True
            if nxt not in seen:
                seen.add(nxt)
                queue.append(nxt)
    return False


# --------------------------------------------------------- arrangement


class Problem:
    """The chosen entries with their relations and pinned segments."""

    def __init__(self, selection):
        self.selection = selection
        self.entries = selection.entries()
        self.size = len(self.entries)
        self.node_of = {e.source: i for i, e in enumerate(self.entries) if e.source}
        self.relations = Relations(self.entries)
        self.pinned_slot = {self.node_of[src]: pos for pos, (src, _) in PINNED.items()}
        self.empty_nodes = [i for i, e in enumerate(self.entries) if not e.source]
        self.pairs = self._reverse_pairs()
        # The first entry of a reverse pair (A=B before B=A): whatever it rewrites inside a
        # phrase, the second entry puts back, so its part rewrites never show.
        self.kept_nodes = {first for first, _ in self.pairs}
        self.targets = self._forced_targets()

    def _reverse_pairs(self):
        """(first, second) node pairs; first is the member that is easier to keep inert."""
        pairs = []
        done = set()
        for source in sorted(self.selection.pair_of):
            if source in done:
                continue
            partner = self.selection.pair_of[source]
            done.update((source, partner))
            fixed = next((pair for pair in FIXED_PAIRS if source in pair), None)
            kept, _ = fixed or self.selection.plainer_first(source, partner)
            a, b = (self.node_of[source], self.node_of[partner]) if kept == source else \
                (self.node_of[partner], self.node_of[source])
            pairs.append((a, b))
        return pairs

    def _forced_targets(self):
        targets = Targets()
        for first, second in self.pairs:
            targets.witness[CASCADE][second] = first
        node = self.node_of
        targets.witness[CASCADE][node["大失所望"]] = node["大喜过望"]
        targets.witness[CONTAINS][node["冷酷无情"]] = node["冷酷"]
        targets.witness[INSIDE][node["使用"]] = node["免费使用"]
        targets.witness[CASCADE][node["无偿使用"]] = node["免费使用"]
        targets.witness[CONTAINS][node["无偿使用"]] = node["使用"]
        return targets

    def is_locked(self, node):
        source = self.entries[node].source
        return not source or self.selection.is_locked(source)

    def segment_of_pin(self, node):
        position = self.pinned_slot[node]
        return next(i for i, (lo, hi) in enumerate(SEGMENTS) if lo <= position <= hi)

    def allowed_segments(self, node):
        if node in self.pinned_slot:
            return (self.segment_of_pin(node),)
        if not self.entries[node].source:
            return (OPEN_SEGMENT_OF_LIST[3],)
        return OPEN_SEGMENTS


def topological_order(successors):
    indegree = [0] * len(successors)
    for targets in successors:
        for t in targets:
            indegree[t] += 1
    queue = deque(i for i, d in enumerate(indegree) if d == 0)
    order = []
    while queue:
        node = queue.popleft()
        order.append(node)
        for t in successors[node]:
            indegree[t] -= 1
            if indegree[t] == 0:
                queue.append(t)
    return order if len(order) == len(successors) else None


class SegmentBounds:
    """Earliest/latest segment per node implied by the nodes already placed."""

    def __init__(self, problem, successors, placed):
        self.problem = problem
        self.successors = successors
        self.predecessors = predecessors_of(successors)
        self.placed = dict(placed)  # node -> segment
        self.low = [0] * problem.size
        self.high = [LAST_SEGMENT] * problem.size
        for node, segment in self.placed.items():
            self.low[node] = self.high[node] = segment
        order = topological_order(successors)
        for node in order:
            self._pass_on(node, successors, self.low, max)
        for node in reversed(order):
            self._pass_on(node, self.predecessors, self.high, min)

    def _pass_on(self, node, links, bound, tighter):
        if node not in self.placed:
            self._snap(node)
        for nxt in links[node]:
            if nxt not in self.placed:
                bound[nxt] = tighter(bound[nxt], bound[node])

    def choices(self, node):
        allowed = (self.placed[node],) if node in self.placed else self.problem.allowed_segments(node)
        return [s for s in allowed if self.low[node] <= s <= self.high[node]]

    def _snap(self, node):
        """Tighten the bounds to the segments the node may actually use."""
        choices = self.choices(node)
        if choices:
            self.low[node], self.high[node] = choices[0], choices[-1]

    def conflicts(self):
        """Nodes without a usable segment, and placed nodes wired the wrong way round."""
        stuck = [node for node in range(self.problem.size) if not self.choices(node)]
        for node, segment in self.placed.items():
            stuck.extend(nxt for nxt in self.successors[node]
                         if nxt in self.placed and self.placed[nxt] < segment)
        return stuck

    def place(self, node, segment):
        """Fix node to segment and push the bounds of its neighbours."""
        self.placed[node] = segment
        self.low[node] = self.high[node] = segment
        self._push(node, self.successors, self.low, max)
        self._push(node, self.predecessors, self.high, min)

    def _push(self, start, links, bound, tighter):
        queue = deque([start])
        while queue:
            node = queue.popleft()
            for nxt in links[node]:
                if nxt in self.placed:
                    continue
                value = tighter(bound[nxt], bound[node])
                if value != bound[nxt]:
                    bound[nxt] = value
                    self._snap(nxt)
                    queue.append(nxt)


def pinned_segments(problem):
    return {node: problem.segment_of_pin(node) for node in problem.pinned_slot}


def garbling_entries(problem):
    """Entries that garble a replacement word which no entry takes as a whole.

    Rewriting such a word alone, every entry whose source sits inside it acts,
    whatever the order; keep only those that leave a real word and are no
    antonym swaps.  The entry owning the word is dropped when it may be,
    otherwise the entry acting inside it.
    """
    lexicon = problem.selection.lexicon
    blockers = []
    for node, entry in enumerate(problem.entries):
        if entry.replacement in problem.node_of:
            continue
        for piece in proper_substrings(entry.replacement):
            inner = problem.node_of.get(piece)
            if inner is None or inner in problem.kept_nodes:
                continue
            inner_entry = problem.entries[inner]
            if (entry.is_opposite or inner_entry.is_opposite
                    or not part_rewrite_reads_well(entry.replacement, piece, inner_entry.replacement, lexicon)):
                blockers.append(inner if problem.is_locked(node) else node)
    return blockers


def find_blockers(problem):
    """Nodes to drop so that the graph is acyclic, fits the pins and garbles no word."""
    garbling = garbling_entries(problem)
    if garbling:
        return garbling
    successors = precedence_edges(problem.size, problem.relations, problem.targets)
    blockers = []
    components = strongly_connected(successors)
    if components:
        for component in components:
            blockers.append(_weakest_member(problem, successors, component))
        return blockers
    bounds = SegmentBounds(problem, successors, pinned_segments(problem))
    return bounds.conflicts()


def _weakest_member(problem, successors, component):
    members = set(component)
    degree = defaultdict(int)
    for node in component:
        for nxt in successors[node]:
            if nxt in members:
                degree[node] += 1
                degree[nxt] += 1
    candidates = [n for n in component if not problem.selection.is_locked(problem.entries[n].source)
                  and problem.entries[n].source]
    if not candidates:
        raise SystemExit("pinned entries form a cycle: " + ", ".join(problem.entries[n].line for n in component))
    in_pair = problem.selection.pair_of
    return max(candidates, key=lambda n: (degree[n], problem.entries[n].source not in in_pair,
                                          problem.entries[n].source))


class Unplaceable(Exception):
    """Raised with the nodes to drop when an arrangement attempt cannot be completed."""

    def __init__(self, nodes, reason=""):
        super().__init__(reason or f"{len(nodes)} entries to drop")
        self.nodes = nodes


def drop_nodes(problem, nodes):
    for node in sorted(set(nodes)):
        if problem.is_locked(node):
            raise SystemExit(f"pinned entry {problem.entries[node].line} cannot be placed")
        if problem.entries[node].source in problem.selection.chosen:
            problem.selection.drop(problem.entries[node].source)


def select_feasible(selection, log):
    for round_number in range(200):
        selection.fill()
        problem = Problem(selection)
        blockers = find_blockers(problem)
        log(f"selection round {round_number}: {len(selection.chosen)} sources, "
            f"{len(selection.pair_of) // 2} reverse pairs, {len(blockers)} blockers")
        if not blockers:
            return problem
        drop_nodes(problem, blockers)
    raise SystemExit("selection did not settle")


# ------------------------------------------------------------- targets


def choose_targets(problem, log):
    """Add fired relations until each kind reaches its total."""
    forced = problem.targets.witness
    wanted = {
        CASCADE: CASCADE_TOTAL - len(forced[CASCADE]),
        INSIDE: INSIDE_TOTAL - len(forced[INSIDE]),
        CONTAINS: CONTAINS_TOTAL - len(forced[CONTAINS]),
    }
    pair_nodes = {n for pair in problem.pairs for n in pair}
    for kind in (CONTAINS, INSIDE, CASCADE):
        added = _add_targets(problem, kind, wanted[kind], pair_nodes)
        log(f"{kind}: {len(forced[kind])} fired relations ({added} chosen)")
        if added < wanted[kind]:
            raise Unplaceable([], f"only {added} of {wanted[kind]} {kind} relations could be fired")


def _add_targets(problem, kind, wanted, pair_nodes):
    """Fire `wanted` relations of one kind, keeping the graph acyclic and the pinned slots feasible.

    Only entries that witness nothing yet are made targets, so the trial graph
    differs from the current one in two adjacency lists only; the one exception are
    first entries of reverse pairs (whose effect the second entry undoes), which keep
    the edge to the second entry they witness.
    """
    relations = problem.relations.of(kind)
    table = problem.targets.witness[kind]
    successors = precedence_edges(problem.size, problem.relations, problem.targets)
    witnesses = {w for t in problem.targets.witness.values() for w in t.values()}
    transient = problem.kept_nodes if kind in (INSIDE, CASCADE) else set()
    candidates = [n for n in range(problem.size)
                  if relations[n] and (n not in pair_nodes or n in transient) and n not in problem.pinned_slot
                  and not problem.targets.is_target(n) and (n not in witnesses or n in transient)
                  and problem.entries[n].source not in problem.selection.takeovers]
    candidates.sort(key=lambda node: stable_draw(kind, problem.entries[node].line))
    ranked = {node: _ranked_witnesses(problem, kind, node) for node in candidates}
    candidates.sort(key=lambda node: -ranked[node][0][0] if ranked[node] else 1)
    added = 0
    for node in candidates:
        if added == wanted:
            break
        if node in witnesses and node not in transient:
            continue
        for _, witness in ranked[node]:
            table[node] = witness
            trial = _with_target(problem, successors, node, witness)
            if trial is not None:
                successors = trial
                witnesses.add(witness)
                added += 1
                break
            del table[node]
    return added


def _ranked_witnesses(problem, kind, node):
    """[(how well the meaning is kept, witness)] for the witnesses whose firing reads well, best first.

    A chain A -> B -> C keeps the meaning best when the pool itself pairs A
    with C, fairly when A and C share another synonym besides B.
    """
    ranked = []
    for witness in problem.relations.of(kind)[node]:
        if reads_well(problem, kind, node, witness):
            keeps = 2 if kind != CASCADE or node in problem.kept_nodes else problem.selection.closeness(
                problem.entries[witness].source, problem.entries[node].replacement)
            if keeps >= MIN_CHAIN_CLOSENESS or rarely_fires(problem, problem.entries[witness].source):
                ranked.append((keeps, stable_draw(problem.entries[node].line, problem.entries[witness].line),
                               witness))
    ranked.sort(reverse=True)
    return [(keeps, witness) for keeps, _, witness in ranked]


def rarely_fires(problem, source):
    """A chain starting from an idiom, a set phrase or a rare word may drift a little:
    it fires too seldom in real text to matter."""
    return len(source) >= 4 or problem.selection.lexicon.get(source, 0) < RARE_CHAIN_FREQUENCY


def reads_well(problem, kind, node, witness):
    """Does firing this relation leave a real word, with no antonym involved?

    A cascade ends on a whole word; the other two kinds rewrite part of a
    word, which must still read as a word.
    """
    target, earlier = problem.entries[node], problem.entries[witness]
    if target.is_opposite or earlier.is_opposite:
        return False
    lexicon = problem.selection.lexicon
    if kind == INSIDE and node in problem.kept_nodes:
        return True
    if kind == INSIDE:
        return part_rewrite_reads_well(earlier.replacement, target.source, target.replacement, lexicon)
    if kind == CONTAINS:
        return part_rewrite_reads_well(target.source, earlier.source, earlier.replacement, lexicon)
    return True


def _with_target(problem, successors, node, witness):
    """The graph after node becomes a target fired by witness, or None if infeasible."""
    trial = list(successors)
    witnessed = {t for table in problem.targets.witness.values() for t, w in table.items() if w == node}
    trial[node] = sorted(own_successors(node, problem.relations, problem.targets) | witnessed)
    if reaches(trial, node, witness):
        return None
    trial[witness] = sorted(set(successors[witness]) | {node})
    if SegmentBounds(problem, trial, pinned_segments(problem)).conflicts():
        return None
    return trial


# -------------------------------------------------------------- levels


def assign_segments(problem):
    """Give every node a segment: reverse pairs by the list split, then the rest by capacity."""
    successors = precedence_edges(problem.size, problem.relations, problem.targets)
    bounds = SegmentBounds(problem, successors, pinned_segments(problem))
    capacity = {s: hi - lo + 1 for s, (lo, hi) in enumerate(SEGMENTS)}
    for segment in bounds.placed.values():
        capacity[segment] -= 1
    _place_pairs(problem, bounds, capacity)
    free = [n for n in range(problem.size) if n not in bounds.placed]
    free.sort(key=lambda n: (len(bounds.choices(n)), stable_draw(problem.entries[n].line)))
    total_capacity = {s: capacity[s] for s in OPEN_SEGMENTS}
    for node in free:
        choices = [s for s in bounds.choices(node) if capacity[s] > 0]
        if not choices:
            raise Unplaceable([node])
        segment = max(choices, key=lambda s: (capacity[s] / total_capacity[s], -s))
        bounds.place(node, segment)
        capacity[segment] -= 1
    return bounds.placed, successors


def _place_pairs(problem, bounds, capacity):
    remaining = dict(REVERSE_PAIR_SPLIT)
    pinned = pinned_segments(problem)
    # Pairs with a pinned member first: their split is fixed, so they must find it still open.
    order = sorted(problem.pairs, key=lambda pair: (not any(n in pinned for n in pair),
                                                    stable_draw(*(problem.entries[n].line for n in pair))))

    def fits(node, list_number):
        if node in pinned:
            return _list_of_segment(pinned[node]) == list_number
        return OPEN_SEGMENT_OF_LIST[list_number] in bounds.choices(node)

    for first, second in order:
        feasible = [split for split in remaining if remaining[split] > 0
                    and fits(first, split[0]) and fits(second, split[1])]
        if not feasible:
            raise Unplaceable([first], f"reverse pair {problem.entries[first].line} fits no list split")
        split = max(feasible, key=lambda s: (remaining[s], s))
        remaining[split] -= 1
        for node, list_number in zip((first, second), split):
            if node not in pinned:
                segment = OPEN_SEGMENT_OF_LIST[list_number]
                bounds.place(node, segment)
                capacity[segment] -= 1
    if any(remaining.values()):
        raise SystemExit(f"reverse pair split not met: {remaining}")


def _list_of_segment(segment):
    return 1 if segment <= 3 else 2 if segment <= 6 else 3


# ------------------------------------------------------------ ordering


def order_segments(problem, placed, successors):
    """Topological order inside each segment, pinned entries at their slots."""
    members = defaultdict(list)
    for node, segment in placed.items():
        members[segment].append(node)
    merged = []
    for segment, (first_pos, last_pos) in enumerate(SEGMENTS):
        nodes = members[segment]
        if len(nodes) != last_pos - first_pos + 1:
            raise SystemExit(f"segment {segment} holds {len(nodes)} entries")
        merged.extend(_order_one_segment(problem, nodes, first_pos, successors))
    return merged


def _order_one_segment(problem, nodes, first_pos, successors):
    inside = set(nodes)
    indegree = {n: 0 for n in nodes}
    for n in nodes:
        for t in successors[n]:
            if t in inside:
                indegree[t] += 1
    slot_of_pin = {problem.pinned_slot[n] - first_pos: n for n in nodes if n in problem.pinned_slot}
    deadline = _deadlines(nodes, inside, successors, slot_of_pin)
    tie = {n: stable_draw(problem.entries[n].line) for n in nodes}
    ready = [(deadline[n], tie[n], n) for n in nodes if indegree[n] == 0 and n not in problem.pinned_slot]
    heapq.heapify(ready)
    result = []
    for slot in range(len(nodes)):
        if slot in slot_of_pin:
            node = slot_of_pin[slot]
            if indegree[node] != 0:
                raise SystemExit(f"pinned entry {problem.entries[node].line} not ready at its slot")
        else:
            if not ready:
                raise SystemExit(f"nothing placeable at position {first_pos + slot}")
            node = heapq.heappop(ready)[2]
        result.append(node)
        for t in successors[node]:
            if t in inside:
                indegree[t] -= 1
                if indegree[t] == 0 and t not in problem.pinned_slot:
                    heapq.heappush(ready, (deadline[t], tie[t], t))
    return result


def _deadlines(nodes, inside, successors, slot_of_pin):
    """Earliest pinned slot each node must precede (ancestors of pins go first)."""
    predecessors = defaultdict(list)
    for n in nodes:
        for t in successors[n]:
            if t in inside:
                predecessors[t].append(n)
    deadline = {n: len(nodes) for n in nodes}
    for slot in sorted(slot_of_pin, reverse=True):
        queue = deque([slot_of_pin[slot]])
        while queue:
            node = queue.popleft()
            for prev in predecessors[node]:
                if deadline[prev] > slot:
                    deadline[prev] = slot
                    queue.append(prev)
    return deadline


# ---------------------------------------------------------- verification


def count_relations(lines):
    """Recount every fired relation in a finished merged list."""
    parsed = [line.split("=")[:2] for line in lines]
    position_of = {tuple(fields): pos for pos, fields in enumerate(parsed)}
    counts = dict.fromkeys(("reverse", CASCADE, INSIDE, CONTAINS), 0)
    replacements, replacement_pieces, sources = set(), set(), set()
    for pos, (source, replacement) in enumerate(parsed):
        if source:
            if position_of.get((replacement, source), -1) > pos:
                counts["reverse"] += 1
            if source in replacements:
                counts[CASCADE] += 1
            elif source in replacement_pieces:
                counts[INSIDE] += 1
            if any(piece in sources for piece in proper_substrings(source)):
                counts[CONTAINS] += 1
            sources.add(source)
        replacements.add(replacement)
        replacement_pieces.update(proper_substrings(replacement))
    return counts


class WordRewriter:
    """The merged dictionary applied to short texts, jumping to the entries that can act."""

    def __init__(self, lines):
        self.pairs = [line.split("=")[:2] for line in lines]
        self.positions = defaultdict(list)
        for position, (source, _) in enumerate(self.pairs):
            if source:
                self.positions[source].append(position)

    def steps(self, text):
        """The final text and the positions of the entries that changed it, in order."""
        fired = []
        while True:
            pieces = {text[a:b] for a in range(len(text)) for b in range(a + 1, len(text) + 1)}
            later = [p for piece in pieces for p in self.positions.get(piece, ()) if not fired or p > fired[-1]]
            if not later:
                return text, fired
            fired.append(min(later))
            text = text.replace(*self.pairs[fired[-1]])

    def words(self):
        return list(dict.fromkeys(w for pair in self.pairs for w in pair if w))


def rewrite(text, lines):
    return WordRewriter(lines).steps(text)[0]


def badly_rewritten(lines, is_opposite, lexicon):
    """{word: fired positions} for words the whole dictionary turns into a non-word,
    or that an antonym entry touches other than by swapping the whole word alone (an
    antonym pair undone by its reverse entry leaves the word as it was)."""
    rewriter = WordRewriter(lines)
    bad = {}
    for word in rewriter.words():
        if word in EXPECTED_REWRITES:
            continue
        result, fired = rewriter.steps(word)
        undone = undone_by_reverse(fired, rewriter.pairs)
        acting = [position for position in fired if position not in undone]
        lone_swap = len(acting) == 1 and rewriter.pairs[acting[0]][0] == word
        tangled = any(is_opposite[p] for p in acting) and not lone_swap
        if tangled or not is_lexicon_phrase(result, lexicon) or not _parts_read_well(word, fired, rewriter, lexicon):
            bad[word] = fired
    return bad


def _parts_read_well(word, fired, rewriter, lexicon):
    """At most one entry may rewrite part of the text, and that part rewrite must read well;
    with both halves of a phrase swapped the meaning drifts too far."""
    text, part_rewrites = word, 0
    undone = undone_by_reverse(fired, rewriter.pairs)
    for position in fired:
        source, replacement = rewriter.pairs[position]
        if source != text and position not in undone:
            part_rewrites += 1
            if part_rewrites > 1 or not part_rewrite_reads_well(text, source, replacement, lexicon):
                return False
        text = text.replace(source, replacement)
    return True


def undone_by_reverse(fired, pairs):
    """Fired positions of reverse pairs A=B ... B=A that both fired: together they change nothing."""
    later = {tuple(pairs[p]): p for p in fired}
    undone = set()
    for position in fired:
        source, replacement = pairs[position]
        reverse = later.get((replacement, source))
        if reverse is not None and reverse > position:
            undone.update((position, reverse))
    return undone


def blame(problem, order, word, fired):
    """The entry to drop for a badly rewritten word: an antonym in a chain; else, when
    both halves of a phrase were rewritten, the phrase's own entry, since the words'
    entries matter more in real text; else the entry that rewrote only part of the
    text; else the last one."""
    text, partial = word, []
    for position in fired:
        entry = problem.entries[order[position]]
        if entry.source != text:
            partial.append(position)
        text = text.replace(entry.source, entry.replacement)
    opposites = [p for p in fired if problem.entries[order[p]].is_opposite]
    whole = [p for p in fired[:1] if len(partial) > 1 and problem.entries[order[p]].source == word]
    for position in opposites + whole + partial + fired[::-1]:
        if not problem.is_locked(order[position]):
            return order[position]
    raise SystemExit(f"cannot repair the rewrite of {word}")


def verify(lines, is_opposite, lexicon):
    counts = count_relations(lines)
    expected = {"reverse": sum(REVERSE_PAIR_SPLIT.values()), CASCADE: CASCADE_TOTAL,
                INSIDE: INSIDE_TOTAL, CONTAINS: CONTAINS_TOTAL}
    problems = [f"{k}: {counts[k]} != {v}" for k, v in expected.items() if counts[k] != v]
    for text, result in EXPECTED_REWRITES.items():
        got = rewrite(text, lines)
        if got != result:
            problems.append(f"rewrite {text} -> {got}, expected {result}")
    for position, (source, replacement) in PINNED.items():
        if lines[position] != f"{source}={replacement}":
            problems.append(f"position {position} holds {lines[position]}")
    bad = badly_rewritten(lines, is_opposite, lexicon)
    if bad:
        problems.append(f"badly rewritten words: {sorted(bad)}")
    return counts, problems


def write_lists(lines):
    OUTPUT_DIR.mkdir(parents=True, exist_ok=True)
    start = 0
    for number, size in enumerate(LIST_SIZES, 1):
        chunk = lines[start:start + size]
        start += size
        (OUTPUT_DIR / f"list{number}.txt").write_bytes(("\n".join(chunk) + "\n").encode("utf-8"))


def log(message):
    print(message, file=sys.stderr)


def arrange(selection, log):
    """Select, fire the wanted relations and order; drop entries and retry until every word reads well."""
    for attempt in range(MAX_ATTEMPTS):
        problem = select_feasible(selection, log)
        short, pairs_short = selection.shortages()
        if short or pairs_short:
            raise SystemExit(f"pool too small: sources missing by length {short}, "
                             f"reverse pairs missing {pairs_short}")
        try:
            choose_targets(problem, log)
            placed, successors = assign_segments(problem)
        except Unplaceable as stuck:
            log(f"attempt {attempt}: {stuck}")
            drop_nodes(problem, stuck.nodes)
            continue
        order = order_segments(problem, placed, successors)
        lines = [problem.entries[node].line for node in order]
        is_opposite = [problem.entries[node].is_opposite for node in order]
        bad = badly_rewritten(lines, is_opposite, selection.lexicon)
        log(f"attempt {attempt}: {len(bad)} badly rewritten words {sorted(bad)}")
        if not bad:
            return problem, order
        drop_nodes(problem, [blame(problem, order, word, fired) for word, fired in sorted(bad.items())])
    raise SystemExit(f"no arrangement without badly rewritten words after {MAX_ATTEMPTS} attempts")


def main():
    pool_pairs, rejected = read_pool(POOL_DIR)
    log(f"pool: {len(pool_pairs)} distinct pairs, {rejected} malformed lines skipped")
    lexicon = load_lexicon(LEXICON_PATH)
    lexicon.attested.update(word for pair in pool_pairs for word in pair[:2])
    notes = read_pool_notes(POOL_DIR)
    lexicon.attested.update(checked_part_rewrites(POOL_DIR, notes.preferred_pairs))
    selection = Selection(pool_pairs, lexicon, load_word_risk(LEXICON_PATH), notes)
    problem, order = arrange(selection, log)
    lines = [problem.entries[node].line for node in order]
    is_opposite = [problem.entries[node].is_opposite for node in order]
    counts, problems = verify(lines, is_opposite, lexicon)
    log(f"counts: {counts}")
    if problems:
        raise SystemExit("arrangement failed:\n" + "\n".join(problems))
    write_lists(lines)
    opposites = sum(1 for node in order if problem.entries[node].is_opposite)
    log(f"opposites: {opposites} entries")
    log(f"wrote {len(lines)} entries to {OUTPUT_DIR}")


if __name__ == "__main__":
    main()
