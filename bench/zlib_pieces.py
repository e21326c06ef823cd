#!/usr/bin/env python3
"""Size a container would have if each piece were compressed by zlib at level 6: the pieces
are cut as the container format cuts them (the first one shortened by the 34-byte header and
the entry name). Usage: zlib_pieces.py TREE  (entry names are relative to TREE's parent)."""
import os
import sys
import zlib

CHUNK = 2_097_152


def main():
    tree = os.path.abspath(sys.argv[1])
    parent = os.path.dirname(tree)
    raw = deflated = pieces = files = 0
    for dirpath, _, names in os.walk(tree):
        for name in sorted(names):
            path = os.path.join(dirpath, name)
            entry = os.path.relpath(path, parent).replace("/", "\\").encode()
            with open(path, "rb") as f:
                data = f.read()
            files += 1
            first = CHUNK - 34 - len(entry)
            cuts = [data[:first]] + [data[o:o + CHUNK] for o in range(first, len(data), CHUNK)]
            for piece in cuts:
                if piece:
                    deflated += len(zlib.compress(piece, 6))
                    pieces += 1
            raw += len(data)
    print("%d %d %d %d" % (raw, deflated, pieces, files))


if __name__ == "__main__":
    main()
