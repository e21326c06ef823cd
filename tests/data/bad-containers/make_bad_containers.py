#!/usr/bin/env python3
"""Writes the crafted bad containers of this directory and manifest.tsv, which says what
restoring each must give. Run it again after changing a case; the output is deterministic
(fixed filler, fixed passphrase)."""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "reference"))
import sealwise_ref as ref  # noqa: E402

PASSPHRASE = "bad containers"  # every case but the wrong-passphrase one
KEY = ref.passphrase_key(PASSPHRASE)
OTHER_KEY = ref.passphrase_key("another passphrase")

# String ids of the outcomes.
NO_CONTENT, DAMAGED_CONTAINER, WRONG_PW = 108, 424, 194
UNSAFE_NAME, DAMAGED_ENTRY, DAMAGED_ENTRY_NO, SYSTEM = 420, 421, 430, 103

CHUNK = 2_097_152


def record(cipher_bytes, length_field=None):
    """A chunk record; length_field replaces L (cipher length - 1) when given."""
    l = len(cipher_bytes) - 1 if length_field is None else length_field
    return struct.pack("<i", l) + cipher_bytes


class Builder:
    def __init__(self, key=KEY):
        self.cipher = ref.ChunkedCipher(key)
        self.body = bytearray()
        self.sizes = []

    def raw(self, plain0, more=(), length_field=None):
        start = len(self.body)
        self.body += record(self.cipher.encrypt_do(bytes(plain0), use_iv=False), length_field)
        for p in more:
            self.body += record(self.cipher.encrypt_do(bytes(p), use_iv=True))
        self.sizes.append(len(self.body) - start)

    def file(self, name, data, u_delta=0, stream=None):
        nb = name if isinstance(name, bytes) else ref.entry_name_bytes(name)
        block = b""
        if data:
            block = ref.compress_block(data)
            u = len(data) + u_delta
            block = block[:4] + struct.pack("<i", u) + (stream if stream is not None else block[8:])
        marker = 99 if not data else len(block) % 32
        self.raw(bytes(32) + bytes((marker, len(nb) % 256)) + nb + block)

    def empty_record(self):
        self.sizes.append(0)

    def finish(self, sizes=None):
        return bytes(self.body) + ref.encode_index(self.sizes if sizes is None else sizes)


CASES = []  # (file, bytes, run_error, restored, entry_errors, note)


def case(name, data, run_error=0, restored=(), errors=(), note=""):
    CASES.append((name, data, run_error, sorted(restored), list(errors), note))


def good_pair():
    b = Builder()
    b.file("a.txt", b"alpha " * 200)
    b.file("dir\\b.txt", b"beta " * 300)
    return b.finish()


def main():
    # --- Containers without usable content or with a broken index.
    case("empty.vesk", b"", NO_CONTENT, note="no bytes at all")
    case("three-bytes.vesk", b"\x01\x02\x03", NO_CONTENT, note="shorter than 4 bytes")
    case("no-terminator.vesk", bytes(range(7, 207)), NO_CONTENT, note="no 0xFF in the tail")
    case("terminator-first.vesk", b"\xff\x01\x02\x03", NO_CONTENT,
         note="the only 0xFF is the first byte of the examined tail")
    case("index-past-start.vesk", bytes(10) + b"\xff\x30", DAMAGED_CONTAINER,
         note="T claims more index bytes than the file holds before it")
    case("size-overflow.vesk", b"\x10" * 8 + b"\xfe\xfe\xfe\xfe\xfe\xff\x06", NO_CONTENT,
         note="an entry size of five digits overflows 32 bits")
    case("index-length-overflow.vesk", b"\x00\xff\xfe\xfe\xfe\xfe\xfe", NO_CONTENT,
         note="T of five digits overflows 32 bits")
    case("claims-2gib-entry.vesk", b"\x11\xfe\xfe\xfe\x80\xff\x05", DAMAGED_CONTAINER,
         note="7 bytes whose index claims an entry of almost 2 GiB")
    case("record-claims-2gib.vesk", b"\xfe\xff\xff\x7f\x04\xff\x02", 0, [], [DAMAGED_ENTRY_NO],
         note="7 bytes: one record whose length field claims 2 GiB of cipher bytes")
    whole = good_pair()
    first_size = ref.locate_index(whole)[0][0]
    b = Builder()
    b.file("a.txt", b"alpha " * 200)
    b.file("dir\\b.txt", b"beta " * 300)
    case("sizes-short-of-index.vesk", b.finish([b.sizes[0], b.sizes[1] - 32]), 0, ["a.txt"],
         [DAMAGED_ENTRY_NO],
         note="the sizes end 32 bytes before the index: the second entry's record overruns it")
    case("sizes-past-index.vesk", b.finish([b.sizes[0], b.sizes[1] + 32]), DAMAGED_CONTAINER,
         note="the sizes reach into the index")
    # --- Truncations of a good two-entry container at every interesting offset.
    for cut in sorted({0, 1, 3, 4, 5, 36, 37, first_size - 1, first_size, first_size + 4,
                       len(whole) // 2, len(whole) - 5, len(whole) - 3, len(whole) - 2,
                       len(whole) - 1}):
        # Whichever 0xFF the shortened tail ends on, the index no longer fits the entries.
        expected = NO_CONTENT if cut < 4 or 0xFF not in whole[max(0, cut - 101):cut] else "108|424"
        case(f"truncated-{cut:05d}.vesk", whole[:cut], expected,
             note=f"the good container cut to {cut} of {len(whole)} bytes")

    # --- Impossible chunk records; the entry behind each still restores.
    for label, field in (("negative", -5), ("minus-one", -1), ("zero", 0),
                         ("not-blocks", 32), ("huge", 0x7FFFFFFE), ("past-entry", 1023)):
        b = Builder()
        b.raw(bytes(32) + b"\x63\x05bad.x", length_field=field)
        b.file("ok.txt", b"fine")
        case(f"length-{label}.vesk", b.finish(), 0, ["ok.txt"], [DAMAGED_ENTRY_NO],
             note=f"chunk length field {field}")

    # --- Compressed blocks that lie about U or hold broken streams (good entry first).
    data = b"0123456789" * 100
    for label, kwargs in (("u-plus-one", dict(u_delta=1)), ("u-minus-one", dict(u_delta=-1)),
                          ("u-negative", dict(u_delta=-len(data) - 7)),
                          ("u-above-piece", dict(u_delta=CHUNK - len(data))),
                          ("u-huge", dict(u_delta=0x7FFFFFF0 - len(data))),
                          ("stream-garbage", dict(stream=b"\x78\x9c" + bytes(range(40)))),
                          ("stream-cut", dict(stream=ref.compress_block(data)[8:20]))):
        b = Builder()
        b.file("first.txt", b"first")
        b.file("broken.txt", data, **kwargs)
        b.file("last.txt", b"last")
        case(f"block-{label}.vesk", b.finish(), 0, ["first.txt", "last.txt"], [DAMAGED_ENTRY],
             note=f"compressed block: {label}")
    # A later chunk that holds less than a full piece although more chunks follow.
    b = Builder()
    name = b"split.bin"
    big = bytes(CHUNK - 34 - len(name)) + b"tail"
    piece0 = ref.compress_block(big[:CHUNK - 34 - len(name) - 1])  # one byte short
    b.raw(bytes(32) + bytes((len(piece0) % 32, len(name))) + name + piece0,
          more=[ref.compress_block(b"tail")])
    b.file("after.txt", b"after")
    case("short-piece-not-last.vesk", b.finish(), 0, ["after.txt"], [DAMAGED_ENTRY],
         note="chunk 0 one byte short of a full piece, chunk 1 follows")
    # The same, well formed: the reader restores both chunks at the right offsets.
    b = Builder()
    piece0 = ref.compress_block(big[:CHUNK - 34 - len(name)])
    b.raw(bytes(32) + bytes((len(piece0) % 32, len(name))) + name + piece0,
          more=[ref.compress_block(b"tail")])
    case("two-chunks-good.vesk", b.finish(), 0, ["split.bin"], [],
         note="control: an entry of two chunks")

    # --- Names that lead outside the output directory or hide characters.
    hostile = [b"..", b"..\\x", b"a\\..\\..\\x", b"/etc/x", b"\\x", b"\\\\server\\share\\x",
               b"C:x", b"C:\\x", b"a\x00b", b"a\x01b", b"a\x7fb", b"a\x1b[2Jb", b"a\\\\b", b"a\\",
               b"", b".", b"dir\\.\\x"]
    b = Builder()
    b.file("before.txt", b"1")
    for n in hostile:
        b.file(n, b"x")
    b.file("sub\\after.txt", b"2")
    case("hostile-names.vesk", b.finish(), 0, ["before.txt", "sub/after.txt"],
         [UNSAFE_NAME] * len(hostile), note="names with .., /, \\\\server, C:, NUL, controls")
    # Names that are ordinary on this system: device names of other systems, case variants,
    # trailing dots and blanks, a right-to-left override (restored, shown escaped).
    b = Builder()
    ordinary = ["CON", "nul.txt", "COM1", "aux", "Readme.txt", "README.TXT", "trailing. ",
                "...", "evil\u202etxt.exe"]
    for n in ordinary:
        b.file(n, n.encode("utf-8"))
    case("ordinary-names.vesk", b.finish(), 0, ordinary, [],
         note="CON, case variants and others restore as ordinary files here")
    # A name that fits 255 bytes stored but not the 255-byte limit of a file name once
    # decoded (each Windows-1252 letter becomes two UTF-8 bytes).
    b = Builder()
    b.file(b"\xe9" * 200, b"long")
    b.file("short.txt", b"short")
    case("component-too-long.vesk", b.finish(), 0, ["short.txt"], [SYSTEM],
         note="a name component of 400 bytes on disk")
    # A name whose directory part is a file restored just before.
    b = Builder()
    b.file("plain", b"file")
    b.file("plain\\inside.txt", b"x")
    b.file("other.txt", b"y")
    case("file-as-directory.vesk", b.finish(), 0, ["other.txt", "plain"], [429],
         note="an entry needs an earlier file as its directory")
    # A name that is an existing directory.
    b = Builder()
    b.file("d\\x.txt", b"x")
    b.file("d", b"y")
    case("name-is-directory.vesk", b.finish(), 0, ["d/x.txt"], [SYSTEM],
         note="an entry named like a directory restored before it")

    # --- Key and empty records.
    b = Builder(OTHER_KEY)
    b.file("secret.txt", b"secret " * 50)
    b.file("more.txt", b"more")
    case("wrong-passphrase.vesk", b.finish(), WRONG_PW, note="made with another passphrase")
    b = Builder()
    b.empty_record()
    b.file("a.txt", b"a")
    b.empty_record()
    case("empty-records.vesk", b.finish(), 0, ["a.txt"], [], note="index records of size 0")
    # A file that failed half way: its first chunk stays, its index record says 0. The reader
    # locates entries from offset 0 by the sizes alone, as the format's reader does.
    def partial_file(builder):
        name = b"big.bin"
        piece = ref.compress_block(bytes(CHUNK - 34 - len(name)))
        start = len(builder.body)
        builder.raw(bytes(32) + bytes((len(piece) % 32, len(name))) + name + piece)
        builder.sizes[-1] = 0
        return len(builder.body) - start
    b = Builder()
    b.file("a.txt", b"a")
    b.file("b.txt", b"b")
    partial_file(b)
    case("orphan-after-partial-file.vesk", b.finish(), 0, ["a.txt", "b.txt"], [],
         note="index [a, b, 0]: a third file left its first chunk before failing")
    b = Builder()
    b.file("a.txt", b"a")
    partial_file(b)
    b.file("c.txt", b"c")
    case("orphan-between-entries.vesk", b.finish(), 0, ["a.txt"], [DAMAGED_ENTRY_NO],
         note="index [a, 0, c]: summed sizes put entry 3 on the failed file's chunk")
    case("only-empty-records.vesk", b"\xff" * 5 + b"\x05", NO_CONTENT,
         note="five records of size 0 (five files that failed): nothing to restore")
    b = Builder()
    for n in ("one.txt", "two.txt", "three.txt", "four.txt"):
        b.file(n, n.encode() * 10)
    damaged_first = bytearray(b.finish())
    damaged_first[4 + 40] ^= 0x10  # in the second cipher block of entry 1: name and magic
    case("damaged-first-of-four.vesk", bytes(damaged_first), 0,
         ["two.txt", "three.txt", "four.txt"], [DAMAGED_ENTRY_NO],
         note="a flipped bit in the first entry: the other three restore")
    b = Builder()
    b.file("e.txt", b"")
    b.raw(bytes(32) + b"\x63\x05f.txt" + b"\x00" * 20 + b"\x01")  # junk after an empty name
    case("junk-after-empty.vesk", b.finish(), 0, ["e.txt"], [DAMAGED_ENTRY_NO],
         note="marker 99 but non-zero bytes behind the name")
    b = Builder()
    b.raw(bytes(32) + b"\x00\xf0abc")  # name longer than the chunk
    case("name-past-chunk.vesk", b.finish(), WRONG_PW,
         note="the only first chunk's name runs past its end: taken as a wrong passphrase")

    with open(os.path.join(HERE, "manifest.tsv"), "w", encoding="utf-8") as manifest:
        manifest.write("# file\trun_error\trestored\tentry_errors\tnote\n")
        for name, data, run_error, restored, errors, note in CASES:
            with open(os.path.join(HERE, name), "wb") as fh:
                fh.write(data)
            manifest.write("\t".join([
                name, str(run_error),
                ",".join(r.replace("\\", "/") for r in restored) or "-",
                ",".join(map(str, errors)) or "-", note]) + "\n")
    print(f"{len(CASES)} cases written")


if __name__ == "__main__":
    main()
