"""Tests of tools/check_help.py: run with
python3 -m unittest discover -s tests/tools   (from the repository root)."""

import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import check_help  # noqa: E402

HEAD = '<!DOCTYPE html>\n<html lang="zh-CN">\n<head>\n<meta charset="utf-8">\n<title>帮助</title>\n</head>\n'


def page(body, head=HEAD):
    return head + "<body>\n" + body + "\n</body>\n</html>\n"


def messages(text):
    return [message for _, message in check_help.check_text(text)]


class WellFormedPages(unittest.TestCase):
    def test_a_clean_page_with_void_elements_and_fragment_links_passes(self):
        body = '<p id="a">一<br>二</p><img src="pic.png" alt=""><a href="#a">上</a><a href="other.htm">别页</a>'
        self.assertEqual(check_help.check_text(page(body)), [])

    def test_an_unclosed_element_is_reported_with_the_line_it_opened_on(self):
        problems = check_help.check_text(page("<div>\n<p>文字\n</div>"))
        self.assertEqual(len(problems), 1)
        self.assertIn("<p> opened on line 9", problems[0][1])

    def test_a_stray_end_tag_and_a_closed_void_element_are_reported(self):
        found = messages(page("<p>a</p></span><br></br>"))
        self.assertTrue(any("</span> has no matching start tag" in m for m in found))
        self.assertTrue(any("</br> closes a void element" in m for m in found))

    def test_an_element_left_open_at_the_end_is_reported(self):
        text = HEAD + "<body><main><p>a</p>"
        found = messages(text)
        self.assertTrue(any("<main>" in m and "never closed" in m for m in found))
        self.assertTrue(any("<body>" in m and "never closed" in m for m in found))

    def test_a_broken_fragment_link_and_a_duplicate_id_are_reported(self):
        found = messages(page('<a href="#nowhere">x</a><p id="a"></p><p id="a"></p>'))
        self.assertTrue(any("#nowhere" in m for m in found))
        self.assertTrue(any('id "a" is used twice' in m for m in found))


class SelfContainedPages(unittest.TestCase):
    def test_scripts_and_event_handlers_are_refused(self):
        found = messages(page('<script>alert(1)</script><p onclick="x()">a</p><a href="javascript:x()">b</a>'))
        self.assertEqual(len(found), 3, found)

    def test_remote_addresses_are_refused_in_every_form(self):
        for body in ('<img src="http://example.invalid/a.png" alt="">',
                     '<a href="HTTPS://example.invalid/">x</a>',
                     '<img src="//example.invalid/a.png" alt="">',
                     '<p style="background: url(https://example.invalid/a.png)">x</p>'):
            with self.subTest(body=body):
                self.assertEqual(len(messages(page(body))), 1)

    def test_remote_css_in_the_style_sheet_and_external_sheets_are_refused(self):
        head = HEAD.replace("</head>", '<link rel="stylesheet" href="s.css">\n'
                            '<style>@import "x.css"; body { color: red; }</style>\n</head>')
        found = messages(page("<p>a</p>", head))
        self.assertTrue(any("external style sheets" in m for m in found))
        self.assertTrue(any("style sheet imports" in m for m in found))

    def test_a_data_address_stays_local(self):
        self.assertEqual(messages(page('<img src="data:image/png;base64,AAAA" alt="">')), [])


class PageHeader(unittest.TestCase):
    def test_charset_language_and_doctype_are_required(self):
        head = '<html lang="en">\n<head>\n<meta charset="gbk">\n</head>\n'
        found = messages(page("<p>a</p>", head))
        self.assertTrue(any('must be "utf-8"' in m for m in found))
        self.assertTrue(any('missing <meta charset="utf-8">' in m for m in found))
        self.assertTrue(any('lang="zh-CN" (found "en")' in m for m in found))
        self.assertTrue(any("DOCTYPE" in m for m in found))


class CommandLine(unittest.TestCase):
    def run_tool(self, data):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "help.htm")
            with open(path, "wb") as f:
                f.write(data)
            return subprocess.run([sys.executable, os.path.join(ROOT, "tools", "check_help.py"), path],
                                  capture_output=True, text=True)

    def test_a_good_page_exits_0_and_says_ok(self):
        result = self.run_tool(page("<p>好</p>").encode("utf-8"))
        self.assertEqual(result.returncode, 0)
        self.assertIn("OK", result.stdout)

    def test_a_bad_page_exits_1_with_one_line_per_problem(self):
        result = self.run_tool(page("<script></script><div>").encode("utf-8"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("<script> is not allowed", result.stdout)
        self.assertIn("2 problem(s)", result.stdout)

    def test_a_page_that_is_not_utf8_exits_1(self):
        result = self.run_tool(page("<p>好</p>").encode("gbk"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("not UTF-8", result.stdout)

    def test_the_shipped_help_page_passes(self):
        with open(os.path.join(ROOT, "data", "help.htm"), "rb") as f:
            result = self.run_tool(f.read())
        self.assertEqual(result.returncode, 0, result.stdout)


if __name__ == "__main__":
    unittest.main()
