"""Tests of tools/check_layers.py on small trees of its own."""

import os
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import check_layers  # noqa: E402

ORDER = "low\nmid other\nhigh\n"


class Layers(unittest.TestCase):
    def tree(self, files):
        repo = tempfile.mkdtemp()
        os.makedirs(os.path.join(repo, "tools"))
        with open(os.path.join(repo, "tools", "layers.txt"), "w") as f:
            f.write(ORDER)
        for path, text in files.items():
            os.makedirs(os.path.join(repo, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(repo, path), "w") as f:
                f.write(text)
        return check_layers.check(repo, os.path.join(repo, "tools", "layers.txt"))

    def test_includes_down_the_order_pass_and_are_counted(self):
        figures, problems = self.tree({"high/a.cpp": '#include "mid/b.h"\n#include "low/c.h"\n',
                                       "mid/b.h": '#include "low/c.h"\n', "low/c.h": ""})
        self.assertEqual(problems, [])
        self.assertIn("3 includes between folders", figures)

    def test_up_sideways_circles_tests_and_unlisted_folders_fail(self):
        _, problems = self.tree({"low/a.h": '#include "mid/b.h"\n', "mid/b.h": '#include "low/a.h"\n',
                                 "other/c.cpp": '#include "mid/b.h"\n',
                                 "high/d.cpp": '#include "tests/support/fakes.h"\n',
                                 "stray/e.cpp": ""})
        text = "\n".join(problems)
        self.assertIn("low/a.h:1 includes mid/b.h: mid stands above low", text)
        self.assertIn("other and mid are peers", text)
        self.assertIn("folders in a circle: low, mid", text)
        self.assertIn("belongs to tests/", text)
        self.assertIn("stray/ holds C++", text)


if __name__ == "__main__":
    unittest.main()
