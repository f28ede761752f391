#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on the files' contents and the
given time: entries in name order, one fixed time, fixed attributes,
deflated at level 9.
    tools/make_zip.py OUT.zip STAGE_DIR EPOCH
Every file below STAGE_DIR goes in under its path relative to STAGE_DIR,
with an entry for each folder. EPOCH (seconds, UTC) is every entry's time,
for instance the last commit's (git log -1 --format=%ct)."""
import os
import sys
import time
import zipfile

# What Windows reads: the archive bit for a file, the folder bit for a
# folder; written as by an MS-DOS host, so no Unix mode travels along.
ATTR_FILE = 0x20
ATTR_FOLDER = 0x10
HOST_MSDOS = 0


def entries(stage):
    names = []
    for folder, dirs, files in os.walk(stage):
        rel = os.path.relpath(folder, stage)
        if rel != ".":
            names.append(rel.replace(os.sep, "/") + "/")
        names += [os.path.join(rel, f).replace(os.sep, "/").removeprefix("./") for f in files]
    return sorted(names)


def info(name, when):
    zi = zipfile.ZipInfo(name, date_time=when)
    zi.create_system = HOST_MSDOS
    zi.external_attr = ATTR_FOLDER if name.endswith("/") else ATTR_FILE
    zi.compress_type = zipfile.ZIP_STORED if name.endswith("/") else zipfile.ZIP_DEFLATED
    return zi


def main():
    out, stage, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
    # A zip holds local times from 1980 on, in 2-second steps.
    when = time.gmtime(max(epoch, 315532800))[:6]
    for name in entries(stage):
        if not all(32 <= ord(c) < 127 for c in name):
            sys.exit(f"make_zip: {name!r}: names stay ASCII, which every unzip tool shows right")
    with zipfile.ZipFile(out, "w") as z:
        for name in entries(stage):
            zi = info(name, when)
            if name.endswith("/"):
                z.writestr(zi, b"")
            else:
                with open(os.path.join(stage, name), "rb") as f:
                    z.writestr(zi, f.read(), compresslevel=9)


if __name__ == "__main__":
    main()
