"""How safely a word can be replaced everywhere in real text, judged from jieba's lexicon.

The rewriter replaces every occurrence of a source, whatever the words around
it.  An occurrence is only a real use of the word when the text's words
start and end with it; elsewhere the source sits inside a longer word
(系统 in 操作系统) or runs across two words (现在 in 出现|在), and the
rewrite breaks the sentence.  jieba's lexicon counts how often each word
occurs on its own in a large corpus, so it also tells how often a source
would be met inside longer words and, assuming neighbouring words are
independent, across two words.

The lexicon's counts come from one corpus and list many compounds of real
web text with the floor count (健康状况, 购置税, 医保卡), although jieba
segments them as one word whenever they occur.  jieba's keyword weights
(idf.txt) tell in what share of a large set of documents each word occurs,
which measures those compounds far better; a source is also judged by the
documents where it only occurs inside a longer word.
"""

import math
from collections import defaultdict
from pathlib import Path

LEXICON_PATH = Path("/usr/lib/python3/dist-packages/jieba/dict.txt")
DOCUMENT_WEIGHTS_PATH = Path("/usr/lib/python3/dist-packages/jieba/analyse/idf.txt")

# Parts of speech (jieba's tags) whose words carry content: nouns, verbs, adjectives,
# idioms and set phrases, names of places and things, time nouns, distinguishing words.
# The name tags are kept because the lexicon gives them to many ordinary words (西红柿).
CONTENT_TAGS = frozenset("n nz ng nr nrt nrfg ns nt s v vn vd vi vg a an ad ag z b i l j t".split())
# Content-tagged words that work as grammar in real sentences: modal and light verbs,
# time and degree words, quantities.  Swapping them breaks the sentence around them.
GRAMMATICAL_WORDS = frozenset("""
需要 需求 可以 能够 应该 应当 必须 必需 可能 进行 开展 展开 加以 予以 给予 没有 觉得 认为 成为 作为 使得
开始 继续 表示 具有 存在 属于 包括 包含 得到 知道 看到 听到 出来 起来 下去 过来 不能 不会 不要 不用 不得
现在 目前 当时 以前 以后 之后 之前 当前 如今 今天 明天 昨天 时候 同时 最近 将来 刚才 一般 一定 一些
有些 几乎 简直 十分 非常 比较 相当 特别 尤其 更加 已经 正在 然后 部分 全部 所有 左右 附近 上下 之间 其中
其他 其它 另外 此外 大家 自己 别人 这样 那样 有关 关于 通过 根据 按照 为了 对于 以及 并且 而且 但是 所以
因为 由于 如果 虽然 还是 或者 即使 只要 只有 除了 就是 也是 还有 一样 一起 一下 一点 一直 不断 重新 主要
基本 完全 真正 直接 只能 总是 大约 大概 差不多 多少 几个 许多 很多 不少 大量 个别 适当 有点 有时 有时候
""".split())
# A source's share of occurrences inside other words or across two words that is
# always accepted, the larger share accepted while those occurrences stay rare in
# absolute terms (番茄 in 番茄酱), and the lexicon count of such occurrences too
# small to matter whatever the share.
SAFE_SHARE = 0.05
RARE_SHARE = 0.15
RARE_COLLATERAL = 100
NEGLIGIBLE_COLLATERAL = 30
LONGEST_PIECE = 7
# The share of documents below which the longer words holding a source are too rare to matter,
# whatever their share of the source's presence (凝视 in 凝视着 counts; 票决 in 投票决定 is too rare to).
RARE_CONTAINER_DOCUMENTS = 1e-4
# The lexicon count from which a word's 儿 form (老伴儿, 幸运儿, 使劲儿) is an established word of its own.
ESTABLISHED_ERHUA_COUNT = 10
# A replacement much rarer than its source is a literary or dated word (孩子 -> 孩童); for a frequent
# source, whose rewrite readers meet often, the bounds are tighter (提前 -> 提早), and a replacement
# much more frequent is a broader word that loses the source's sense (架构 -> 结构, 小区 -> 社区).
PLAIN_RATIO = 0.1
FREQUENT_SOURCE = 300  # lexicon count
FREQUENT_PLAIN_RATIO = 0.2
FREQUENT_BROADER_RATIO = 5
# A checked pair was read in the source's contexts for register, so its replacement only has to be
# an everyday word itself (超过 -> 超出 is plain although rare next to 超过) that is neither
# far rarer than the source (时间 -> 时光) nor a far broader word (小区 -> 社区).
CHECKED_EVERYDAY_COUNT = 500
CHECKED_PLAIN_RATIO = 0.03
CHECKED_BROADER_RATIO = 10


class WordRisk:
    """Lexicon counts of words and of the places a piece of text occurs other than as a word."""

    def __init__(self, entries, document_weights=()):
        """entries: [(word, count, tag)]; document_weights: [(word, idf)], idf = -ln(share of documents)."""
        self.count = {}
        self.tag = {}
        self.inside = defaultdict(int)  # piece -> counts of longer words holding it
        self.ending = defaultdict(int)  # piece -> counts of words ending with it
        self.starting = defaultdict(int)  # piece -> counts of words starting with it
        for word, count, tag in entries:
            self.count[word] = count
            self.tag[word] = tag
            self._add_pieces(word, count)
        self.total = sum(self.count.values()) or 1
        self.documents = {}  # word -> share of documents it occurs in
        self.documents_inside = defaultdict(float)  # piece -> summed shares of longer words holding it
        for word, idf in document_weights:
            self.documents[word] = share = math.exp(-idf)
            for piece in self._inner_pieces(word):
                self.documents_inside[piece] += share

    @staticmethod
    def _inner_pieces(word):
        """The pieces of two or more characters that are shorter than word, one for each place."""
        size = len(word)
        return [word[start:end] for start in range(size)
                for end in range(start + 2, min(size, start + LONGEST_PIECE) + 1) if end - start < size]

    def _add_pieces(self, word, count):
        size = len(word)
        for piece in self._inner_pieces(word):
            self.inside[piece] += count
        for length in range(1, min(size, LONGEST_PIECE) + 1):
            self.ending[word[-length:]] += count
            self.starting[word[:length]] += count

    def across(self, piece):
        """Expected count of piece formed by the end of one word and the start of the next."""
        pairs = 0
        for cut in range(1, len(piece)):
            head, tail = piece[:cut], piece[cut:]
            pairs += self.ending[head] * self.starting[tail] - self.count.get(head, 0) * self.count.get(tail, 0)
        return pairs / self.total

    def collateral(self, piece):
        """Expected occurrences of piece that are not the word itself."""
        return self.inside[piece] + self.across(piece)

    def collateral_share(self, piece):
        own, other = self.count.get(piece, 0), self.collateral(piece)
        return other / (own + other) if own + other else 0.0

    def inside_share_in_documents(self, piece):
        """How much of piece's presence in documents is inside longer words rather than as itself."""
        own, inside = self.documents.get(piece, 0.0), self.documents_inside.get(piece, 0.0)
        return inside / (own + inside) if own + inside else 0.0

    def is_often_inside_in_documents(self, word):
        return (self.documents_inside.get(word, 0.0) > RARE_CONTAINER_DOCUMENTS
                and self.inside_share_in_documents(word) > SAFE_SHARE)

    @staticmethod
    def reduplicated(word):
        """The AABB form of a two-character word (零散 -> 零零散散)."""
        return word[0] * 2 + word[1] * 2

    def has_erhua_form(self, word):
        """Is word + 儿 an established word: a rewrite of word would leave the 儿 on the replacement."""
        return self.count.get(word + "儿", 0) >= ESTABLISHED_ERHUA_COUNT

    def is_grammatical(self, word):
        return word in GRAMMATICAL_WORDS or self.tag.get(word, "i") not in CONTENT_TAGS

    def is_safe_source(self, word, grammar_checked=False):
        """May every occurrence of word be rewritten: a content word that is rarely part of another word.

        grammar_checked: word is a grammatical word whose replacement was checked to do the same
        job in every sentence (如果 -> 假如); it must still rarely be part of another word."""
        # A longer set phrase is met as itself whatever its tag: only two-character words go by their tag.
        works_as_grammar = word in GRAMMATICAL_WORDS or (len(word) < 3 and self.is_grammatical(word))
        if works_as_grammar and not grammar_checked:
            return False
        if self.is_often_inside_in_documents(word):
            return False
        if len(word) >= 3:
            return True  # set phrases and idioms: met as themselves, or as two whole words
        if self.reduplicated(word) in self.count:
            return False  # 零散 sits in the middle of 零零散散, a form writers use freely
        if self.has_erhua_form(word):
            return False  # 老伴儿 would become 爱人儿
        share, collateral = self.collateral_share(word), self.collateral(word)
        return (share <= SAFE_SHARE or collateral <= NEGLIGIBLE_COLLATERAL
                or (share <= RARE_SHARE and collateral <= RARE_COLLATERAL))

    def is_plain_for(self, replacement, source, checked=False):
        """Is replacement as everyday as source and as narrow: not a literary or dated substitute,
        nor a much more general word?  checked: the pair was read in the source's contexts."""
        source_count, replacement_count = self.count.get(source, 0), self.count.get(replacement, 0)
        ratio = replacement_count / max(1, source_count)
        if (checked and replacement_count >= CHECKED_EVERYDAY_COUNT
                and CHECKED_PLAIN_RATIO <= ratio <= CHECKED_BROADER_RATIO):
            return True
        if source_count < FREQUENT_SOURCE:
            return ratio >= PLAIN_RATIO
        return FREQUENT_PLAIN_RATIO <= ratio <= FREQUENT_BROADER_RATIO


def read_lexicon_entries(path=LEXICON_PATH):
    with open(path, encoding="utf-8") as handle:
        for line in handle:
            fields = line.split()
            if len(fields) >= 2:
                yield fields[0], int(fields[1]), fields[2] if len(fields) > 2 else ""


def read_document_weights(path=DOCUMENT_WEIGHTS_PATH):
    with open(path, encoding="utf-8") as handle:
        for line in handle:
            fields = line.split()
            if len(fields) == 2:
                yield fields[0], float(fields[1])


def load_word_risk(path=LEXICON_PATH, document_weights_path=DOCUMENT_WEIGHTS_PATH):
    return WordRisk(read_lexicon_entries(path), read_document_weights(document_weights_path))
