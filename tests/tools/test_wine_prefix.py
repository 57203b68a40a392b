"""Tests of tools/wine-prefix.sh's failure reporting, with a fake Wine on PATH:
python3 -m unittest discover -s tests/tools   (from the repository root)."""

import os
import subprocess
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCRIPT = os.path.join(ROOT, "tools", "wine-prefix.sh")

# Each fake logs its name; wineboot fails while $FAKE/wineboot-fails holds a
# count above 0 (leaving a half-made prefix), regedit fails while
# $FAKE/regedit-fails exists; a good regedit puts the settings into both
# registry files, as Wine would.
FAKES = {
    "wineboot": """
echo wineboot >> "$FAKE/calls"
n=$(cat "$FAKE/wineboot-fails" 2>/dev/null || echo 0)
if [ "$n" -gt 0 ]; then
  echo $((n - 1)) > "$FAKE/wineboot-fails"
  touch "$WINEPREFIX/half-made"
  echo "err:environ:init_peb starting failed" >&2
  exit 1
fi
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
touch "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg"
""",
    "wineserver": 'echo "wineserver $*" >> "$FAKE/calls"\n',
    "winepath": 'echo "$2"\n',
    "wine": """
echo "wine $1" >> "$FAKE/calls"
if [ "$1" = regedit ]; then
  if [ -e "$FAKE/regedit-fails" ]; then echo "regedit: cannot import" >&2; exit 1; fi
  iconv -f UTF-16 -t UTF-8 "$3" | tee -a "$WINEPREFIX/system.reg" >> "$WINEPREFIX/user.reg"
fi
""",
}


class WinePrefixSetUp(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.fake = os.path.join(folder.name, "fake")
        os.mkdir(self.fake)
        for name, body in FAKES.items():
            path = os.path.join(self.fake, name)
            with open(path, "w") as f:
                f.write("#!/bin/sh\n" + body)
            os.chmod(path, 0o755)
        self.prefix = os.path.join(folder.name, "prefix")
        self.marker = os.path.join(self.prefix, ".quorlax-ready-2")

    def run_script(self, *args):
        env = dict(os.environ, FAKE=self.fake, PATH=self.fake + os.pathsep + os.environ["PATH"])
        return subprocess.run(["sh", SCRIPT, self.prefix, *args], env=env, capture_output=True, text=True,
                              timeout=120)

    def calls(self, name):
        with open(os.path.join(self.fake, "calls")) as f:
            return sum(line.split()[0] == name for line in f)

    def fail_next(self, what, times=1):
        with open(os.path.join(self.fake, what + "-fails"), "w") as f:
            f.write(str(times))

    def test_wineboot_is_tried_twice_from_nothing_then_named_with_what_to_try(self):
        self.fail_next("wineboot", 1)
        result = self.run_script()
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(os.path.exists(self.marker))
        self.assertFalse(os.path.exists(os.path.join(self.prefix, "half-made")), "the retry starts from nothing")

        os.remove(self.marker)  # a prefix without its marker is made anew
        self.fail_next("wineboot", 2)
        result = self.run_script()
        self.assertEqual(result.returncode, 1)
        self.assertEqual(self.calls("wineboot"), 4)
        self.assertIn("wineboot could not initialise", result.stderr)
        self.assertIn("init_peb starting failed", result.stderr, "Wine's own words")
        self.assertIn("Run the command again", result.stderr)
        self.assertFalse(os.path.exists(self.marker))

    def test_a_failing_regedit_is_named_and_the_next_run_makes_the_prefix_anew(self):
        self.fail_next("regedit")
        result = self.run_script("", "144")
        self.assertEqual(result.returncode, 1)
        self.assertIn("wine regedit could not write", result.stderr)
        self.assertIn("regedit: cannot import", result.stderr)
        self.assertFalse(os.path.exists(self.marker))

        os.remove(os.path.join(self.fake, "regedit-fails"))
        result = self.run_script("", "144")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.calls("wineboot"), 2)
        self.assertTrue(os.path.exists(self.marker))
        with open(os.path.join(self.prefix, "user.reg")) as f:
            self.assertIn('"LogPixels"=dword:00000090', f.read())

    def test_a_folder_this_script_did_not_begin_is_left_alone(self):
        os.makedirs(self.prefix)
        precious = os.path.join(self.prefix, "system.reg")
        open(precious, "w").close()
        result = self.run_script()
        self.assertEqual(result.returncode, 1)
        self.assertIn("not a prefix this script began", result.stderr)
        self.assertTrue(os.path.exists(precious))


if __name__ == "__main__":
    unittest.main()
