#!/usr/bin/env python3
"""Builds a mixed directory tree of an exact size for the comparison benchmark: generated log
lines and prose (text), copies of shared libraries (binaries) and random bytes, about a third
each. Usage: make_tree.py DIR TOTAL_BYTES"""
import os
import random
import sys

LIB_DIRS = ["/usr/lib/x86_64-linux-gnu", "/usr/lib"]
WORDS = ("the of and to in is was that for on with as by at from his her they this which "
         "have had not but are were one all would there their been has more when will who "
         "about into than them can only other new some could time these two may then do "
         "first any my now such like our over man me even most made after also did many "
         "before must through back years where much your way well down should because "
         "each just those people how too little state good very make world still own see "
         "men work long get here between both life being under never day same another know "
         "while last might us great old year off come since against go came right used take "
         "three").split()
LEVELS = ["INFO", "INFO", "INFO", "DEBUG", "WARN", "ERROR"]
SERVICES = ["auth", "billing", "gateway", "indexer", "mailer", "scheduler", "storage"]
PATHS = ["/api/v1/users", "/api/v1/orders", "/static/app.js", "/login", "/api/v2/search",
         "/health", "/upload", "/api/v1/items"]


def log_text(rng, size):
    lines, total, t = [], 0, 1_760_000_000
    while total < size:
        t += rng.randint(0, 3)
        line = "%d.%03d %-5s [%s] %s %s %d %dms client=10.%d.%d.%d id=%08x\n" % (
            t, rng.randrange(1000), rng.choice(LEVELS), rng.choice(SERVICES),
            rng.choice(["GET", "GET", "POST", "PUT"]), rng.choice(PATHS),
            rng.choice([200, 200, 200, 201, 304, 404, 500]), rng.randint(1, 900),
            rng.randrange(256), rng.randrange(256), rng.randrange(256), rng.getrandbits(32))
        lines.append(line)
        total += len(line)
    return "".join(lines).encode()[:size]


def prose(rng, size):
    out, total = [], 0
    weights = [1.0 / (i + 1) for i in range(len(WORDS))]  # Zipf-like word frequencies
    while total < size:
        sentence = rng.choices(WORDS, weights, k=rng.randint(6, 22))
        text = " ".join(sentence).capitalize() + rng.choice([". ", ". ", "? ", ".\n\n"])
        out.append(text)
        total += len(text)
    return "".join(out).encode()[:size]


def libraries(limit):
    seen = set()
    for d in LIB_DIRS:
        for name in sorted(os.listdir(d)):
            path = os.path.join(d, name)
            if ".so" not in name or os.path.islink(path) or not os.path.isfile(path):
                continue
            size = os.path.getsize(path)
            if 100_000 <= size <= 6_000_000 and name not in seen:
                seen.add(name)
                yield path, size
            if len(seen) >= limit:
                return


def main():
    root, total = sys.argv[1], int(sys.argv[2])
    rng = random.Random(2026)
    third = total // 3
    os.makedirs(os.path.join(root, "logs"), exist_ok=True)
    os.makedirs(os.path.join(root, "docs", "notes"), exist_ok=True)
    os.makedirs(os.path.join(root, "lib"), exist_ok=True)
    os.makedirs(os.path.join(root, "data"), exist_ok=True)
    written = 0

    def put(rel, data):
        nonlocal written
        with open(os.path.join(root, rel), "wb") as f:
            f.write(data)
        written += len(data)

    # Text: six logs of a few MiB and many small prose files.
    log_share = third * 3 // 4
    for i in range(6):
        put("logs/service-%d.log" % i, log_text(rng, log_share // 6))
    i = 0
    while written < third:
        size = min(rng.randint(20_000, 400_000), third - written)
        put(("docs/notes/note-%03d.txt" if i % 2 else "docs/chapter-%03d.txt") % i, prose(rng, size))
        i += 1
    # Binaries: shared libraries as they are.
    for path, size in libraries(400):
        if written + size > 2 * third:
            continue
        with open(path, "rb") as f:
            put("lib/" + os.path.basename(path), f.read())
        if written > 2 * third - 100_000:
            break
    # Random data (already compressed media, encrypted archives) fills up to the total.
    i = 0
    while written < total:
        size = min(rng.randint(1_000_000, 6_000_000), total - written)
        put("data/blob-%02d.bin" % i, os.urandom(size))
        i += 1
    print("%d bytes in %s" % (written, root), file=sys.stderr)


if __name__ == "__main__":
    main()
