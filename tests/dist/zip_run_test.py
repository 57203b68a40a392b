#!/usr/bin/env python3
"""The download as a user gets it: unpacks the x86_64 zip into an empty
folder, checks what it holds, and runs the checker program under Wine,
which starts the unpacked quorlax.exe and looks for its main window.

Usage: zip_run_test.py ZIP WINE_RUN CHECKER_EXE
"""

import os
import subprocess
import sys
import tempfile
import zipfile

EXPECTED = {
    "quorlax.exe", "vbyx.dll", "vbcx.dll", "wubi86-codes.txt", "hit.wav", "help.htm", "读我.txt",
    "LICENSE.Apache-2.0", "LICENSE.LGPL-3", "README-data.md",
}


def main(argv):
    zip_path, wine_run, checker = argv[1:4]
    with zipfile.ZipFile(zip_path) as z:
        names = set(z.namelist())
        if names != EXPECTED:
            print(f"zip_run_test: the zip holds {sorted(names)}, expected {sorted(EXPECTED)}")
            return 1
        with tempfile.TemporaryDirectory(prefix="quorlax_zip_") as folder:
            if os.listdir(folder):
                print("zip_run_test: the folder is not empty")
                return 1
            z.extractall(folder)
            # Wine sees the Unix root as drive Z:.
            env = dict(os.environ, QUORLAX_DIST_FOLDER="Z:" + folder.replace("/", "\\"))
            return subprocess.run([wine_run, os.path.abspath(checker)], env=env).returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv))
