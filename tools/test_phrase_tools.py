#!/usr/bin/python3
"""Tests for the phrase arranger and the phrase list checker.

Run: /usr/bin/python3 -m unittest discover -s tools -p 'test_*.py'
"""

import contextlib
import io
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import arrange_phrases as arranger  # noqa: E402
import check_phrases as checker  # noqa: E402
import compare_rewrites  # noqa: E402

TOOLS = Path(__file__).resolve().parent
LISTS = TOOLS.parent / "data" / "phrases"


class PairValidationTest(unittest.TestCase):
    def test_accepts_plain_synonyms(self):
        self.assertTrue(arranger.is_valid_pair("立即", "马上"))
        self.assertTrue(arranger.is_valid_pair("一寸光阴一寸金", "一刻千金"))

    def test_rejects_pairs_the_rewriter_would_loop_on_or_mangle(self):
        self.assertFalse(arranger.is_valid_pair("人物", "小人物"))  # replacement holds source
        self.assertFalse(arranger.is_valid_pair("小人物", "人物"))  # source holds replacement
        self.assertFalse(arranger.is_valid_pair("立即", "立"))  # one-character replacement
        self.assertFalse(arranger.is_valid_pair("立即", "马 上"))  # blank
        self.assertFalse(arranger.is_valid_pair("OK", "好的"))  # not Chinese
        self.assertFalse(arranger.is_valid_pair("驴唇不对马嘴", "风马牛不相及"))  # over 23 GBK bytes

    def test_lexicon_accepts_two_word_compounds_only_with_long_parts(self):
        lexicon = {"免费", "使用", "免"}
        self.assertTrue(arranger.is_lexicon_phrase("免费使用", lexicon))
        self.assertFalse(arranger.is_lexicon_phrase("免费使", lexicon))


class PoolReadingTest(unittest.TestCase):
    def test_sections_and_reversed_duplicates(self):
        with tempfile.TemporaryDirectory() as folder:
            (Path(folder) / "a.txt").write_text(
                "# synonyms\n立即=马上\n马上=立即\n坏行=\n# opposites\n增加=减少\n", encoding="utf-8")
            pairs, rejected = arranger.read_pool(Path(folder))
        self.assertEqual(pairs, [("立即", "马上", False), ("增加", "减少", True)])
        self.assertEqual(rejected, 1)


class SubstringTest(unittest.TestCase):
    def test_proper_substrings_are_distinct_and_at_least_two_characters(self):
        self.assertEqual(arranger.proper_substrings("一心一意"), ["一心", "心一", "一意", "一心一", "心一意"])
        self.assertEqual(arranger.proper_substrings("马上"), [])


class GraphTest(unittest.TestCase):
    def test_strongly_connected_reports_only_cycles(self):
        successors = [[1], [2], [0, 3], [4], []]
        self.assertEqual(arranger.strongly_connected(successors), [[0, 1, 2]])
        self.assertEqual(arranger.strongly_connected([[1], [2], []]), [])

    def test_target_swaps_its_own_edges_for_the_witness_edge(self):
        entries = [arranger.Entry("立即", "马上", False, "立即=马上"),
                   arranger.Entry("马上", "立刻", False, "马上=立刻")]
        relations = arranger.Relations(entries)
        targets = arranger.Targets()
        self.assertEqual(arranger.precedence_edges(2, relations, targets), [[], [0]])
        targets.witness[arranger.CASCADE][1] = 0
        self.assertEqual(arranger.precedence_edges(2, relations, targets), [[1], []])


class CountingTest(unittest.TestCase):
    def test_each_relation_counts_only_from_an_earlier_entry(self):
        lines = ["马上=立即", "立即=马上", "冷酷=冷漠", "冷酷无情=无情无义", "义务=无偿服务", "服务=效劳"]
        counts = arranger.count_relations(lines)
        self.assertEqual(counts, {"reverse": 1, "cascade": 1, "inside": 1, "contains": 1})
        reordered = ["立即=马上", "冷酷无情=无情无义", "冷酷=冷漠", "服务=效劳", "义务=无偿服务", "马上=立即"]
        self.assertEqual(arranger.count_relations(reordered),
                         {"reverse": 1, "cascade": 1, "inside": 0, "contains": 0})

    def test_rewrite_does_not_rescan_inserted_text(self):
        self.assertEqual(arranger.rewrite("甲乙甲", ["甲=甲甲", "=乙=丙"]), "甲甲乙甲甲")
        self.assertEqual(arranger.rewrite("冷酷无情", ["冷酷=冷漠", "冷酷无情=无情无义"]), "冷漠无情")


def small_lexicon(entries):
    """A Lexicon from {word: frequency}; words whose frequency is negative are idioms."""
    lexicon = arranger.Lexicon()
    for word, frequency in entries.items():
        lexicon[word] = abs(frequency)
        if frequency < 0:
            lexicon.idioms.add(word)
    return lexicon


class ReadabilityTest(unittest.TestCase):
    """Part rewrites (an entry acting inside a longer phrase) must leave something a writer accepts."""

    lexicon = small_lexicon({"免费": 1800, "使用": 24000, "运用": 9000, "旗鼓相当": -65, "旗鼓": 42,
                             "相当": 6500, "十分": 9000, "明白": 4000, "分明": 2000, "白白": 510,
                             "步行": 900, "走路": 800, "徒步": 300})

    def test_one_word_of_a_free_phrase_may_be_swapped(self):
        self.assertTrue(arranger.part_rewrite_reads_well("免费使用", "使用", "运用", self.lexicon))

    def test_idioms_reduplications_and_straddling_pieces_stay_whole(self):
        self.assertFalse(arranger.part_rewrite_reads_well("旗鼓相当", "相当", "十分", self.lexicon))
        self.assertFalse(arranger.part_rewrite_reads_well("明明白白", "明明", "分明", self.lexicon))
        self.assertFalse(arranger.part_rewrite_reads_well("徒步行走", "步行", "走路", self.lexicon))

    def test_whole_dictionary_rewrite_flags_garbled_words_and_antonym_chains(self):
        lines = ["步行=走路", "徒步行走=徒步旅行", "管用=有效", "有效=无效", "安全=平安"]
        lexicon = small_lexicon({w: 500 for w in ("步行", "走路", "徒步行走", "徒步旅行", "管用", "有效",
                                                  "无效", "安全", "平安")})
        is_opposite = [False, False, False, True, False]
        bad = arranger.badly_rewritten(lines, is_opposite, lexicon)
        self.assertEqual(sorted(bad), ["徒步行走", "管用"])

    def test_an_antonym_pair_undone_by_its_reverse_entry_leaves_words_alone(self):
        lines = ["管用=有效", "有效=无效", "无效=有效"]
        lexicon = small_lexicon({w: 500 for w in ("管用", "有效", "无效")})
        self.assertEqual(arranger.badly_rewritten(lines, [False, True, True], lexicon), {})

    def test_a_part_rewrite_that_a_reverse_pair_undoes_does_not_count(self):
        lines = ["仔细检查=认真检查", "认真=用心", "用心=认真", "检查=检验"]
        lexicon = small_lexicon({w: 500 for w in ("仔细检查", "认真检查", "认真检验", "认真", "用心",
                                                  "检查", "检验")})
        self.assertEqual(arranger.undone_by_reverse([0, 1, 2, 3], [line.split("=") for line in lines]), {1, 2})
        self.assertEqual(arranger.badly_rewritten(lines, [False] * 4, lexicon), {})


class PoolNotesTest(unittest.TestCase):
    def test_reverse_pairs_keep_the_more_frequent_word(self):
        selection = arranger.Selection.__new__(arranger.Selection)
        selection.lexicon = small_lexicon({"附近": 8000, "周围": 5000})
        self.assertEqual(selection.plainer_first("周围", "附近"), ("附近", "周围"))

    def test_candidate_order_does_not_depend_on_unrelated_pool_pairs(self):
        synonyms = ["暖和", "温和", "和暖", "暖烘", "温煦", "暖洋"]
        own_pairs = [("温暖", word, False) for word in synonyms]
        unrelated = [("番茄", "西红柿", False), ("宿舍", "寝室", False)]

        def ranked(pool):
            selection = arranger.Selection.__new__(arranger.Selection)
            selection.lexicon = small_lexicon({word: 500 for pair in pool for word in pair[:2]})
            selection.takeovers, selection.preferred_pairs, selection.reserve_pairs = set(), set(), set()
            selection.neighbours = arranger.Selection._synonym_neighbours(pool)
            return [option.replacement for option in selection._build_options(pool)["温暖"]]

        self.assertEqual(ranked(unrelated + own_pairs), ranked(own_pairs))

    def test_a_grammatical_word_becomes_only_its_checked_replacement(self):
        class GrammaticalAreSafeOnlyWhenChecked:
            @staticmethod
            def is_safe_source(word, grammar_checked=False):
                return word not in {"常常", "往往"} or grammar_checked

        pool = [("往往", "常常", False), ("常常", "经常", False), ("时常", "常常", False)]
        lexicon = small_lexicon({"往往": 7000, "常常": 5000, "经常": 7200, "时常": 900})

        def pairs_offered(checked_pairs):
            notes = arranger.PoolNotes(preferred_pairs=frozenset(checked_pairs),
                                       function_words=frozenset({"常常"}))
            selection = arranger.Selection(pool, lexicon, GrammaticalAreSafeOnlyWhenChecked(), notes)
            return set(selection.pair_order)

        # A reverse pair turns its rarer word into the plainer one: 常常 -> 往往 was never checked,
        # while a pair that keeps 常常 (时常 -> 常常) does not rewrite it at all.
        self.assertEqual(pairs_offered({("常常", "经常")}), {("常常", "经常"), ("时常", "常常")})
        self.assertEqual(pairs_offered({("常常", "经常"), ("常常", "往往")}),
                         {("常常", "经常"), ("往往", "常常"), ("时常", "常常")})

    def test_reserve_pairs_come_last_and_only_as_written(self):
        class AllSafe:
            @staticmethod
            def is_safe_source(word, grammar_checked=False):
                return True

        pool = [("温暖", "暖和", False), ("就寝", "睡觉", False), ("寒冷", "冰冷", False)]
        lexicon = small_lexicon({word: 800 for pair in pool for word in pair[:2]})
        notes = arranger.PoolNotes(reserve_pairs=frozenset({("就寝", "睡觉")}))
        selection = arranger.Selection(pool, lexicon, AllSafe(), notes)
        self.assertEqual(selection.word_order[2][-1], "就寝")
        self.assertEqual([option.replacement for option in selection.options["就寝"]], ["睡觉"])
        self.assertNotIn("睡觉", selection.options)

    def test_checked_part_rewrites_swap_one_half_for_its_checked_replacement(self):
        with tempfile.TemporaryDirectory() as folder:
            (Path(folder) / "extra_inside.txt").write_text("# synonyms\n仔细检查=认真检查\n", encoding="utf-8")
            found = arranger.checked_part_rewrites(Path(folder), {("检查", "检验"), ("马上", "立即")})
        self.assertEqual(found, {"认真检验"})

    def test_word_lists_skip_comments(self):
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / "words"
            path.write_text("# 注释 不算\n系统 服务\n部分\n", encoding="utf-8")
            self.assertEqual(arranger.read_word_list(path), {"系统", "服务", "部分"})


class CompareRewritesTest(unittest.TestCase):
    def test_lists_a_pulled_partner_and_a_lengthened_chain_only(self):
        blocked = compare_rewrites.changed_rewrites([("海滩", "沙滩"), ("老练", "干练")],
                                                    [("沙滩", "海滩"), ("老练", "干练"), ("干练", "精明能干")])
        self.assertEqual(blocked, [("干练", "干练", "精明能干"), ("沙滩", "沙滩", "海滩"),
                                   ("海滩", "沙滩", "海滩"), ("老练", "干练", "精明能干")])


class CheckerTest(unittest.TestCase):
    """The checker passes the generated lists and catches damaged copies."""

    def setUp(self):
        if not (LISTS / "list1.txt").exists():
            self.skipTest("lists not generated")
        self.folder = Path(tempfile.mkdtemp())
        for name in ("list1.txt", "list2.txt", "list3.txt"):
            shutil.copy(LISTS / name, self.folder / name)

    def tearDown(self):
        shutil.rmtree(self.folder)

    def run_checker(self):
        return subprocess.run([sys.executable, str(TOOLS / "check_phrases.py"), str(self.folder)],
                              capture_output=True, text=True)

    def edit(self, name, change):
        path = self.folder / name
        path.write_bytes(change(path.read_bytes()))

    def test_generated_lists_pass(self):
        result = self.run_checker()
        self.assertEqual(result.returncode, 0, result.stdout)

    def test_required_entries_that_read_badly_everywhere_are_undone_by_a_later_entry(self):
        lines = [line for name in ("list1.txt", "list2.txt", "list3.txt")
                 for line in (self.folder / name).read_text(encoding="utf-8").split("\n") if line]
        for word in ("使用", "安全", "有效", "曲折"):
            self.assertEqual(arranger.rewrite(word, lines), word)

    def test_byte_order_mark_fails(self):
        self.edit("list2.txt", lambda raw: b"\xef\xbb\xbf" + raw)
        self.assertIn("FAIL list2: no byte order mark", self.run_checker().stdout)

    def test_crlf_fails(self):
        self.edit("list3.txt", lambda raw: raw.replace(b"\n", b"\r\n"))
        self.assertIn("FAIL list3: LF line ends only", self.run_checker().stdout)

    def test_moving_an_entry_earlier_changes_the_figures(self):
        lines = (self.folder / "list1.txt").read_text(encoding="utf-8").split("\n")
        lines.insert(0, lines.pop(lines.index("使用=运用")))
        (self.folder / "list1.txt").write_text("\n".join(lines), encoding="utf-8")
        output = self.run_checker().stdout
        self.assertIn("FAIL pinned positions", output)
        self.assertIn("FAIL further sources inside an earlier replacement: 47", output)
        self.assertIn("FAIL rewrite 免费使用: 免费使用", output)

    def test_entry_garbling_a_longer_source_fails(self):
        lines = (self.folder / "list3.txt").read_text(encoding="utf-8").split("\n")
        four_char = next(line.split("=")[0] for line in lines if len(line.split("=")[0]) == 4)
        self.edit("list1.txt", lambda raw: f"{four_char[:2]}=鑫犇\n".encode() + raw)
        self.assertIn(f"{four_char}->鑫犇{four_char[2:]}", self.run_checker().stdout)

    def test_antonym_in_a_chain_fails(self):
        rewriter = checker.Rewriter([("有效期", "期限"), ("管用", "有效"), ("有效", "无效")])
        report = checker.Report()
        with contextlib.redirect_stdout(io.StringIO()) as output:
            checker.check_opposites_stand_alone(rewriter, {frozenset(("有效", "无效"))}, report)
        self.assertEqual(report.failures, 1)
        self.assertIn("管用->无效", output.getvalue())
        self.assertNotIn("有效->", output.getvalue())  # the antonym swap on its own is fine

    def test_antonym_pair_undone_by_its_reverse_entry_passes(self):
        rewriter = checker.Rewriter([("管用", "有效"), ("有效", "无效"), ("无效", "有效")])
        report = checker.Report()
        with contextlib.redirect_stdout(io.StringIO()):
            checker.check_opposites_stand_alone(rewriter, {frozenset(("有效", "无效"))}, report)
        self.assertEqual(report.failures, 0)

    def test_duplicate_source_fails(self):
        self.edit("list3.txt", lambda raw: raw + "防范=提防\n".encode())
        output = self.run_checker().stdout
        self.assertIn("FAIL no source twice", output)
        self.assertIn("FAIL list3: entries", output)

if __name__ == "__main__":
    unittest.main()
