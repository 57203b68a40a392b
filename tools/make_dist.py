#!/usr/bin/env python3
"""Packs the download zip of one architecture: quorlax-VERSION-ARCH.zip.

Everything a Windows user needs lies flat in the zip, to be unpacked into
one folder: the exe, the three data files, the hit sound, the help page, the
Chinese read-me, the licences of the data and the notes on the data.

Usage: make_dist.py --version 0.9.0 --arch win64 --exe build/win64/quorlax.exe
                    --data data --out build/win64
Names in the zip are stored as UTF-8 and flagged so (读我.txt).
"""

import argparse
import glob
import os
import struct
import sys
import zipfile

# (name in the zip, file under data/)
DATA = [
    ("vbyx.dll", "vbyx.dll"),
    ("vbcx.dll", "vbcx.dll"),
    ("wubi86-codes.txt", "wubi86-codes.txt"),
    ("hit.wav", "hit.wav"),
    ("help.htm", "help.htm"),
    ("读我.txt", "读我.txt"),
    ("LICENSE.Apache-2.0", "LICENSE.Apache-2.0"),
    ("LICENSE.LGPL-3", "LICENSE.LGPL-3"),
    ("README-data.md", "README.md"),
]

# The PE machine of each architecture, so a zip never carries the other exe.
MACHINES = {"win64": 0x8664, "win32": 0x014C}


def pe_machine(path):
    with open(path, "rb") as f:
        head = f.read(4096)
    if head[:2] != b"MZ":
        return None
    (offset,) = struct.unpack_from("<I", head, 0x3C)
    if head[offset:offset + 4] != b"PE\0\0":
        return None
    (machine,) = struct.unpack_from("<H", head, offset + 4)
    return machine


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--version", required=True)
    parser.add_argument("--arch", required=True, choices=sorted(MACHINES))
    parser.add_argument("--exe", required=True)
    parser.add_argument("--data", required=True, help="the data folder of the source tree")
    parser.add_argument("--out", required=True, help="folder to write the zip into")
    args = parser.parse_args(argv[1:])

    machine = pe_machine(args.exe)
    if machine != MACHINES[args.arch]:
        print(f"make_dist: {args.exe} is not a {args.arch} program", file=sys.stderr)
        return 1
    files = [("quorlax.exe", args.exe)] + [(name, os.path.join(args.data, src)) for name, src in DATA]
    missing = [path for _, path in files if not os.path.isfile(path)]
    if missing:
        print("make_dist: missing " + ", ".join(missing), file=sys.stderr)
        return 1

    os.makedirs(args.out, exist_ok=True)
    name = f"quorlax-{args.version}-{args.arch}.zip"
    target = os.path.join(args.out, name)
    # Zips of earlier versions of this architecture would only confuse.
    for old in glob.glob(os.path.join(args.out, f"quorlax-*-{args.arch}.zip")):
        if os.path.basename(old) != name:
            os.remove(old)
    partial = target + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for entry, path in files:
            z.write(path, entry)
    os.replace(partial, target)
    print(f"make_dist: wrote {target} ({os.path.getsize(target)} bytes, {len(files)} files)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
