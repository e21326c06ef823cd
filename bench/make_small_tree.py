#!/usr/bin/env python3
"""Builds a tree of thousands of small files for the comparison benchmark, as real trees hold
them (source code, documents, mail folders, photo libraries with sidecars): headers copied from
/usr/include, generated prose and log files, small and large random files (media), and a few
shared libraries. The same machine gives the same tree. Usage: make_small_tree.py DIR TOTAL_BYTES"""
import os
import random
import sys

from make_tree import libraries, log_text, prose

HEADER_FILES = 1500
HEADER_BYTES = 16 * 1024 * 1024
TEXT_FILES = 450
SMALL_MEDIA = 250  # thumbnails and sidecars


def headers():
    """Regular files below /usr/include in sorted order, small ones only."""
    for dirpath, dirnames, names in os.walk("/usr/include"):
        dirnames.sort()
        for name in sorted(names):
            path = os.path.join(dirpath, name)
            if os.path.islink(path) or not os.path.isfile(path):
                continue
            if os.path.getsize(path) <= 64 * 1024:
                yield path


def main():
    root, total = sys.argv[1], int(sys.argv[2])
    rng = random.Random(2026)
    written = files = 0

    def put(rel, data):
        nonlocal written, files
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        written += len(data)
        files += 1

    copied = 0
    for path in headers():
        if copied >= HEADER_FILES or written >= HEADER_BYTES:
            break
        with open(path, "rb") as f:
            put(os.path.join("include", os.path.relpath(path, "/usr/include")), f.read())
        copied += 1
    for i in range(TEXT_FILES):
        size = rng.randint(500, 40_000)
        data = log_text(rng, size) if i % 3 == 0 else prose(rng, size)
        put("mail/folder-%02d/msg-%04d.%s" % (i % 12, i, "log" if i % 3 == 0 else "txt"), data)
    for i in range(SMALL_MEDIA):
        put("photos/%03d/thumb-%04d.jpg" % (i // 25, i), rng.randbytes(rng.randint(2_000, 60_000)))
        if i % 5 == 0:
            put("photos/%03d/thumb-%04d.xmp" % (i // 25, i), prose(rng, rng.randint(300, 3_000)))
    for path, size in libraries(12):
        if written + size > total * 2 // 3:
            break
        with open(path, "rb") as f:
            put("lib/" + os.path.basename(path), f.read())
    i = 0
    while written < total:
        size = min(rng.randint(500_000, 3_000_000), total - written)
        put("photos/originals/img-%03d.raw" % i, rng.randbytes(size))
        i += 1
    print("%d files, %d bytes in %s" % (files, written, root), file=sys.stderr)


if __name__ == "__main__":
    main()
