"""The recall measurement's own yardstick: which terms a text gives, where they are said to come from,
how they are sampled, and how the reference writes spreadsheet values and decodes text files."""

import datetime
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import corpus_terms as ct          # noqa: E402
import reference_text as rt        # noqa: E402


class Ref:
    """A reference as reference_text makes it, without a file."""

    def __init__(self, segments, line_text=""):
        self.segments = segments
        self.line_text = line_text


class LatinTerms(unittest.TestCase):
    def test_words_codes_and_numbers(self):
        cases = [
            ("Part ZQ8600-01 of 2019-03-04", ["Part", "ZQ8600-01", "2019-03-04"]),
            ("post-season, 3.14 and 510!", ["post-season", "3.14", "and", "510"]),
            ("ab 12 x", []),                                        # shorter than three characters
            ("zhnum_set_style str_set:Nn", ["zhnum_set_style", "str_set:Nn"]),
            ("Démo naïve", ["Démo", "naïve"]),
            ("螺栓M8X20规格", ["M8X20"]),                            # Latin between Chinese characters
        ]
        for text, expected in cases:
            with self.subTest(text=text):
                self.assertEqual([t for t, _ in ct.latin_terms(text)], expected)

    def test_full_width_forms_fold_to_ascii_and_are_marked(self):
        self.assertEqual(list(ct.latin_terms("ＣＨ３２Ｖ００３ CH32V003")), [("CH32V003", True), ("CH32V003", False)])
        self.assertEqual(ct.fold_width(ct.to_full_width("ZQ8600-01 a/b")), "ZQ8600-01 a/b")
        self.assertEqual(ct.to_full_width("A1"), "Ａ１")

    def test_classes(self):
        for token, cls in [("ZQ8600", "word"), ("2019-03-04", "number"), ("3.14", "number"), ("Sheet1", "word")]:
            with self.subTest(token=token):
                self.assertEqual(ct.term_class(token), cls)


class ChineseTerms(unittest.TestCase):
    def test_every_run_of_two_to_four(self):
        self.assertEqual(sorted(ct.cjk_terms("部分用户 a 代码")),
                         sorted(["部分", "分用", "用户", "部分用", "分用户", "部分用户", "代码"]))

    def test_line_breaks_between_chinese_characters_are_joined_where_they_were(self):
        joined, joins = ct.join_cjk_line_breaks("部分\n用户代码\nabc\n代码")
        self.assertEqual(joined, "部分用户代码\nabc\n代码")
        self.assertEqual(joins, [2])
        across = set(ct.terms_across(joined, joins))
        self.assertEqual(across, {"分用", "部分用", "分用户", "部分用户", "分用户代"})


class LineEnds(unittest.TestCase):
    def test_only_a_hyphen_between_lower_case_letters_joins(self):
        cases = [
            ("the post-\nseason", {"postseason"}),
            ("Post-\nseason", {"Postseason"}),
            ("ZQ8600-\n01", set()),
            ("ethyl-4-\npiperidinyl", set()),
            ("well -\nknown", set()),
            ("non-  \r\n  linear", {"nonlinear"}),
        ]
        for text, expected in cases:
            with self.subTest(text=text):
                self.assertEqual(ct.hyphenated_words(text), expected)

    def test_pdf_terms_are_held_to_the_raw_layout(self):
        # pdftotext's reading order joins every hyphen at a line end; the raw layout tells which
        # joined words the document really has, and where Chinese characters are broken.
        ref = Ref([("page text", "postseason ZQ860001 部分用户代码 season")],
                  "post-\nseason ZQ8600-\n01 部分\n用户代码 season")
        terms = ct.document_terms(ref)
        self.assertIn(ct.HYPHENATED, terms["postseason"].parts)
        self.assertNotIn("ZQ860001", terms)                 # the document says ZQ8600-01
        self.assertNotIn(ct.HYPHENATED, terms["season"].parts)
        self.assertIn(ct.CJK_LINE_END, terms["分用"].parts)
        self.assertNotIn(ct.CJK_LINE_END, terms["用户"].parts)

    def test_a_word_also_written_whole_is_no_line_end_case(self):
        terms = ct.document_terms(Ref([("page text", "postseason postseason")], "post-\nseason postseason"))
        self.assertEqual(terms["postseason"].parts, {"page text"})


class Parts(unittest.TestCase):
    def test_a_term_remembers_every_part_and_full_width_only_when_always_so(self):
        terms = ct.document_terms(Ref([("body", "ＦＡＸ ＴＥＬ Drawing"), ("header", "FAX Drawing")]))
        self.assertEqual(terms["FAX"].parts, {"body", "header"})
        self.assertEqual(terms["TEL"].parts, {"body", ct.FULL_WIDTH})
        self.assertEqual(terms["TEL"].causes(), [ct.FULL_WIDTH])
        self.assertEqual(terms["Drawing"].causes(), ["body", "header"])


class Sampling(unittest.TestCase):
    def terms(self):
        body = " ".join(f"word{i:03d}" for i in range(200)) + " 零件图号技术条件 " + " ".join(str(100 + i) for i in range(50))
        return ct.document_terms(Ref([("body", body), ("header", "Header1"), ("notes", "speaker")]))

    def test_the_same_seed_and_name_give_the_same_sample(self):
        first = [t.text for t in ct.sample_terms(self.terms(), 15, 7, "a.docx")]
        self.assertEqual(first, [t.text for t in ct.sample_terms(self.terms(), 15, 7, "a.docx")])
        self.assertNotEqual(first, [t.text for t in ct.sample_terms(self.terms(), 15, 7, "b.docx")])

    def test_every_part_and_kind_is_sampled_without_repeats(self):
        sample = ct.sample_terms(self.terms(), 15, 7, "a.docx")
        self.assertEqual(len(sample), 15)
        self.assertEqual(len({t.text for t in sample}), 15)
        self.assertTrue({"Header1", "speaker"} <= {t.text for t in sample})
        self.assertEqual({t.cls for t in sample}, {"word", "number", "CJK"})

    def test_a_small_document_gives_what_it_has(self):
        terms = ct.document_terms(Ref([("body", "one two three")]))
        self.assertEqual(sorted(t.text for t in ct.sample_terms(terms, 15, 1, "x")), ["one", "three", "two"])
        self.assertEqual(ct.sample_terms({}, 15, 1, "x"), [])


class SpreadsheetValues(unittest.TestCase):
    def test_numbers_as_a_plain_number_format_shows_them(self):
        cases = [
            (510, "General", "510"),
            (510.0, "General", "510"),
            (1234.5, None, "1234.5"),
            (0.1 + 0.2, "General", "0.3"),
            (1234.567, "#,##0.00", "1,234.57"),
            (1234567, "#,##0", "1,234,567"),
            (3.14159, "0.00", "3.14"),
            (0.105, "0.00%", "10.50%"),
            (0.5, "0%", "50%"),
            (-2.5, "0.0;[Red]-0.0", "-2.5"),
        ]
        for value, number_format, expected in cases:
            with self.subTest(value=value, number_format=number_format):
                self.assertEqual(rt.plain_number(value, number_format), expected)

    def test_dates_as_yyyy_mm_dd(self):
        cases = [
            (datetime.datetime(2020, 1, 1), "2020-01-01"),
            (datetime.datetime(2020, 1, 1, 1, 1, 1), "2020-01-01 01:01:01"),
            (datetime.date(1999, 12, 31), "1999-12-31"),
            (datetime.time(13, 5), "13:05:00"),
            (datetime.timedelta(days=10, seconds=54610), "255:10:10"),
        ]
        for value, expected in cases:
            with self.subTest(value=value):
                self.assertEqual(rt.date_text(value), expected)


    def test_open_document_dates_and_times(self):
        cases = [
            (rt.odf_date_text, "2021-01-01", "2021-01-01"),
            (rt.odf_date_text, "2021-01-01T00:00:00", "2021-01-01"),
            (rt.odf_date_text, "2021-01-01T10:10:10.123", "2021-01-01 10:10:10"),
            (rt.odf_time_text, "PT15H10M10S", "15:10:10"),
            (rt.odf_time_text, "PT255H10M10.12S", "255:10:10"),
            (rt.odf_time_text, "P1D", ""),
        ]
        for function, value, expected in cases:
            with self.subTest(value=value):
                self.assertEqual(function(value), expected)


class TextFiles(unittest.TestCase):
    def test_encodings_by_mark_then_utf8_then_gbk(self):
        text = "零件 ZQ8600"
        cases = [
            (b"\xef\xbb\xbf" + text.encode("utf-8"), "UTF-8"),
            (text.encode("utf-8"), "UTF-8"),
            (b"\xff\xfe" + text.encode("utf-16-le"), "UTF-16"),
            (b"\xfe\xff" + text.encode("utf-16-be"), "UTF-16"),
            (text.encode("gbk"), "GBK"),
        ]
        for data, encoding in cases:
            with self.subTest(encoding=encoding, data=data[:4]):
                self.assertEqual(rt.decode_text(data), (text, encoding))


if __name__ == "__main__":
    unittest.main()
