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


class MenuShortcuts(unittest.TestCase):
    def test_each_caption_must_stand_with_its_own_shortcut_in_one_block(self):
        items = [("汉字", "Ctrl+H"), ("汉字", "Ctrl+D"), ("记录", "Ctrl+R")]
        body = ("<table><tr><td>游戏 › 汉字</td><td><kbd>Ctrl</kbd>+<kbd>H</kbd></td></tr></table>"
                "<p>练习 › 汉字 <kbd>Ctrl</kbd> + <kbd>D</kbd></p><p>记录</p><p>Ctrl+R</p>")
        found = [m for _, m in check_help.check_text(page(body), items)]
        self.assertEqual(found, ["the menu item 记录 (Ctrl+R) is not described with its shortcut"])

    def test_the_items_are_read_from_the_source_calls_with_a_shortcut(self):
        with tempfile.TemporaryDirectory() as folder:
            for name, text in (("room.cpp", 'a.Define(L"记录", L"Ctrl+R");\n'
                                             'b.Define(L"排 名");\n'
                                             'c.Define(\n          L"错字", L"Ctrl+E");'),
                               ("tests/fake.cpp", 'd.Define(L"假", L"Ctrl+Q");')):
                os.makedirs(os.path.dirname(os.path.join(folder, name)), exist_ok=True)
                with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
                    f.write(text)
            self.assertEqual(check_help.menu_items(folder), [("记录", "Ctrl+R"), ("错字", "Ctrl+E")])


class CommandLine(unittest.TestCase):
    def run_tool(self, data, source_text='x.Define(L"记录", L"Ctrl+R");'):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "help.htm")
            with open(path, "wb") as f:
                f.write(data)
            with open(os.path.join(folder, "menus.cpp"), "w", encoding="utf-8") as f:
                f.write(source_text)
            return subprocess.run([sys.executable, os.path.join(ROOT, "tools", "check_help.py"),
                                   "--source", folder, path], capture_output=True, text=True)

    def test_a_good_page_exits_0_and_says_ok(self):
        result = self.run_tool(page("<p>记录 Ctrl+R</p>").encode("utf-8"))
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertIn("OK", result.stdout)

    def test_a_source_without_menu_shortcuts_exits_2(self):
        result = self.run_tool(page("<p>好</p>").encode("utf-8"), source_text="")
        self.assertEqual(result.returncode, 2)
        self.assertIn("no menu item with a shortcut", result.stderr)

    def test_a_bad_page_exits_1_with_one_line_per_problem(self):
        result = self.run_tool(page("<script></script><div>").encode("utf-8"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("<script> is not allowed", result.stdout)
        self.assertIn("记录 (Ctrl+R)", result.stdout)
        self.assertIn("3 problem(s)", result.stdout)

    def test_a_page_that_is_not_utf8_exits_1(self):
        result = self.run_tool(page("<p>好</p>").encode("gbk"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("not UTF-8", result.stdout)

    def test_the_shipped_help_page_passes_with_the_programs_own_menus(self):
        result = subprocess.run([sys.executable, os.path.join(ROOT, "tools", "check_help.py"),
                                 os.path.join(ROOT, "data", "help.htm")], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout)


if __name__ == "__main__":
    unittest.main()
