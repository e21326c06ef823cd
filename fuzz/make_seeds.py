#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/: good containers and
the crafted bad ones, recipes for the decrypt harness (see container_recipe.h), entry names,
Base64 test vectors and armour under the harness key. Deterministic; run again after a change."""
import hashlib
import os
import shutil
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "reference"))
import modern_ref as modern  # noqa: E402
import sealwise_ref as ref  # noqa: E402

HARNESS_KEY = b"\x42" * 32  # RecipeKey() of the harness
MODERN_KEYS = ["fuzz"]  # the key fuzz_modern_records opens texts with
FIXED = lambda n: bytes(n)  # noqa: E731  deterministic filler


def write(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for data in seeds:
        name = hashlib.sha1(data).hexdigest()[:16]
        with open(os.path.join(folder, name), "wb") as fh:
            fh.write(data)
    return len(seeds)


def recipe_entry(kind, name, data, extra=(), delta=0):
    out = bytes((kind, len(name))) + name + struct.pack("<H", len(data)) + data
    out += bytes((len(extra),)) + b"".join(struct.pack("<H", len(p)) + p for p in extra)
    return out + struct.pack("<b", delta)


def recipe(entries, ops=(), overwrite=False):
    out = bytes((1 if overwrite else 0,)) + b"".join(entries) + b"\xf0"
    return out + bytes((len(ops),)) + b"".join(struct.pack("<BI", op, v) for op, v in ops)


class PlainRecords(modern.Writer):
    """A modern writer that also keeps each record as it was before sealing (the sealed bytes
    differ on every run: the stream starts from a random nonce)."""

    def __init__(self):
        self.records = []
        super().__init__(modern.FILES, MODERN_KEYS, salt=bytes(16))

    def _push(self, plain, ad=None, tag=modern.TAG_MESSAGE):
        self.records.append(bytes(plain))
        super()._push(plain, ad, tag)


def modern_seeds():
    w = PlainRecords()
    w.entry(modern.DIRECTORY, "dir", 0o755, 1_000_000_000_123_456_789)
    w.entry(modern.FILE, "dir/a.txt", 0o644, 981_158_400_000_000_000, size=600)
    w.data(b"alpha " * 100)
    w.entry(modern.FILE, "dir/r.bin", 0o600, 0, size=64)
    w.data(bytes(range(64)))
    w.entry(modern.SYMLINK, "dir/link", 0o777, 5, target=b"../a.txt")
    w.finish(4)
    armour = modern.seal_text("Pay Bob 100 EUR", MODERN_KEYS).encode()
    return [w.header] + w.records + [armour, armour.replace(b"\r\n", b"\n")]


def main():
    counts = {}
    good = [ref.make_container([("a.txt", b"alpha" * 50), ("d\\b.txt", b"")], HARNESS_KEY,
                               random_bytes=FIXED),
            ref.make_container([("x", b"")] + [("y%d" % i, b"z") for i in range(3)], HARNESS_KEY,
                               random_bytes=FIXED)]
    bad_dir = os.path.join(ROOT, "tests", "data", "bad-containers")
    bad = [open(os.path.join(bad_dir, f), "rb").read() for f in sorted(os.listdir(bad_dir))
           if f.endswith(".vesk") and os.path.getsize(os.path.join(bad_dir, f)) < 4096]
    counts["fuzz_container_index"] = write("fuzz_container_index", good + bad)

    counts["fuzz_decrypt_container"] = write("fuzz_decrypt_container", [
        recipe([recipe_entry(0, b"a.txt", b"hello")]),
        recipe([recipe_entry(0, b"dir\\b.txt", b"x" * 300), recipe_entry(0, b"e", b"")]),
        recipe([recipe_entry(0, b"..\\up", b"1"), recipe_entry(0, b"C:x", b"2")]),
        recipe([recipe_entry(3, b"u.txt", b"data" * 40, delta=1)]),
        recipe([recipe_entry(1, b"", bytes(32) + b"\x63\x03raw")]),
        recipe([recipe_entry(2, b"", b""), recipe_entry(0, b"after", b"a")]),
        recipe([recipe_entry(0, b"c", b"chained", extra=[b"\xd2\x02\x96\x49\x01\x00\x00\x00x"])]),
        recipe([recipe_entry(4, b"big.bin", b"tail", delta=7)]),
        recipe([recipe_entry(0, b"a", b"a"), recipe_entry(0, b"a", b"b")], overwrite=True),
        recipe([recipe_entry(0, b"t.txt", b"t")], ops=[(0, 0x00FFFF00), (1, 3)]),
        recipe([recipe_entry(0, b"f", b"f"), recipe_entry(0, b"f\\g", b"g")], ops=[(2, 0x01000010)]),
        # A file that failed half way: its bytes stay, its index record says 0 (at the end
        # and between entries).
        recipe([recipe_entry(0, b"a", b"a"), recipe_entry(0, b"b", b"b"),
                recipe_entry(4, b"big.bin", b"tail")], ops=[(0, 2)]),
        recipe([recipe_entry(0, b"a", b"a"), recipe_entry(4, b"big.bin", b"tail"),
                recipe_entry(0, b"c", b"c")], ops=[(0, 1)]),
        # Found by the fuzzer: an entry named like a temporary file of the job.
        b"\x03\xc3\xbf.sealwise-\x9e\xff\xff",
    ])

    counts["fuzz_entry_name"] = write("fuzz_entry_name", [
        b"a.txt", b"proj\\sub\\a.txt", b"..", b"..\\x", b"a\\..\\b", b"/etc/passwd", b"\\x",
        b"\\\\server\\share\\x", b"C:x", b"c:\\x", b"a\x00b", b"a\x1b[2Jb", b"CON", b"a\\\\b",
        "evil\u202etxt.exe".encode("utf-8"), b"\xe9" * 200, b"\xc3\xa9t\xc3\xa9", b"\xc3", b".",
        b"a/b", b"...", b"\x85\x9b"])

    counts["fuzz_base64"] = write("fuzz_base64", [
        b"", b"Zg==", b"Zm8=", b"Zm9v", b"Zm9vYg==", b"Zm9vYmE=", b"Zm9vYmFy", b"Zm9v\r\nYmFy",
        b"Z m9v", b"Zm9v\nYmFy", b"=Zm=9v=", b"A", b"AB", b"ABC", b"ABCDE", bytes(range(256)),
        ref.encode_base64(bytes(range(100))).encode()])

    armours = [ref.text_encrypt(t, HARNESS_KEY, lang, random_prefix=bytes(32)).encode("latin-1")
               for t, lang in (("hello", "en"), ("Grüße\r\nzweite Zeile", "de"), ("x" * 200, "fr"))]
    counts["fuzz_armour"] = write("fuzz_armour", armours + [
        armours[0].replace(b"\r\n", b""), armours[1].replace(b"\r\n", b"\n"), armours[0][:-5],
        b"", b"    ", b"AAAA" * 8, b"=" * 10])
    counts["fuzz_modern_records"] = write("fuzz_modern_records", modern_seeds())
    for target, n in counts.items():
        print(f"{target}: {n} seeds")


if __name__ == "__main__":
    main()
