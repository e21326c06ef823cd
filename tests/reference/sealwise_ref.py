#!/usr/bin/python3
"""Independent reference implementation of the Sealwise byte formats.

Written from the format description alone (docs/format.md, the text rule and
the command-line contract of sealwise-cli), without looking at the C++ sources,
so that the C++ core can be checked against something made separately.

Standard library only.  The raw Rijndael block cipher (256-bit block, 256-bit
key) comes from Debian's libmcrypt through ctypes ("rijndael-256"); a small
textbook Rijndael in pure Python (any Nb, Nk from 4 to 8) cross-checks it and
stands in for it when libmcrypt is missing (slow: a few kB/s).

Contents (docs/format.md sections in brackets):
  * Windows-1252 text conversion, the UTF-8 marker; LITERAL and SEALWISE
    modes (Windows-1252 with "?" as other programs do, or Sealwise's rules)  [0]
  * Rijndael: PureRijndael (textbook), McryptRijndael256 (ctypes)   [2]
  * cipher envelope, one-shot and chunked                           [2]
  * MD5 (hashlib), BLAKE2b key rule, candidate keys                 [1]
  * Base64 armour                                                   [3]
  * text encryption / decryption                                    [3]
  * container (.vesk) writer, index, reader, structural checker     [4]
  * entry names of files and directory trees                        [4]

Run `python3 sealwise_ref.py --help` for a small command line that mirrors the
sealwise-cli contract (handy for poking at files by hand).
"""

from __future__ import annotations

import ctypes
import ctypes.util
import hashlib
import os
import struct
import zlib
from dataclasses import dataclass, field
from typing import Callable, Iterable, List, Optional, Sequence, Tuple, Union

# ---------------------------------------------------------------------------
# Constants
# ---------------------------------------------------------------------------

BLOCK_SIZE = 32                       # Rijndael block (Nb = 8) and key (Nk = 8)
KEY_SIZE = 32
CHUNK_SIZE = 2_097_152                # ChunkSize (0x200000)
CHUNK0_HEADER = 34                    # 32 random bytes, marker, name length
COMPRESSED_BLOCK_MAGIC = 1234567890   # 0x499602D2
EMPTY_FILE_MARKER = 99
ZLIB_LEVEL = 6                        # zlib's compress(): Z_DEFAULT_COMPRESSION = 6
INDEX_TAIL = 100                      # reader: a = 100 when Z > 100

# Notice lines of the text armour up to and including " - "; each is followed by the
# maker's web address (left to the implementer; the project uses this one).
NOTICE_URL = "https://sealwise.example/"
NOTICE_PREFIXES = {
    "de": "Dieser Text wurde mit Sealwise (kostenlos) verschlüsselt - ",
    "en": "This text has been encrypted with Sealwise (free!) - ",
    "es": "Este texto ha sido encriptado con Sealwise (gratis) - ",
    "fr": "Ce texte a été chiffré avec Sealwise (gratuit) - ",
}
LANGUAGES = ("de", "en", "es", "fr")


def notice_line(lang: str) -> str:
    """The notice line N of a language (without the CR LF that follows it)."""
    return NOTICE_PREFIXES[lang] + NOTICE_URL


# ---------------------------------------------------------------------------
# Windows-1252 and the text rule
# ---------------------------------------------------------------------------
# "The full table, 0x80-0x9F included": Python's cp1252 codec leaves 0x81, 0x8D,
# 0x8F, 0x90 and 0x9D undefined; like Windows' own conversion (and the WHATWG
# table) they map to the C1 control characters U+0081 ... U+009D here.

_CP1252_DECODE: List[str] = []
for _b in range(256):
    try:
        _CP1252_DECODE.append(bytes([_b]).decode("cp1252"))
    except UnicodeDecodeError:
        _CP1252_DECODE.append(chr(_b))
_CP1252_ENCODE = {ch: b for b, ch in enumerate(_CP1252_DECODE)}
assert len(_CP1252_ENCODE) == 256
CP1252_UNDEFINED_IN_PYTHON = bytes(b for b in range(256) if _CP1252_DECODE[b] == chr(b) and 0x80 <= b <= 0x9F)


def cp1252_decode(data: bytes) -> str:
    return "".join(_CP1252_DECODE[b] for b in data)


def cp1252_encodable(text: str) -> bool:
    return all(ch in _CP1252_ENCODE for ch in text)


def cp1252_encode(text: str) -> bytes:
    """Strict: raises ValueError for a character Windows-1252 lacks."""
    try:
        return bytes(_CP1252_ENCODE[ch] for ch in text)
    except KeyError as exc:
        raise ValueError(f"character {exc.args[0]!r} is not in Windows-1252") from None


def ansi_bytes(text: str) -> bytes:
    """The plain code page rule: one byte per character,
    a character the code page lacks becomes "?" (0x3F)."""
    return bytes(_CP1252_ENCODE.get(ch, 0x3F) for ch in text)


# Two rule sets (docs/format.md, "Text and keys"):
#   LITERAL  - what every program of the format does: texts, names and key texts
#              in Windows-1252, "?" for a character it lacks; the reader shows
#              Windows-1252.  Reads everything Sealwise writes for texts that fit.
#   SEALWISE - a text or name with a character Windows-1252 lacks is stored as
#              the marker EF BB BF and UTF-8; unmarked bytes are Windows-1252.
#              Keys: the first 32 characters; when one of them does not fit,
#              BLAKE2b-256 of their UTF-8.  Shared keys: each joined text as
#              UTF-8 when it does not fit.  Decryption also tries the LITERAL
#              key and takes the one that is recognisably right.
LITERAL = "literal"
SEALWISE = "sealwise"
MODES = (LITERAL, SEALWISE)
UTF8_MARKER = b"\xef\xbb\xbf"


def _check_mode(mode: str) -> None:
    if mode not in MODES:
        raise ValueError(f"unknown mode {mode!r}")


def stored_text_bytes(text: str, mode: str = SEALWISE) -> bytes:
    """Bytes of a stored text or entry name."""
    _check_mode(mode)
    if mode == LITERAL:
        return ansi_bytes(text)
    if cp1252_encodable(text):
        data = cp1252_encode(text)
        if not data.startswith(UTF8_MARKER):   # "ï»¿..." would read as marked
            return data
    return UTF8_MARKER + text.encode("utf-8")


def stored_text(data: bytes, mode: str = SEALWISE) -> str:
    """A stored text or entry name as the reader shows it."""
    _check_mode(mode)
    if mode == SEALWISE and data.startswith(UTF8_MARKER):
        return data[len(UTF8_MARKER):].decode("utf-8", errors="replace")
    return cp1252_decode(data)


def key_text_bytes(text: str, mode: str = SEALWISE) -> bytes:
    """Bytes a shared-key text is hashed from."""
    _check_mode(mode)
    if mode == SEALWISE and not cp1252_encodable(text):
        return text.encode("utf-8")
    return ansi_bytes(text)


# ---------------------------------------------------------------------------
# Rijndael, textbook version in pure Python
# ---------------------------------------------------------------------------
# Written from the Rijndael design (Daemen/Rijmen, "AES proposal: Rijndael"
# and FIPS-197), not from the table-driven procedure of the C++ core: a 4 x Nb state
# matrix filled column by column, SubBytes, ShiftRows, MixColumns, AddRoundKey.


def _xtime(a: int) -> int:
    a <<= 1
    return (a ^ 0x11B) if a & 0x100 else a


def _gf_mul(a: int, b: int) -> int:
    r = 0
    while b:
        if b & 1:
            r ^= a
        a = _xtime(a)
        b >>= 1
    return r


def _gf_inv(a: int) -> int:
    if a == 0:
        return 0
    # a^254 = a^-1 in GF(2^8)
    r, e, x = 1, 254, a
    while e:
        if e & 1:
            r = _gf_mul(r, x)
        x = _gf_mul(x, x)
        e >>= 1
    return r


def _affine(b: int) -> int:
    # b'_i = b_i ^ b_(i+4) ^ b_(i+5) ^ b_(i+6) ^ b_(i+7) ^ c_i, c = 0x63
    r = 0
    for i in range(8):
        bit = ((b >> i) ^ (b >> ((i + 4) % 8)) ^ (b >> ((i + 5) % 8))
               ^ (b >> ((i + 6) % 8)) ^ (b >> ((i + 7) % 8)) ^ (0x63 >> i)) & 1
        r |= bit << i
    return r


SBOX = [_affine(_gf_inv(x)) for x in range(256)]
INV_SBOX = [0] * 256
for _x, _y in enumerate(SBOX):
    INV_SBOX[_y] = _x
_MUL = {c: [_gf_mul(c, x) for x in range(256)] for c in (1, 2, 3, 9, 11, 13, 14)}

# ShiftRows offsets C1, C2, C3 by block length Nb (Rijndael design, extended
# to Nb = 5 and 7 as in the Rijndael book; the system uses Nb = 8: 1, 3, 4).
SHIFT_OFFSETS = {4: (0, 1, 2, 3), 5: (0, 1, 2, 3), 6: (0, 1, 2, 3), 7: (0, 1, 2, 4), 8: (0, 1, 3, 4)}


class PureRijndael:
    """Textbook Rijndael for block length Nb and key length Nk words (4..8).

    Slow (pure Python); for cross-checks and as a fallback only."""

    def __init__(self, key: bytes, nb: int = 8):
        if len(key) % 4 or not 4 <= len(key) // 4 <= 8:
            raise ValueError("key must be 16, 20, 24, 28 or 32 bytes")
        if not 4 <= nb <= 8:
            raise ValueError("Nb must be 4..8")
        self.nb = nb
        self.nk = len(key) // 4
        self.nr = max(self.nb, self.nk) + 6
        self.block_size = 4 * nb
        self._round_keys = self._expand_key(key)

    def _expand_key(self, key: bytes) -> List[List[List[int]]]:
        nb, nk, nr = self.nb, self.nk, self.nr
        w = [list(key[4 * i:4 * i + 4]) for i in range(nk)]
        rcon = 1
        for i in range(nk, nb * (nr + 1)):
            temp = list(w[i - 1])
            if i % nk == 0:
                temp = temp[1:] + temp[:1]                    # RotWord
                temp = [SBOX[b] for b in temp]                # SubWord
                temp[0] ^= rcon
                rcon = _xtime(rcon)
            elif nk > 6 and i % nk == 4:
                temp = [SBOX[b] for b in temp]
            w.append([a ^ b for a, b in zip(w[i - nk], temp)])
        # round key r = words r*Nb ... r*Nb+Nb-1, each word one column
        return [w[r * nb:(r + 1) * nb] for r in range(nr + 1)]

    # state[r][c] = in[r + 4c]
    def _to_state(self, block: bytes) -> List[List[int]]:
        return [[block[r + 4 * c] for c in range(self.nb)] for r in range(4)]

    def _from_state(self, s: List[List[int]]) -> bytes:
        return bytes(s[r][c] for c in range(self.nb) for r in range(4))

    def _add_round_key(self, s, rnd: int) -> None:
        rk = self._round_keys[rnd]
        for c in range(self.nb):
            col = rk[c]
            for r in range(4):
                s[r][c] ^= col[r]

    @staticmethod
    def _sub_bytes(s, box) -> None:
        for row in s:
            for c in range(len(row)):
                row[c] = box[row[c]]

    def _shift_rows(self, s, inverse: bool = False) -> None:
        offs = SHIFT_OFFSETS[self.nb]
        for r in range(1, 4):
            k = offs[r] % self.nb
            if inverse:
                k = -k
            s[r] = s[r][k:] + s[r][:k]

    def _mix_columns(self, s, inverse: bool = False) -> None:
        m = (14, 11, 13, 9) if inverse else (2, 3, 1, 1)
        t0, t1, t2, t3 = (_MUL[x] for x in m)
        for c in range(self.nb):
            a = [s[r][c] for r in range(4)]
            for r in range(4):
                s[r][c] = (t0[a[r]] ^ t1[a[(r + 1) % 4]] ^ t2[a[(r + 2) % 4]] ^ t3[a[(r + 3) % 4]])

    def encrypt_block(self, block: bytes) -> bytes:
        if len(block) != self.block_size:
            raise ValueError("wrong block length")
        s = self._to_state(block)
        self._add_round_key(s, 0)
        for rnd in range(1, self.nr):
            self._sub_bytes(s, SBOX)
            self._shift_rows(s)
            self._mix_columns(s)
            self._add_round_key(s, rnd)
        self._sub_bytes(s, SBOX)
        self._shift_rows(s)
        self._add_round_key(s, self.nr)
        return self._from_state(s)

    def decrypt_block(self, block: bytes) -> bytes:
        if len(block) != self.block_size:
            raise ValueError("wrong block length")
        s = self._to_state(block)
        self._add_round_key(s, self.nr)
        for rnd in range(self.nr - 1, 0, -1):
            self._shift_rows(s, inverse=True)
            self._sub_bytes(s, INV_SBOX)
            self._add_round_key(s, rnd)
            self._mix_columns(s, inverse=True)
        self._shift_rows(s, inverse=True)
        self._sub_bytes(s, INV_SBOX)
        self._add_round_key(s, 0)
        return self._from_state(s)


# ---------------------------------------------------------------------------
# Rijndael-256 from libmcrypt through ctypes
# ---------------------------------------------------------------------------
# libmcrypt's "rijndael-256" is Rijndael with Nb = 8 (block size 32); the key
# length picks Nk: mcrypt_generic_init zero-pads a key up to the next supported
# size (16, 24 or 32 bytes).  We always hand it exactly 32 bytes, so Nk = 8.
# That this is the real Rijndael-256 is checked by the self tests (Gladman's
# published Rijndael vectors and the textbook implementation above).

_MCRYPT_CANDIDATES = ("libmcrypt.so.4", "/usr/lib/x86_64-linux-gnu/libmcrypt.so.4", "libmcrypt.so")
_mcrypt_lib = None
_mcrypt_error: Optional[str] = None


def _load_mcrypt():
    global _mcrypt_lib, _mcrypt_error
    if _mcrypt_lib is not None or _mcrypt_error is not None:
        return _mcrypt_lib
    names = list(_MCRYPT_CANDIDATES)
    found = ctypes.util.find_library("mcrypt")
    if found:
        names.insert(0, found)
    for name in names:
        try:
            lib = ctypes.CDLL(name)
            break
        except OSError:
            continue
    else:
        _mcrypt_error = "libmcrypt not found"
        return None
    vp, cp, ci = ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int
    lib.mcrypt_module_open.restype = vp
    lib.mcrypt_module_open.argtypes = [cp, cp, cp, cp]
    lib.mcrypt_module_close.argtypes = [vp]
    lib.mcrypt_module_close.restype = ci
    lib.mcrypt_generic_init.argtypes = [vp, vp, ci, vp]
    lib.mcrypt_generic_init.restype = ci
    lib.mcrypt_generic_deinit.argtypes = [vp]
    lib.mcrypt_generic_deinit.restype = ci
    lib.mcrypt_generic.argtypes = [vp, vp, ci]
    lib.mcrypt_generic.restype = ci
    lib.mdecrypt_generic.argtypes = [vp, vp, ci]
    lib.mdecrypt_generic.restype = ci
    lib.mcrypt_enc_get_block_size.argtypes = [vp]
    lib.mcrypt_enc_get_block_size.restype = ci
    lib.mcrypt_enc_get_key_size.argtypes = [vp]
    lib.mcrypt_enc_get_key_size.restype = ci
    lib.mcrypt_enc_get_iv_size.argtypes = [vp]
    lib.mcrypt_enc_get_iv_size.restype = ci
    _mcrypt_lib = lib
    return lib


def mcrypt_available() -> bool:
    return _load_mcrypt() is not None


class McryptRijndael256:
    """Rijndael, 32-byte block and 32-byte key, from libmcrypt."""

    block_size = BLOCK_SIZE

    def __init__(self, key: bytes):
        if len(key) != KEY_SIZE:
            raise ValueError("McryptRijndael256 takes exactly 32 key bytes")
        lib = _load_mcrypt()
        if lib is None:
            raise RuntimeError(_mcrypt_error or "libmcrypt unavailable")
        self._lib = lib
        self._key = ctypes.create_string_buffer(bytes(key), KEY_SIZE)
        self._tds = {}

    def _td(self, mode: bytes):
        td = self._tds.get(mode)
        if td is None:
            td = self._lib.mcrypt_module_open(b"rijndael-256", None, mode, None)
            if not td:
                raise RuntimeError(f"mcrypt_module_open(rijndael-256, {mode!r}) failed")
            if self._lib.mcrypt_enc_get_block_size(td) != BLOCK_SIZE:
                raise RuntimeError("libmcrypt rijndael-256 has no 32-byte block")
            self._tds[mode] = td
        return td

    def _run(self, mode: bytes, data: bytes, iv: Optional[bytes], decrypt: bool) -> bytes:
        if len(data) % BLOCK_SIZE:
            raise ValueError("data must be a multiple of 32 bytes")
        if not data:
            return b""
        td = self._td(mode)
        ivbuf = ctypes.create_string_buffer(bytes(iv), BLOCK_SIZE) if iv is not None else None
        rc = self._lib.mcrypt_generic_init(td, self._key, KEY_SIZE, ivbuf)
        if rc < 0:
            raise RuntimeError(f"mcrypt_generic_init failed: {rc}")
        try:
            buf = ctypes.create_string_buffer(bytes(data), len(data))
            fn = self._lib.mdecrypt_generic if decrypt else self._lib.mcrypt_generic
            rc = fn(td, buf, len(data))
            if rc != 0:
                raise RuntimeError(f"mcrypt (de)encryption failed: {rc}")
            return buf.raw
        finally:
            self._lib.mcrypt_generic_deinit(td)

    def encrypt_ecb(self, data: bytes) -> bytes:
        return self._run(b"ecb", data, None, False)

    def decrypt_ecb(self, data: bytes) -> bytes:
        return self._run(b"ecb", data, None, True)

    def encrypt_cbc(self, data: bytes, iv: bytes) -> bytes:
        return self._run(b"cbc", data, iv, False)

    def decrypt_cbc(self, data: bytes, iv: bytes) -> bytes:
        return self._run(b"cbc", data, iv, True)

    def encrypt_block(self, block: bytes) -> bytes:
        return self.encrypt_ecb(block)

    def decrypt_block(self, block: bytes) -> bytes:
        return self.decrypt_ecb(block)

    def close(self) -> None:
        for td in self._tds.values():
            self._lib.mcrypt_module_close(td)
        self._tds.clear()

    def __del__(self):
        try:
            self.close()
        except Exception:
            pass


def _xor(a: bytes, b: bytes) -> bytes:
    return bytes(x ^ y for x, y in zip(a, b))


class PureRijndael256CBC:
    """The pure cipher with the same CBC interface as McryptRijndael256."""

    block_size = BLOCK_SIZE

    def __init__(self, key: bytes):
        if len(key) != KEY_SIZE:
            raise ValueError("takes exactly 32 key bytes")
        self._c = PureRijndael(key, nb=8)

    def encrypt_block(self, block: bytes) -> bytes:
        return self._c.encrypt_block(block)

    def decrypt_block(self, block: bytes) -> bytes:
        return self._c.decrypt_block(block)

    def encrypt_ecb(self, data: bytes) -> bytes:
        return b"".join(self._c.encrypt_block(data[i:i + 32]) for i in range(0, len(data), 32))

    def decrypt_ecb(self, data: bytes) -> bytes:
        return b"".join(self._c.decrypt_block(data[i:i + 32]) for i in range(0, len(data), 32))

    def encrypt_cbc(self, data: bytes, iv: bytes) -> bytes:
        if len(data) % 32:
            raise ValueError("data must be a multiple of 32 bytes")
        out, prev = [], bytes(iv)
        for i in range(0, len(data), 32):
            prev = self._c.encrypt_block(_xor(data[i:i + 32], prev))
            out.append(prev)
        return b"".join(out)

    def decrypt_cbc(self, data: bytes, iv: bytes) -> bytes:
        if len(data) % 32:
            raise ValueError("data must be a multiple of 32 bytes")
        out, prev = [], bytes(iv)
        for i in range(0, len(data), 32):
            blk = data[i:i + 32]
            out.append(_xor(self._c.decrypt_block(blk), prev))
            prev = blk
        return b"".join(out)

    def close(self) -> None:
        pass


BACKEND = os.environ.get("SEALWISE_REF_BACKEND", "auto")   # auto | mcrypt | pure


def new_block_cipher(key: bytes, backend: Optional[str] = None):
    """Rijndael-256 under 32 key bytes: libmcrypt when present, else pure Python."""
    backend = backend or BACKEND
    if backend == "pure" or (backend == "auto" and not mcrypt_available()):
        return PureRijndael256CBC(key)
    return McryptRijndael256(key)


# ---------------------------------------------------------------------------
# Cipher envelope
# ---------------------------------------------------------------------------

ZERO_BLOCK = bytes(BLOCK_SIZE)


def envelope_key(key_bytes: bytes) -> bytes:
    """Key bytes of the one-shot operations: the first 32 bytes, zero-filled."""
    key_bytes = bytes(key_bytes[:KEY_SIZE])
    return key_bytes + bytes(KEY_SIZE - len(key_bytes))


def zero_pad(data: bytes) -> bytes:
    r = len(data) % BLOCK_SIZE
    return bytes(data) + bytes(BLOCK_SIZE - r) if r else bytes(data)


def padded_length(n: int) -> int:
    return (n + BLOCK_SIZE - 1) // BLOCK_SIZE * BLOCK_SIZE


def envelope_encrypt(message: bytes, key_bytes: bytes, backend: Optional[str] = None) -> bytes:
    """EncryptData: zero padding to 32, CBC from an all-zero block, no header.
    (The system never encrypts an empty message; it gives an empty envelope.)"""
    c = new_block_cipher(envelope_key(key_bytes), backend)
    try:
        return c.encrypt_cbc(zero_pad(message), ZERO_BLOCK)
    finally:
        c.close()


def envelope_decrypt(data: bytes, key_bytes: bytes, backend: Optional[str] = None) -> Optional[bytes]:
    """DecryptData: None (the "empty result") for 0 bytes or a length that is
    not a multiple of 32; else all 32*n bytes, the padding zeros included."""
    if len(data) == 0 or len(data) % BLOCK_SIZE:
        return None
    c = new_block_cipher(envelope_key(key_bytes), backend)
    try:
        return c.decrypt_cbc(bytes(data), ZERO_BLOCK)
    finally:
        c.close()


class ChunkedCipher:
    """EncryptPrepareKey + EncryptDo / DecryptDo: every chunk padded with zeros
    on its own, the CBC chain carried across calls through ChainBlock."""

    def __init__(self, key_bytes: bytes, backend: Optional[str] = None):
        if len(key_bytes) < KEY_SIZE:
            raise ValueError("EncryptPrepareKey needs at least 32 key bytes")
        self._c = new_block_cipher(bytes(key_bytes[:KEY_SIZE]), backend)
        self.chain_block = ZERO_BLOCK
        self.do_cancel = False

    def encrypt_do(self, chunk: bytes, use_iv: bool) -> bytes:
        out = self._c.encrypt_cbc(zero_pad(chunk), self.chain_block if use_iv else ZERO_BLOCK)
        if out:
            self.chain_block = out[-BLOCK_SIZE:]
        return out

    def decrypt_do(self, chunk: bytes, use_iv: bool) -> Optional[bytes]:
        if len(chunk) == 0 or len(chunk) % BLOCK_SIZE:
            self.do_cancel = True
            return None
        out = self._c.decrypt_cbc(bytes(chunk), self.chain_block if use_iv else ZERO_BLOCK)
        self.chain_block = bytes(chunk[-BLOCK_SIZE:])
        return out

    def close(self) -> None:
        self._c.close()


# ---------------------------------------------------------------------------
# MD5 and key derivation
# ---------------------------------------------------------------------------

def digest_text(text: str, mode: str = SEALWISE) -> str:
    """DigestText: MD5 (RFC 1321) of key_text_bytes(text), 32 lowercase hex."""
    return hashlib.md5(key_text_bytes(text, mode)).hexdigest()


def make_key_string(passphrase: str) -> str:
    """MakeKeyString: the first 32 characters, padded with "A" to 32."""
    s = passphrase[:KEY_SIZE]
    return s + "A" * (KEY_SIZE - len(s))


def passphrase_key(passphrase: str, mode: str = SEALWISE) -> bytes:
    """Key bytes of one passphrase, the key a writer uses."""
    _check_mode(mode)
    if passphrase == "":
        raise ValueError("empty passphrase")
    first = passphrase[:KEY_SIZE]
    if mode == LITERAL or cp1252_encodable(first):
        return ansi_bytes(make_key_string(passphrase))
    return hashlib.blake2b(first.encode("utf-8"), digest_size=KEY_SIZE).digest()


def _unique(keys: Iterable[bytes]) -> List[bytes]:
    out: List[bytes] = []
    for k in keys:
        if k not in out:
            out.append(k)
    return out


def utf16_units(text: str) -> str:
    """The text with every character beyond U+FFFF as its two UTF-16 surrogates:
    "characters" where strings are UTF-16 (each surrogate becomes "?")."""
    return "".join(ch if ord(ch) <= 0xFFFF else "\ud800\udc00" for ch in text)


def passphrase_keys(passphrase: str, mode: str = SEALWISE) -> List[bytes]:
    """Keys a reader tries, best first: in SEALWISE mode its own key, then the
    LITERAL ones that differ (characters counted as code points, or as UTF-16
    units)."""
    if mode == LITERAL:
        return [passphrase_key(passphrase, LITERAL)]
    return _unique([passphrase_key(passphrase, SEALWISE), passphrase_key(passphrase, LITERAL),
                    passphrase_key(utf16_units(passphrase), LITERAL)])


def combine_shared_keys(keys: Sequence[str], mode: str = SEALWISE) -> bytes:
    """CombineSharedKeys for keys 1..n (n = 2..10) in key order: MD5 of the
    odd-numbered keys joined, then MD5 of the even-numbered keys joined."""
    if not 2 <= len(keys) <= 10:
        raise ValueError("shared security takes 2 to 10 keys")
    odd, even = "", ""
    for i, k in enumerate(keys, start=1):
        if k == "":
            raise ValueError(f"key {i} is missing")
        if i % 2:
            odd += k
        else:
            even += k
    h = digest_text(odd, mode) + digest_text(even, mode)
    return bytes.fromhex(h)


def shared_keys_candidates(keys: Sequence[str], mode: str = SEALWISE) -> List[bytes]:
    if mode == LITERAL:
        return [combine_shared_keys(keys, LITERAL)]
    return _unique([combine_shared_keys(keys, SEALWISE), combine_shared_keys(keys, LITERAL),
                    combine_shared_keys([utf16_units(k) for k in keys], LITERAL)])


# ---------------------------------------------------------------------------
# Base64
# ---------------------------------------------------------------------------

B64_ALPHABET = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
_B64_DECODE = [0] * 256
for _i, _ch in enumerate(B64_ALPHABET):
    _B64_DECODE[ord(_ch)] = _i
B64_LINE = 76


def encode_base64(data: bytes) -> str:
    """EncodeBase64: RFC 4648 alphabet, "=" padding, lines of 76 characters
    joined by CR LF, no line break at the end."""
    if len(data) == 0:
        raise ValueError("EncodeBase64 is never called with zero bytes")
    a = B64_ALPHABET
    groups = []
    full = len(data) - len(data) % 3
    for i in range(0, full, 3):
        v = (data[i] << 16) | (data[i + 1] << 8) | data[i + 2]
        groups.append(a[v >> 18] + a[(v >> 12) & 63] + a[(v >> 6) & 63] + a[v & 63])
    r = len(data) % 3
    if r == 1:
        v = data[full] << 16
        groups.append(a[v >> 18] + a[(v >> 12) & 63] + "==")
    elif r == 2:
        v = (data[full] << 16) | (data[full + 1] << 8)
        groups.append(a[v >> 18] + a[(v >> 12) & 63] + a[(v >> 6) & 63] + "=")
    s = "".join(groups)
    lines = [s[i:i + B64_LINE] for i in range(0, len(s), B64_LINE)]
    out = "\r\n".join(lines)
    # Cross-check with the length formula of the armour.
    b = 4 * (len(data) // 3) + (4 if r else 0)
    c = b + 2 * (b // 76)
    if c % 78 == 0:
        c -= 2
    assert len(out) == c, (len(out), c)
    return out


def decode_base64(text: str) -> bytes:
    """DecodeBase64: drop every CR LF pair, then every "=", then decode; any
    other foreign character counts as value 0; a single leftover character is
    dropped.  Never fails."""
    text = text.replace("\r\n", "").replace("=", "")
    raw = ansi_bytes(text)
    vals = [_B64_DECODE[b] for b in raw]
    n = len(vals)
    out = bytearray()
    full = n - n % 4
    for i in range(0, full, 4):
        a, b, c, d = vals[i:i + 4]
        out += bytes(((a << 2) | (b >> 4), ((b & 15) << 4) | (c >> 2), ((c & 3) << 6) | d))
    r = n % 4
    if r >= 2:
        a, b = vals[full], vals[full + 1]
        out.append(((a << 2) | (b >> 4)) & 0xFF)
        if r == 3:
            c = vals[full + 2]
            out.append((((b & 15) << 4) | (c >> 2)) & 0xFF)
    return bytes(out)


def armour_is_well_formed(armour: str) -> Optional[str]:
    """None when the text is exactly what EncodeBase64 produces for some input
    (lines of 76 joined by CR LF, last line 4..76, no trailing break, valid
    padding); else a description of the first problem."""
    if armour == "":
        return "empty armour"
    lines = armour.split("\r\n")
    for i, line in enumerate(lines):
        if "\r" in line or "\n" in line:
            return f"line {i + 1} holds a lone CR or LF"
        if i < len(lines) - 1 and len(line) != B64_LINE:
            return f"line {i + 1} has {len(line)} characters, not 76"
    last = lines[-1]
    if not 4 <= len(last) <= 76 or len(last) % 4:
        return f"last line has {len(last)} characters"
    body = armour.replace("\r\n", "")
    stripped = body.rstrip("=")
    if len(body) - len(stripped) > 2:
        return "more than two '=' at the end"
    if any(ch not in B64_ALPHABET for ch in stripped):
        return "character outside the Base64 alphabet"
    data = decode_base64(armour)
    if encode_base64(data) != armour:
        return "not the canonical encoding of its bytes"
    return None


# ---------------------------------------------------------------------------
# Text encryption and decryption
# ---------------------------------------------------------------------------

def store_newlines(text: str) -> str:
    """CLI contract: a LF in the input becomes CR LF; CR LF stays CR LF."""
    out = []
    prev = ""
    for ch in text:
        if ch == "\n" and prev != "\r":
            out.append("\r\n")
        else:
            out.append(ch)
        prev = ch
    return "".join(out)


def text_plaintext(text: str, lang: str = "en", random_prefix: Optional[bytes] = None,
                   mode: str = SEALWISE) -> bytes:
    """R || N || CR LF || T: the notice line always in Windows-1252, the
    text by stored_text_bytes."""
    r = os.urandom(32) if random_prefix is None else bytes(random_prefix)
    if len(r) != 32:
        raise ValueError("the random prefix has 32 bytes")
    return r + ansi_bytes(notice_line(lang) + "\r\n") + stored_text_bytes(text, mode)


def text_encrypt(text: str, key_bytes: bytes, lang: str = "en",
                 random_prefix: Optional[bytes] = None, backend: Optional[str] = None,
                 mode: str = SEALWISE) -> str:
    """Armour of a text (T as stored: line breaks already CR LF).
    key_bytes: passphrase_key(p, mode) or combine_shared_keys(..., mode)."""
    if text == "":
        raise ValueError("empty text")
    env = envelope_encrypt(text_plaintext(text, lang, random_prefix, mode), key_bytes, backend)
    return encode_base64(env)


def text_decrypt_bytes(armour: str, key_bytes: bytes, backend: Optional[str] = None) -> Optional[bytes]:
    """The bytes shown after decryption: spaces removed, Base64 decoded,
    envelope decrypted, the 32 random bytes dropped, cut at the first zero
    byte.  None when the envelope is empty or not a multiple of 32."""
    env = decode_base64(armour.replace(" ", ""))
    plain = envelope_decrypt(env, key_bytes, backend)
    if plain is None:
        return None
    rest = plain[32:]
    z = rest.find(b"\x00")
    return rest if z < 0 else rest[:z]


NOTICE_LINE_MAX = 512


def notice_line_length(shown: bytes) -> Optional[int]:
    """Length of the notice line that shown starts with (CR LF not counted),
    recognised by its form: at most 512 printable Windows-1252 characters,
    then CR LF; " - " and a web address (printable ASCII without blanks,
    holding a dot) at its end.  None when shown does not start with one."""
    end = shown.find(b"\r\n")
    if end < 0 or end > NOTICE_LINE_MAX:
        return None
    line = shown[:end]
    if any(b < 0x20 or b == 0x7F or b in CP1252_UNDEFINED_IN_PYTHON for b in line):
        return None
    _, sep, address = line.rpartition(b" - ")
    if not sep or not address or b"." not in address:
        return None
    if any(not 0x21 <= b <= 0x7E for b in address):
        return None
    return end


class WrongKeyOrDamage(Exception):
    """No key opens the armour to a notice line."""


def text_decrypt(armour: str, keys: Union[bytes, Sequence[bytes]], backend: Optional[str] = None,
                 mode: str = SEALWISE) -> Optional[str]:
    """The text the text box shows: N CR LF T.  None when the envelope is
    empty or not a multiple of 32.  LITERAL: the plaintext in Windows-1252,
    whatever the key.  SEALWISE: the first of keys that yields a notice line;
    WrongKeyOrDamage when none does."""
    _check_mode(mode)
    keys = [keys] if isinstance(keys, (bytes, bytearray)) else list(keys)
    for key in keys:
        shown = text_decrypt_bytes(armour, key, backend)
        if shown is None:
            return None
        if mode == LITERAL:
            return cp1252_decode(shown)
        n = notice_line_length(shown)
        if n is not None:
            return cp1252_decode(shown[:n + 2]) + stored_text(shown[n + 2:], SEALWISE)
    raise WrongKeyOrDamage("no key yields a notice line")


def cli_shown_text(shown: str) -> bytes:
    """What `sealwise-cli decrypt-text` prints for a shown text: UTF-8, CR LF as LF."""
    return shown.replace("\r\n", "\n").encode("utf-8")


# ---------------------------------------------------------------------------
# Container format
# ---------------------------------------------------------------------------

def base255_digits(value: int) -> bytes:
    """Least significant digit first, 0..254 each, no digit for 0."""
    if value < 0:
        raise ValueError("negative size")
    out = bytearray()
    while value > 0:
        out.append(value % 255)
        value //= 255
    return bytes(out)


def encode_index(sizes: Sequence[int]) -> bytes:
    """The index (base-255 size digits + 0xFF per entry) followed by its length T."""
    index = b"".join(base255_digits(s) + b"\xff" for s in sizes)
    return index + base255_digits(len(index))


class NoUsableContent(Exception):
    """The container cannot be read: "File has no usable content!" (string 108)."""


def locate_index(container: bytes) -> Tuple[List[int], int, int]:
    """The index reader, steps 1-5: (sizes, index start offset, T)."""
    z = len(container)
    if z < 4:
        raise NoUsableContent("container shorter than 4 bytes")
    a = INDEX_TAIL if z > INDEX_TAIL else z - 4
    tail = container[z - (a + 1):]
    pos = tail.rfind(b"\xff")
    if pos < 0:
        raise NoUsableContent("no index terminator in the tail")
    if pos == 0:
        raise NoUsableContent("the first 0xFF met is the first byte of the examined tail")
    digits = tail[pos + 1:]
    d = len(digits)
    t = sum(dg * 255 ** i for i, dg in enumerate(digits))
    start = z - d - t
    if t <= 0 or start < 0:
        raise NoUsableContent("index length out of range")
    index = container[start:z - d]
    sizes: List[int] = []
    cur, j = 0, 0
    for byte in index[:-1]:
        if byte == 0xFF:
            sizes.append(cur)
            cur, j = 0, 0
        else:
            cur += byte * 255 ** j
            j += 1
            if cur > 0x7FFFFFFF:
                raise NoUsableContent("size overflow")
    if index[-1:] == b"\xff":
        sizes.append(cur)
    return sizes, start, t


def compress_block(data: bytes, level: int = ZLIB_LEVEL) -> bytes:
    """CompressBlock: magic, U, zlib stream (zlib compress at its default level)."""
    if len(data) == 0:
        return b""
    return struct.pack("<Ii", COMPRESSED_BLOCK_MAGIC, len(data)) + zlib.compress(data, level)


@dataclass
class InflateResult:
    ok: bool
    data: bytes = b""
    problem: Optional[str] = None
    stream_length: int = 0           # bytes of the zlib stream (when it ended)
    trailing: bytes = b""            # bytes behind the zlib stream


def decompress_block(block: bytes) -> InflateResult:
    """DecompressBlock, strict: at least 9 bytes, the magic, U, a zlib stream
    that ends and inflates to exactly U bytes."""
    if len(block) < 9:
        return InflateResult(False, problem=f"compressed block of {len(block)} bytes (< 9)")
    magic, u = struct.unpack_from("<Ii", block, 0)
    if magic != COMPRESSED_BLOCK_MAGIC:
        return InflateResult(False, problem=f"no CompressedBlockMagic (found 0x{magic:08X})")
    if u < 0:
        return InflateResult(False, problem=f"negative U {u}")
    d = zlib.decompressobj()
    try:
        out = d.decompress(block[8:], u + 1) if u >= 0 else b""
    except zlib.error as exc:
        return InflateResult(False, problem=f"zlib error: {exc}")
    if len(out) > u:
        return InflateResult(False, out[:u], problem=f"stream inflates to more than U={u} bytes")
    if not d.eof:
        return InflateResult(False, out, problem="zlib stream does not end inside the block")
    stream_len = len(block) - 8 - len(d.unused_data)
    if len(out) != u:
        return InflateResult(False, out, problem=f"inflated {len(out)} bytes, U says {u}",
                             stream_length=stream_len, trailing=d.unused_data)
    return InflateResult(True, out, stream_length=stream_len, trailing=d.unused_data)


def entry_name_bytes(name: Union[str, bytes], mode: str = SEALWISE) -> bytes:
    """Stored form of an entry name: "\\" separators, no leading "\\", the
    whole path by stored_text_bytes (one marker at its start when needed)."""
    if isinstance(name, str):
        name = name.replace("/", "\\")
        while name.startswith("\\"):
            name = name[1:]
        name = stored_text_bytes(name, mode)
    if len(name) > 255:
        raise ValueError(f"entry name of {len(name)} bytes (> 255)")
    return name


def chunk_plan(n: int, f: int) -> List[Tuple[int, int]]:
    """(file offset, byte count) of the file data in each chunk for a name of
    n bytes and a file of f bytes; chunk 0 may hold 0 file bytes."""
    e = CHUNK0_HEADER + n + f
    chunks = max(1, -(-e // CHUNK_SIZE))
    plan = []
    for c in range(chunks):
        if c == 0:
            off, cnt = 0, min(f, CHUNK_SIZE - CHUNK0_HEADER - n)
        else:
            off = c * CHUNK_SIZE - CHUNK0_HEADER - n
            cnt = min(CHUNK_SIZE, f - off)
        plan.append((off, cnt))
    return plan


@dataclass
class EntryWriteInfo:
    name: bytes
    size: int                      # S(k): bytes of the entry's chunk records
    chunk_cipher_lengths: List[int] = field(default_factory=list)
    marker: int = 0


def build_entry(name: Union[str, bytes], data: bytes, cipher: ChunkedCipher,
                random_bytes: Callable[[int], bytes] = os.urandom,
                compress: Callable[[bytes], bytes] = compress_block,
                mode: str = SEALWISE) -> Tuple[bytes, EntryWriteInfo]:
    """The chunk records of one entry, as the writer makes them."""
    nb = entry_name_bytes(name, mode)
    n, f = len(nb), len(data)
    out = bytearray()
    info = EntryWriteInfo(nb, 0)
    for c, (off, cnt) in enumerate(chunk_plan(n, f)):
        if c == 0:
            plain = bytearray(random_bytes(32))
            if f == 0:
                marker, block = EMPTY_FILE_MARKER, b""
            else:
                block = compress(data[off:off + cnt])
                marker = len(block) % 32
            plain += bytes((marker, n % 256)) + nb + block
            info.marker = marker
            cipher_bytes = cipher.encrypt_do(bytes(plain), use_iv=False)
        else:
            cipher_bytes = cipher.encrypt_do(compress(data[off:off + cnt]), use_iv=True)
        out += struct.pack("<i", len(cipher_bytes) - 1) + cipher_bytes
        info.chunk_cipher_lengths.append(len(cipher_bytes))
    info.size = len(out)
    return bytes(out), info


def write_container(path: str, entries: Iterable[Tuple[Union[str, bytes], bytes]], key_bytes: bytes,
                    random_bytes: Callable[[int], bytes] = os.urandom,
                    compress: Callable[[bytes], bytes] = compress_block,
                    backend: Optional[str] = None, mode: str = SEALWISE) -> List[EntryWriteInfo]:
    """Write a container file from (name, data) pairs; the key is 32 bytes
    (passphrase_key(p, mode)).  Returns per-entry information."""
    infos = []
    cipher = ChunkedCipher(key_bytes, backend)
    try:
        with open(path, "wb") as fh:
            for name, data in entries:
                records, info = build_entry(name, data, cipher, random_bytes, compress, mode)
                fh.write(records)
                infos.append(info)
            fh.write(encode_index([i.size for i in infos]))
    finally:
        cipher.close()
    return infos


def make_container(entries: Iterable[Tuple[Union[str, bytes], bytes]], key_bytes: bytes, **kw) -> bytes:
    """Like write_container, in memory."""
    infos = []
    cipher = ChunkedCipher(key_bytes, kw.get("backend"))
    out = bytearray()
    try:
        for name, data in entries:
            records, info = build_entry(name, data, cipher, kw.get("random_bytes", os.urandom),
                                        kw.get("compress", compress_block), kw.get("mode", SEALWISE))
            out += records
            infos.append(info)
    finally:
        cipher.close()
    return bytes(out + encode_index([i.size for i in infos]))


@dataclass
class ChunkInfo:
    offset: int                    # container offset of the chunk record
    cipher_length: int             # L + 1
    plain_used: int                # bytes of the plaintext before the zero padding
    u: Optional[int]               # U of the compressed block (None: no block)
    block_length: int              # bytes of the compressed block (8 + stream)
    stream: bytes = b""            # the zlib stream itself


@dataclass
class Entry:
    name_bytes: bytes
    name: str                      # decoded by the reader rule, "\" separators
    data: bytes
    size: int                      # S(k) from the index
    marker: int = 0
    chunks: List[ChunkInfo] = field(default_factory=list)
    problems: List[str] = field(default_factory=list)

    @property
    def path_parts(self) -> List[str]:
        return self.name.split("\\")


@dataclass
class Container:
    entries: List[Entry]
    sizes: List[int]
    index_start: int
    index_length: int
    problems: List[str] = field(default_factory=list)   # strict structure problems


def chunk0_passes(plain: bytes, only_chunk: bool) -> bool:
    """Whether a deciphered first chunk looks like one: its name fits, and a
    compressed block with the magic follows it, or (an empty file) only the
    zero padding of a single-chunk entry with marker 99."""
    if len(plain) < CHUNK0_HEADER:
        return False
    n = plain[33]
    if len(plain) < CHUNK0_HEADER + n:
        return False
    block = plain[CHUNK0_HEADER + n:]
    if len(block) >= 9 and struct.unpack_from("<i", block)[0] == COMPRESSED_BLOCK_MAGIC:
        return True
    return plain[32] == EMPTY_FILE_MARKER and only_chunk and len(block) < BLOCK_SIZE and _all_zero(block)


def choose_container_key(container: bytes, keys: Sequence[bytes], backend: Optional[str] = None) -> bytes:
    """Of keys (best first), the first under which the first chunk of an
    entry passes chunk0_passes, entries taken in index order; keys[0] when
    none does."""
    keys = list(keys)
    if len(keys) == 1:
        return keys[0]
    sizes, _, _ = locate_index(container)
    pos = 0
    for size in sizes:
        start, pos = pos, pos + size
        if size < 4 + BLOCK_SIZE:
            continue
        (l,) = struct.unpack_from("<i", container, start)
        cbytes = container[start + 4:start + 5 + l]
        if l + 1 <= 0 or (l + 1) % BLOCK_SIZE or len(cbytes) != l + 1:
            continue
        for key in keys:
            plain = envelope_decrypt(cbytes, key, backend)
            if chunk0_passes(plain, l + 5 == size):
                return key
    return keys[0]


def read_container(container: bytes, keys: Union[bytes, Sequence[bytes]], backend: Optional[str] = None,
                   mode: str = SEALWISE) -> Container:
    """Read every entry (index reader, restore) and check, strictly,
    everything the writer is meant to produce.  Problems found are
    listed in Container.problems and Entry.problems (empty = conforming).
    keys: one key, or candidates for choose_container_key.  Names are
    decoded by stored_text(mode)."""
    _check_mode(mode)
    key_bytes = keys if isinstance(keys, (bytes, bytearray)) else choose_container_key(container, keys, backend)
    sizes, index_start, t = locate_index(container)
    result = Container([], sizes, index_start, t)
    # canonical index: re-encode and compare
    if container[index_start:] != encode_index(sizes):
        result.problems.append("index or index length not in canonical base-255 form")
    if sum(sizes) != index_start:
        result.problems.append(f"entries take {sum(sizes)} bytes but the index starts at {index_start}")
    cipher = ChunkedCipher(key_bytes, backend)
    pos = 0
    try:
        for k, size in enumerate(sizes):
            entry = _read_entry(container, pos, size, cipher, mode)
            result.entries.append(entry)
            for p in entry.problems:
                result.problems.append(f"entry {k} ({entry.name!r}): {p}")
            pos += size
    finally:
        cipher.close()
    return result


def _read_entry(container: bytes, start: int, size: int, cipher: ChunkedCipher, mode: str) -> Entry:
    entry = Entry(b"", "", b"", size)
    out = bytearray()
    consumed = 0
    c = 0
    n = 0
    expected_plan: Optional[List[Tuple[int, int]]] = None
    while consumed < size:
        off = start + consumed
        if off + 4 > len(container):
            entry.problems.append("chunk record runs past the end of the container")
            break
        (l,) = struct.unpack_from("<i", container, off)
        clen = l + 1
        cbytes = container[off + 4:off + 4 + clen]
        consumed += l + 5
        if clen <= 0 or len(cbytes) != clen:
            entry.problems.append(f"chunk {c}: bad cipher length {clen}")
            break
        plain = cipher.decrypt_do(cbytes, use_iv=(c > 0))
        if plain is None:
            entry.problems.append(f"chunk {c}: cipher length {clen} is not a multiple of 32")
            break
        if c == 0:
            entry.marker = plain[32]
            n = plain[33]
            entry.name_bytes = bytes(plain[34:34 + n])
            entry.name = stored_text(entry.name_bytes, mode)
            block = plain[34 + n:]
            head = 34 + n
        else:
            block = plain
            head = 0
        info = ChunkInfo(off, clen, head, None, 0)
        if c == 0 and _all_zero(block):
            # an empty file: nothing but padding behind the name
            res = None
        else:
            res = decompress_block(block)
            if res.ok or res.data:
                write_at = 0 if c == 0 else c * CHUNK_SIZE - CHUNK0_HEADER - n
                if len(out) < write_at:
                    out += bytes(write_at - len(out))
                out[write_at:write_at + len(res.data)] = res.data
            if not res.ok:
                entry.problems.append(f"chunk {c}: {res.problem}")
            else:
                info.u = len(res.data)
                info.block_length = 8 + res.stream_length
                info.plain_used = head + info.block_length
                info.stream = bytes(block[8:8 + res.stream_length])
                if not _all_zero(res.trailing):
                    entry.problems.append(f"chunk {c}: non-zero bytes behind the zlib stream")
        if info.cipher_length != padded_length(max(info.plain_used, 1)):
            entry.problems.append(
                f"chunk {c}: {info.cipher_length} cipher bytes for {info.plain_used} plaintext bytes "
                f"(expected zero padding to {padded_length(max(info.plain_used, 1))})")
        if c == 0:
            if res is None and entry.marker != EMPTY_FILE_MARKER:
                entry.problems.append(f"empty file but marker byte {entry.marker} (expected 99)")
            if res is not None and res.ok and entry.marker != info.block_length % 32:
                entry.problems.append(
                    f"marker byte {entry.marker}, expected block length mod 32 = {info.block_length % 32}")
        entry.chunks.append(info)
        c += 1
    if consumed != size and not entry.problems:
        entry.problems.append(f"chunk records take {consumed} bytes, the index says {size}")
    entry.data = bytes(out)
    # compare the chunking with the chunk plan for the restored length
    expected_plan = chunk_plan(len(entry.name_bytes), len(entry.data))
    if len(expected_plan) != len(entry.chunks):
        entry.problems.append(f"{len(entry.chunks)} chunks, expected {len(expected_plan)} "
                              f"for E = {34 + len(entry.name_bytes) + len(entry.data)}")
    else:
        for ci, ((_, cnt), info) in enumerate(zip(expected_plan, entry.chunks)):
            if ci == 0 and cnt == 0:
                if info.u is not None:
                    entry.problems.append("chunk 0 of an empty file holds a compressed block")
            elif info.u != cnt:
                entry.problems.append(f"chunk {ci} holds U={info.u} file bytes, expected {cnt}")
    return entry


def _all_zero(b: bytes) -> bool:
    return not any(b)


# ---------------------------------------------------------------------------
# Entry names of inputs
# ---------------------------------------------------------------------------

def names_for_path(path: str) -> List[Tuple[str, str]]:
    """(full path, entry name) for an input path as the encrypt command adds
    it: a file stores its base name; a directory stores every file below it
    relative to the directory's parent ("\\" separators).  Sorted walk order."""
    path = os.path.abspath(path)
    if not os.path.isdir(path):
        return [(path, os.path.basename(path)[:255])]
    parent = os.path.dirname(path.rstrip(os.sep)) or os.sep
    result = []
    for root, dirs, files in os.walk(path):
        dirs.sort()
        for fn in sorted(files):
            full = os.path.join(root, fn)
            rel = os.path.relpath(full, parent)
            result.append((full, rel.replace(os.sep, "\\")))
    return result


def restore_entries(entries: Iterable[Entry], outdir: str) -> None:
    """Write entries below outdir, "\\" becoming "/"."""
    for e in entries:
        parts = [p for p in e.name.split("\\") if p not in ("", ".", "..")]
        target = os.path.join(outdir, *parts)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as fh:
            fh.write(e.data)


# ---------------------------------------------------------------------------
# A small command line mirroring the sealwise-cli contract
# ---------------------------------------------------------------------------

def _passphrase(args) -> str:
    if args.passphrase_env:
        return os.environ[args.passphrase_env]
    if args.passphrase_file:
        with open(args.passphrase_file, encoding="utf-8") as fh:
            return fh.readline().rstrip("\n")
    raise SystemExit("no passphrase (--passphrase-env VAR or --passphrase-file FILE)")


def _keys(args) -> List[bytes]:
    """The keys to decrypt with, best first; the first is the one to encrypt with."""
    mode = LITERAL if args.literal else SEALWISE
    if getattr(args, "shared_key_file", None):
        with open(args.shared_key_file, encoding="utf-8") as fh:
            keys = fh.read().split("\n")
        if keys and keys[-1] == "":
            keys.pop()
        return shared_keys_candidates(keys, mode)
    return passphrase_keys(_passphrase(args), mode)


def main(argv: Optional[Sequence[str]] = None) -> int:
    import argparse
    import sys
    p = argparse.ArgumentParser(prog="sealwise_ref.py", description="Sealwise reference implementation")
    sub = p.add_subparsers(dest="cmd", required=True)

    def pw(sp, shared=False):
        sp.add_argument("--passphrase-env")
        sp.add_argument("--passphrase-file")
        sp.add_argument("--literal", action="store_true",
                        help="Windows-1252 with '?' throughout, no marker, no second key")
        if shared:
            sp.add_argument("--shared-key-file")

    e = sub.add_parser("envelope")
    e.add_argument("direction", choices=("encrypt", "decrypt"))
    e.add_argument("--key-hex", required=True)
    t = sub.add_parser("encrypt-text")
    t.add_argument("--lang", default="en", choices=LANGUAGES)
    pw(t)
    d = sub.add_parser("decrypt-text")
    pw(d, shared=True)
    c = sub.add_parser("encrypt")
    c.add_argument("-o", required=True)
    c.add_argument("paths", nargs="+")
    pw(c)
    x = sub.add_parser("decrypt")
    x.add_argument("-C", default=".")
    x.add_argument("container")
    pw(x, shared=True)
    ls = sub.add_parser("list")
    ls.add_argument("container")
    pw(ls, shared=True)
    args = p.parse_args(argv)

    if args.cmd == "envelope":
        data = sys.stdin.buffer.read()
        key = bytes.fromhex(args.key_hex)
        if args.direction == "encrypt":
            sys.stdout.buffer.write(envelope_encrypt(data, key))
            return 0
        out = envelope_decrypt(data, key)
        if out is None:
            print("sealwise_ref: error: envelope length is 0 or not a multiple of 32", file=sys.stderr)
            return 1
        sys.stdout.buffer.write(out)
        return 0
    mode = LITERAL if getattr(args, "literal", False) else SEALWISE
    if args.cmd == "encrypt-text":
        text = store_newlines(sys.stdin.buffer.read().decode("utf-8"))
        sys.stdout.write(text_encrypt(text, _keys(args)[0], args.lang, mode=mode) + "\r\n")
        return 0
    if args.cmd == "decrypt-text":
        try:
            shown = text_decrypt(sys.stdin.buffer.read().decode("utf-8"), _keys(args), mode=mode)
        except WrongKeyOrDamage:
            shown = None
        if shown is None:
            print("sealwise_ref: error: not an encrypted text", file=sys.stderr)
            return 1
        sys.stdout.buffer.write(cli_shown_text(shown))
        return 0
    if args.cmd == "encrypt":
        entries = []
        for path in args.paths:
            for full, name in names_for_path(path):
                with open(full, "rb") as fh:
                    entries.append((name, fh.read()))
        write_container(args.o, entries, _keys(args)[0], mode=mode)
        return 0
    with open(args.container, "rb") as fh:
        blob = fh.read()
    cont = read_container(blob, _keys(args), mode=mode)
    for prob in cont.problems:
        print("sealwise_ref: warning:", prob, file=sys.stderr)
    if args.cmd == "list":
        for ent in cont.entries:
            print(f"{ent.name}\t{len(ent.data)}")
        return 0
    restore_entries(cont.entries, args.C)
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
