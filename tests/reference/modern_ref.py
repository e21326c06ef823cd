#!/usr/bin/python3
"""Independent implementation of the Sealwise modern format (docs/format-modern.md).

Uses PyNaCl (Debian python3-nacl) for Argon2id and the secretstream, hashlib's BLAKE2b for
the subkeys and the header checksum, and python-zstandard (Debian python3-zstandard).
"""

import base64
import hashlib
import os
import stat
import struct

import nacl.bindings as sodium
import nacl.pwhash.argon2id as argon2id
import zstandard

MAGIC = b"SEALWISE"
HEADER_SIZE = 100
ABYTES = sodium.crypto_secretstream_xchacha20poly1305_ABYTES
TAG_MESSAGE = sodium.crypto_secretstream_xchacha20poly1305_TAG_MESSAGE
TAG_FINAL = sodium.crypto_secretstream_xchacha20poly1305_TAG_FINAL
MAX_PIECE = 4 << 20
PIECE = 1 << 20
FILES, TEXT = 1, 2
START, ENTRY, DATA, END = 1, 2, 3, 4
FILE, DIRECTORY, SYMLINK = 1, 2, 3
BEGIN_LINE = "-----BEGIN SEALWISE MESSAGE-----"
END_LINE = "-----END SEALWISE MESSAGE-----"


class Damaged(Exception):
    """The container does not authenticate or breaks a rule of the format."""


class WrongKeys(Exception):
    """The key check does not match."""


def kdf_input(keys):
    out = b""
    for key in keys:
        raw = key.encode("utf-8")
        out += struct.pack("<I", len(raw)) + raw
    return out


def subkey(master, size, number, context):
    return hashlib.blake2b(b"", digest_size=size, key=master,
                           salt=struct.pack("<Q", number) + bytes(8),
                           person=context + bytes(8)).digest()


def derive(keys, salt, ops, memory):
    master = argon2id.kdf(32, kdf_input(keys), salt, opslimit=ops, memlimit=memory)
    return (master, subkey(master, 32, 1, b"SWstream"), subkey(master, 16, 2, b"SWkeychk"))


def checksum(first84):
    return hashlib.blake2b(first84, digest_size=16).digest()


class Writer:
    def __init__(self, content, keys, ops=1, memory=8192, salt=None):
        salt = salt or os.urandom(16)
        _, stream_key, key_check = derive(keys, salt, ops, memory)
        self.state = sodium.crypto_secretstream_xchacha20poly1305_state()
        stream_header = sodium.crypto_secretstream_xchacha20poly1305_init_push(
            self.state, stream_key)
        head = (MAGIC + bytes([1, content, len(keys), 2]) + struct.pack("<QQ", ops, memory)
                + salt + key_check + stream_header)
        self.header = head + checksum(head)
        self.out = bytearray(self.header)
        self._push(bytes([START]), self.header)

    def _push(self, plain, ad=None, tag=TAG_MESSAGE):
        c = sodium.crypto_secretstream_xchacha20poly1305_push(self.state, plain, ad, tag)
        self.out += struct.pack("<I", len(c)) + c

    def data(self, raw, level=3):
        for at in range(0, len(raw), PIECE):
            piece = raw[at:at + PIECE]
            packed = zstandard.ZstdCompressor(level=level).compress(piece)
            if len(packed) < len(piece):
                self._push(bytes([DATA, 1]) + struct.pack("<I", len(piece)) + packed)
            else:
                self._push(bytes([DATA, 0]) + struct.pack("<I", len(piece)) + piece)

    def entry(self, kind, name, mode, mtime_ns, size=0, target=b""):
        name = name.encode("utf-8")
        if kind == SYMLINK:
            size = len(target)
        record = (bytes([ENTRY, kind]) + struct.pack("<HqIQH", mode & 0o7777,
                                                     mtime_ns // 10**9, mtime_ns % 10**9,
                                                     size, len(name)) + name)
        self._push(record + (target if kind == SYMLINK else b""))

    def finish(self, count):
        self._push(bytes([END]) + struct.pack("<Q", count), tag=TAG_FINAL)
        return bytes(self.out)


def write_tree(paths, keys, ops=1, memory=8192):
    """A container of the given files and directory trees, named as Sealwise names them."""
    w = Writer(FILES, keys, ops, memory)
    count = 0

    def add(path, name):
        nonlocal count
        st = os.lstat(path)
        count += 1
        if stat.S_ISLNK(st.st_mode):
            w.entry(SYMLINK, name, st.st_mode, st.st_mtime_ns, target=os.fsencode(os.readlink(path)))
        elif stat.S_ISDIR(st.st_mode):
            w.entry(DIRECTORY, name, st.st_mode, st.st_mtime_ns)
            for child in sorted(os.listdir(path)):
                add(os.path.join(path, child), name + "/" + child)
        else:
            with open(path, "rb") as f:
                raw = f.read()
            w.entry(FILE, name, st.st_mode, st.st_mtime_ns, len(raw))
            w.data(raw)

    for p in paths:
        add(p, os.path.basename(os.path.normpath(os.path.abspath(p))))
    return w.finish(count)


class Reader:
    def __init__(self, blob, keys):
        self.blob, self.at = blob, HEADER_SIZE
        if len(blob) < HEADER_SIZE or blob[:8] != MAGIC:
            raise Damaged("header")
        head = blob[:HEADER_SIZE]
        if checksum(head[:84]) != head[84:]:
            raise Damaged("checksum")
        version, self.content, count, alg = head[8:12]
        ops, memory = struct.unpack("<QQ", head[12:28])
        if version != 1 or alg != 2 or count != len(keys):
            raise WrongKeys() if version == 1 and alg == 2 else Damaged("unsupported")
        _, stream_key, key_check = derive(keys, head[28:44], ops, memory)
        if key_check != head[44:60]:
            raise WrongKeys()
        self.state = sodium.crypto_secretstream_xchacha20poly1305_state()
        sodium.crypto_secretstream_xchacha20poly1305_init_pull(self.state, head[60:84], stream_key)
        plain, tag = self._pull(head)
        if plain != bytes([START]) or tag != TAG_MESSAGE:
            raise Damaged("start")
        self.final = False

    def _pull(self, ad=None):
        if self.at + 4 > len(self.blob):
            raise Damaged("cut off")
        (n,) = struct.unpack("<I", self.blob[self.at:self.at + 4])
        c = self.blob[self.at + 4:self.at + 4 + n]
        if n < ABYTES + 1 or len(c) != n:
            raise Damaged("length")
        self.at += 4 + n
        try:
            return sodium.crypto_secretstream_xchacha20poly1305_pull(self.state, c, ad)
        except Exception as e:
            raise Damaged("authentication") from e

    def next(self):
        plain, tag = self._pull()
        if tag == TAG_FINAL:
            if self.at != len(self.blob):
                raise Damaged("bytes behind the end")
            self.final = True
        elif tag != TAG_MESSAGE:
            raise Damaged("tag")
        return plain

    def data(self, remaining):
        out = bytearray()
        while remaining > 0:
            record = self.next()
            if self.final or record[0] != DATA:
                raise Damaged("data")
            method, (length,) = record[1], struct.unpack("<I", record[2:6])
            payload = record[6:]
            if method == 0:
                piece = payload
            elif method == 1:
                piece = zstandard.ZstdDecompressor().decompress(payload, max_output_size=MAX_PIECE)
            else:
                raise Damaged("method")
            if len(piece) != length or length > remaining or length == 0:
                raise Damaged("piece length")
            out += piece
            remaining -= length
        return bytes(out)


def read_tree(blob, keys):
    """The entries of a container: dicts with kind, name, mode, mtime_ns, data / target."""
    r = Reader(blob, keys)
    if r.content != FILES:
        raise Damaged("not files")
    entries = []
    while True:
        record = r.next()
        if r.final:
            if record[0] != END or struct.unpack("<Q", record[1:9])[0] != len(entries):
                raise Damaged("end")
            return entries
        if record[0] != ENTRY:
            raise Damaged("entry")
        kind, mode, sec, nsec, size, name_len = struct.unpack("<BHqIQH", record[1:26])
        name = record[26:26 + name_len].decode("utf-8")
        parts = name.split("/")
        if not name or any(p in ("", ".", "..") for p in parts) or "\\" in name:
            raise Damaged("name")
        entry = {"kind": kind, "name": name, "mode": mode, "mtime_ns": sec * 10**9 + nsec}
        if kind == SYMLINK:
            entry["target"] = record[26 + name_len:]
        elif kind == FILE:
            entry["data"] = r.data(size)
        entries.append(entry)


def seal_text(text, keys, ops=1, memory=8192):
    w = Writer(TEXT, keys, ops, memory)
    raw = text.encode("utf-8")
    w.data(raw)
    b64 = base64.b64encode(w.finish(len(raw))).decode()
    lines = [BEGIN_LINE] + [b64[i:i + 64] for i in range(0, len(b64), 64)] + [END_LINE]
    return "".join(line + "\r\n" for line in lines)


def open_text(armour, keys):
    body = armour.strip(" \t\r\n")
    if not body.startswith(BEGIN_LINE) or not body.endswith(END_LINE):
        raise Damaged("armour lines")
    b64 = body[len(BEGIN_LINE):-len(END_LINE)].replace("\r\n", "").replace("\n", "")
    blob = base64.b64decode(b64, validate=True)
    r = Reader(blob, keys)
    if r.content != TEXT:
        raise Damaged("not a text")
    out = bytearray()
    while True:
        record = r.next()
        if r.final:
            if record[0] != END or struct.unpack("<Q", record[1:9])[0] != len(out):
                raise Damaged("end")
            return out.decode("utf-8")
        if record[0] != DATA:
            raise Damaged("data")
        method, (length,) = record[1], struct.unpack("<I", record[2:6])
        piece = record[6:] if method == 0 else zstandard.ZstdDecompressor().decompress(
            record[6:], max_output_size=MAX_PIECE)
        if len(piece) != length:
            raise Damaged("piece length")
        out += piece
