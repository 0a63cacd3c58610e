#!/usr/bin/python3
"""Tests for the readability measurement and the word risk it shares with the arranger.

Run: /usr/bin/python3 -m unittest discover -s tools -p 'test_*.py'
"""

import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import find_seam_rewrites as seams  # noqa: E402
import measure_readability as measure  # noqa: E402
from word_risk import WordRisk  # noqa: E402


def literal_rewrite(text, entries):
    for source, replacement in entries:
        if source:
            text = text.replace(source, replacement)
    return text


def changes_of(line, entries):
    cells = measure.TracingRewriter(entries).rewrite(line)
    return "".join(c.ch for c in cells), [(c.start, c.end, c.result) for c in measure.net_changes(line, cells)]


class TracingRewriterTest(unittest.TestCase):
    def test_text_matches_the_literal_rewrite(self):
        entries = [("大喜过望", "大失所望"), ("冷酷", "冷漠"), ("甲乙", "丙丁"), ("丁戊", "己庚"),
                   ("大失所望", "事与愿违"), ("冷酷无情", "无情无义"), ("", "摆布")]
        for line in ("他大喜过望，冷酷无情。", "甲乙戊甲乙", "", "没有可换的词"):
            self.assertEqual(changes_of(line, entries)[0], literal_rewrite(line, entries), line)

    def test_a_cascade_is_one_change_over_the_original_word(self):
        text, changes = changes_of("他大喜过望了", [("大喜过望", "大失所望"), ("大失所望", "事与愿违")])
        self.assertEqual(text, "他事与愿违了")
        self.assertEqual(changes, [(1, 5, "事与愿违")])

    def test_a_mirror_pair_leaves_its_first_word_unchanged_and_turns_the_second(self):
        text, changes = changes_of("防范和防备", [("防范", "防备"), ("防备", "防范")])
        self.assertEqual(text, "防范和防范")
        self.assertEqual(changes, [(3, 5, "防范")])

    def test_a_match_across_a_replacement_and_the_original_spans_both(self):
        text, changes = changes_of("甲乙戊", [("甲乙", "丙丁"), ("丁戊", "己庚")])
        self.assertEqual(text, "丙己庚")
        self.assertEqual(changes, [(0, 3, "丙己庚")])

    def test_adjacent_replacements_stay_separate_changes(self):
        _, changes = changes_of("甲乙丙丁", [("甲乙", "子丑"), ("丙丁", "寅卯")])
        self.assertEqual(changes, [(0, 2, "子丑"), (2, 4, "寅卯")])


class EntriesTest(unittest.TestCase):
    def test_the_lists_merge_in_order_and_an_empty_source_is_kept(self):
        self.assertEqual(measure.entries_of(["甲乙=丙丁\n", "=摆布=支配\n戊己=庚辛\n"]),
                         [("甲乙", "丙丁"), ("", "摆布"), ("戊己", "庚辛")])


class ClassifyTest(unittest.TestCase):
    WORDS = [(0, 2), (2, 4), (4, 5)]  # 操作|系统|在

    def kind(self, start, end):
        boundaries = {lo for lo, _ in self.WORDS} | {5}
        return measure.classify(measure.Change(start, end, "", ()), boundaries, self.WORDS)

    def test_kinds(self):
        self.assertEqual(self.kind(2, 4), "aligned")
        self.assertEqual(self.kind(0, 4), "aligned")
        self.assertEqual(self.kind(0, 1), "inside")
        self.assertEqual(self.kind(3, 5), "straddle")


class ChangedSentencesTest(unittest.TestCase):
    def test_only_changed_sentences_are_paired_with_their_rewrite(self):
        line = "他很冷酷。天气好！冷酷无情？"
        cells = measure.TracingRewriter([("冷酷", "冷漠")]).rewrite(line)
        self.assertEqual(measure.changed_sentences(line, cells),
                         [("他很冷酷。", "他很冷漠。"), ("冷酷无情？", "冷漠无情？")])


class WordRiskTest(unittest.TestCase):
    def setUp(self):
        self.risk = WordRisk([
            ("系统", 1000, "n"), ("操作系统", 800, "n"), ("番茄", 500, "n"), ("番茄酱", 40, "n"),
            ("出现", 3000, "v"), ("在", 90000, "p"), ("现在", 2000, "t"), ("孩子", 5000, "n"),
            ("孩童", 30, "n"), ("小孩", 2000, "n"), ("非常", 8000, "d"), ("需要", 6000, "v"),
            ("架构", 300, "n"), ("结构", 14000, "n"), ("价格", 11000, "n"), ("价钱", 520, "n"),
            ("时间", 33000, "n"), ("时光", 800, "n"), ("小区", 400, "n"), ("社区", 6000, "n"),
            ("如果", 38000, "c"),
        ])

    def test_a_word_often_inside_longer_words_is_not_safe(self):
        self.assertAlmostEqual(self.risk.collateral_share("系统"), 800 / 1800)
        self.assertFalse(self.risk.is_safe_source("系统"))

    def test_a_word_rarely_inside_longer_words_is_safe(self):
        self.assertTrue(self.risk.is_safe_source("番茄"))

    def test_a_word_documents_mostly_show_inside_a_compound_is_not_safe(self):
        # The lexicon lists 购置税 with the floor count, but it is in two thirds as many documents
        # as 购置 itself, and jieba reads it as one word wherever it occurs.
        lexicon = [("购置", 279, "v"), ("购置税", 3, "n"), ("票决", 20, "v"), ("投票决定", 3, "l")]
        self.assertTrue(WordRisk(lexicon).is_safe_source("购置"))
        documents = [("购置", 8.317), ("购置税", 8.742), ("票决", 13.9), ("投票决定", 11.25)]
        risk = WordRisk(lexicon, documents)
        self.assertAlmostEqual(risk.inside_share_in_documents("购置"), 0.395, places=3)
        self.assertFalse(risk.is_safe_source("购置"))
        # 投票决定 holds 票决 in most of its documents, but those documents are too few to matter.
        self.assertTrue(risk.is_safe_source("票决"))

    def test_occurrences_across_two_words_count_against_a_source(self):
        self.assertGreater(self.risk.across("现在"), 0)
        self.assertEqual(self.risk.across("番茄"), 0)

    def test_grammatical_words_are_sources_only_when_checked_and_rarely_inside_other_words(self):
        self.assertFalse(self.risk.is_safe_source("非常"))  # adverb by its tag
        self.assertFalse(self.risk.is_safe_source("需要"))  # modal verb by the word list
        self.assertTrue(self.risk.is_safe_source("如果", grammar_checked=True))
        self.assertFalse(self.risk.is_safe_source("现在", grammar_checked=True))  # 出现|在

    def test_a_word_whose_reduplicated_form_is_a_word_is_not_safe(self):
        risk = WordRisk([("零散", 129, "a"), ("零零散散", 10, "z"), ("番茄", 500, "n")])
        self.assertFalse(risk.is_safe_source("零散"))
        self.assertTrue(risk.is_safe_source("番茄"))

    def test_a_word_with_an_established_erhua_form_is_not_safe(self):
        risk = WordRisk([("老伴", 324, "n"), ("老伴儿", 22, "nr"), ("聊天", 900, "v"), ("聊天儿", 3, "v")])
        self.assertFalse(risk.is_safe_source("老伴"))
        self.assertTrue(risk.is_safe_source("聊天"))  # 聊天儿 is too rare to be met

    def test_a_replacement_is_as_everyday_and_as_narrow_as_its_source(self):
        self.assertFalse(self.risk.is_plain_for("孩童", "孩子"))
        self.assertTrue(self.risk.is_plain_for("小孩", "孩子"))
        self.assertFalse(self.risk.is_plain_for("结构", "架构"))  # a much more general word

    def test_a_checked_replacement_need_only_be_everyday_itself(self):
        self.assertFalse(self.risk.is_plain_for("价钱", "价格"))
        self.assertTrue(self.risk.is_plain_for("价钱", "价格", checked=True))
        self.assertFalse(self.risk.is_plain_for("孩童", "孩子", checked=True))  # not an everyday word
        self.assertFalse(self.risk.is_plain_for("时光", "时间", checked=True))  # far rarer: literary
        self.assertFalse(self.risk.is_plain_for("社区", "小区", checked=True))  # far broader


class SeamRewritesTest(unittest.TestCase):
    LEXICON = [("十分", 5000, "d"), ("担心", 3000, "v"), ("分担", 800, "v"), ("打开", 4000, "v"),
               ("开车", 2000, "v"), ("车窗", 900, "n")]

    def test_a_source_spelled_by_two_words_is_reported_with_the_broken_pair(self):
        found = seams.seam_rewrites([("分担", "分摊")], self.LEXICON)
        self.assertIn(("十分|担心", "十分摊心"), [(pair, rewritten) for _, pair, rewritten in found["分担"]])

    def test_a_source_breaking_a_pair_while_it_holds_the_twin_is_reported(self):
        entries = [("打开", "翻开"), ("开车", "驾车"), ("翻开", "打开")]
        found = seams.seam_rewrites(entries, self.LEXICON)
        self.assertNotIn("打开", found)  # the pair puts it back on its own
        self.assertIn(("打开|车窗", "翻驾车窗"), [(pair, rewritten) for _, pair, rewritten in found["开车"]])


if __name__ == "__main__":
    unittest.main()
