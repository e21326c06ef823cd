#!/usr/bin/python3
"""Interoperability of sealwise-cli with the independent reference (sealwise_ref).

The CLI path comes from SEALWISE_CLI; without it (or when the file is missing)
every test is skipped and the reason is printed.

    SEALWISE_CLI=/work/main/build/src/cli/sealwise-cli \\
        /usr/bin/python3 -m unittest -v test_interop_cli

Optional: SEALWISE_STRICT_ZLIB=1 makes a CLI deflate stream that differs from
zlib's compress() at level 6 a failure instead of a skip (the format only asks
for an RFC 1950 stream; the writers use zlib's compress at its default level).
"""

import hashlib
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import sealwise_ref as ref  # noqa: E402

CLI = os.environ.get("SEALWISE_CLI", "")
PW_VAR = "SEALWISE_INTEROP_PASSPHRASE"
DECOY_VAR = "SEALWISE_INTEROP_DECOY"
TIMEOUT = 300
NOTES = []          # things worth knowing that are not failures, printed at the end
DEFLATE_STATS = [0, 0]   # CLI deflate streams differing from zlib level 6, streams seen
CHUNK = ref.CHUNK_SIZE


def cli_commands():
    """Commands that `sealwise-cli --help` lists (None when it lists none)."""
    try:
        p = subprocess.run([CLI, "--help"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
    except OSError:
        return None
    found = set(re.findall(r"^ {1,8}([a-z][a-z0-9-]*)(?: {2,}|$)", p.stdout.decode("utf-8", "replace"), re.M))
    return found or None


AVAILABLE = None


def require(*commands):
    """Skip (with a message) tests of commands the CLI does not list yet,
    unless SEALWISE_INTEROP_REQUIRE_ALL=1 (then they run and fail)."""
    if os.environ.get("SEALWISE_INTEROP_REQUIRE_ALL") == "1" or AVAILABLE is None:
        return
    missing = [c for c in commands if c not in AVAILABLE]
    if missing:
        msg = f"sealwise-cli does not list the command(s) {', '.join(missing)} yet"
        NOTES.append("SKIPPED: " + msg)
        raise unittest.SkipTest(msg)


def setUpModule():
    global AVAILABLE
    if not CLI:
        msg = "interop_cli: SKIPPING all tests: SEALWISE_CLI is not set (path of sealwise-cli)"
    elif not (os.path.isfile(CLI) and os.access(CLI, os.X_OK)):
        msg = f"interop_cli: SKIPPING all tests: SEALWISE_CLI={CLI!r} is not an executable file"
    else:
        AVAILABLE = cli_commands()
        print(f"interop_cli: testing {CLI} (reference backend: "
              f"{'libmcrypt' if ref.mcrypt_available() else 'pure Python'}; "
              f"commands listed: {', '.join(sorted(AVAILABLE or [])) or 'unknown'})", file=sys.stderr)
        return
    print(msg, file=sys.stderr)
    raise unittest.SkipTest(msg)


def tearDownModule():
    if DEFLATE_STATS[0]:
        NOTES.append(f"{DEFLATE_STATS[0]} of {DEFLATE_STATS[1]} deflate streams in CLI containers differ from "
                     f"zlib compress() level 6 (all valid RFC 1950 streams that inflate exactly; the format "
                     f"allows it; SEALWISE_STRICT_ZLIB=1 makes it a failure)")
    if NOTES:
        print("\ninterop_cli notes:", file=sys.stderr)
        for n in dict.fromkeys(NOTES):
            print("  - " + n, file=sys.stderr)


def run_cli(args, stdin=b"", env=None, passphrase=None):
    e = dict(os.environ)
    e["LC_ALL"] = "C.UTF-8"
    e["LANG"] = "C.UTF-8"
    if passphrase is not None:
        e[PW_VAR] = passphrase
    if env:
        e.update(env)
    return subprocess.run([CLI] + list(args), input=stdin, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, env=e, timeout=TIMEOUT)


def describe(p):
    err = p.stderr.decode("utf-8", "replace").strip()
    return f"exit {p.returncode}; stderr: {err[:600]!r}"


def first_difference(a: bytes, b: bytes) -> str:
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return f"first difference at byte {i} (got {x:#04x}, want {y:#04x})"
    return f"lengths differ: got {len(a)}, want {len(b)}"


def rnd(rng, n):
    return rng.randbytes(n)


# ---------------------------------------------------------------------------
# (a) the raw cipher envelope
# ---------------------------------------------------------------------------

ENVELOPE_LENGTHS = list(range(1, 101)) + [255, 256, 257, 1000, 4096 + 7]
KEY_LENGTHS = [1, 5, 16, 31, 32, 32, 32, 33, 40, 64]


class EnvelopeInterop(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        require("envelope")

    def cases(self, seed):
        rng = random.Random(seed)
        for n in ENVELOPE_LENGTHS:
            key = rnd(rng, rng.choice(KEY_LENGTHS))
            key_hex = key.hex().upper() if n % 3 == 0 else key.hex()
            yield n, key, key_hex, rnd(rng, n)

    def test_cli_encrypt_equals_reference(self):
        for n, key, key_hex, msg in self.cases(101):
            with self.subTest(length=n, key_bytes=len(key)):
                p = run_cli(["envelope", "encrypt", "--key-hex", key_hex], msg)
                self.assertEqual(p.returncode, 0, describe(p))
                want = ref.envelope_encrypt(msg, key)
                self.assertEqual(len(p.stdout), ref.padded_length(n))
                self.assertTrue(p.stdout == want, first_difference(p.stdout, want) + f"; key {key_hex}")

    def test_cli_decrypts_reference_envelopes(self):
        for n, key, key_hex, msg in self.cases(202):
            with self.subTest(length=n, key_bytes=len(key)):
                env = ref.envelope_encrypt(msg, key)
                p = run_cli(["envelope", "decrypt", "--key-hex", key_hex], env)
                self.assertEqual(p.returncode, 0, describe(p))
                want = ref.zero_pad(msg)           # all 32*n bytes, padding included
                self.assertTrue(p.stdout == want, first_difference(p.stdout, want) + f"; key {key_hex}")

    def test_cli_decrypts_arbitrary_blocks_like_reference(self):
        rng = random.Random(303)
        for nblocks in (1, 2, 3, 17):
            key = rnd(rng, 32)
            data = rnd(rng, 32 * nblocks)
            p = run_cli(["envelope", "decrypt", "--key-hex", key.hex()], data)
            self.assertEqual(p.returncode, 0, describe(p))
            self.assertEqual(p.stdout, ref.envelope_decrypt(data, key))

    def test_key_bytes_beyond_32_are_ignored(self):
        rng = random.Random(404)
        key = rnd(rng, 32)
        msg = b"the same message under two spellings of one key"
        a = run_cli(["envelope", "encrypt", "--key-hex", key.hex()], msg)
        b = run_cli(["envelope", "encrypt", "--key-hex", (key + b"\xff" * 8).hex()], msg)
        self.assertEqual((a.returncode, b.returncode), (0, 0), describe(a) + describe(b))
        self.assertEqual(a.stdout, b.stdout)

    def test_decrypt_of_bad_length_exits_1(self):
        key = "00112233"
        for n in (0, 1, 31, 33, 63, 100):
            with self.subTest(length=n):
                p = run_cli(["envelope", "decrypt", "--key-hex", key], bytes(n))
                self.assertEqual(p.returncode, 1, describe(p))


# ---------------------------------------------------------------------------
# (b) text armour
# ---------------------------------------------------------------------------

# Texts as stored (line breaks CR LF), all inside Windows-1252.
STORED_TEXTS = [
    "Hello",
    "x",
    "Grüße aus Köln – 5 € für Œuvre… «ça va?» ß",
    "line one\r\nline two\r\n\r\nline four",
    "ends with a line break\r\n",
    "a" * 31,
    "b" * 32,
    "tabs\tand \"quotes\", \\backslashes\\ and <html>&amp; 100%",
    "lone CR\rinside",
    "\r\nstarts with a line break",
]
PASSPHRASES = [
    "correct horse battery staple",
    "p",
    "Schlüssel€ mit Ümläuten",
    "exactly-32-characters-long-pass!",
    "a passphrase that is longer than thirty-two characters",
    "ä" * 40,
]


def long_text(rng):
    words = ["Sealwise", "Rijndael", "Grüße", "€", "Zeile", "chiffré", "texto"]
    lines = [" ".join(rng.choice(words) for _ in range(rng.randint(0, 15))) for _ in range(120)]
    return "\r\n".join(lines)


def find_printable_shared_keys(rng, count=3):
    """Keys whose combined key bytes all are printable Windows-1252 characters,
    so that a passphrase with exactly those 32 characters can be handed to
    `encrypt-text` (which always uses a single passphrase)."""
    for attempt in range(200000):
        keys = [f"Key{i + 1}-{attempt}-{rng.getrandbits(32):08x}" for i in range(count)]
        kb = ref.combine_shared_keys(keys)
        if all(b >= 0x20 and b != 0x7F and b not in ref.CP1252_UNDEFINED_IN_PYTHON for b in kb):
            pw = ref.cp1252_decode(kb)
            assert ref.passphrase_key(pw) == kb
            return keys, pw
    raise AssertionError("no printable key found")


class TextInterop(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        require("encrypt-text", "decrypt-text")
        cls.tmp = tempfile.mkdtemp(prefix="sealwise-interop-text-")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    # -- helpers --
    def cli_encrypt(self, text_input: str, passphrase: str, lang: str) -> str:
        p = run_cli(["encrypt-text", "--lang", lang, "--passphrase-env", PW_VAR],
                    text_input.encode("utf-8"), passphrase=passphrase)
        self.assertEqual(p.returncode, 0, describe(p))
        out = p.stdout.decode("ascii")
        # CR LF, which a reader drops like the breaks inside the armour; a lone LF would be
        # decoded as a character
        self.assertTrue(out.endswith("\r\n"), "armour does not end with CR LF")
        out = out[:-2]
        problem = ref.armour_is_well_formed(out)
        self.assertIsNone(problem, f"CLI armour is not in the Base64 armour form: {problem}")
        return out

    def cli_decrypt(self, armour: str, passphrase=None, shared_file=None, expect_rc=0) -> bytes:
        args = ["decrypt-text"]
        env = {}
        if shared_file:
            # a decoy passphrase: it must not be used when shared keys are given
            env[DECOY_VAR] = "decoy passphrase that must be ignored"
            args += ["--passphrase-env", DECOY_VAR, "--shared-key-file", shared_file]
        else:
            args += ["--passphrase-env", PW_VAR]
        p = run_cli(args, armour.encode("ascii"), env=env, passphrase=passphrase)
        self.assertEqual(p.returncode, expect_rc, describe(p))
        return p.stdout

    def check_cli_plaintext(self, armour, key, lang, text):
        """The stored plaintext of a CLI armour: R, the notice line in
        Windows-1252, CR LF, the text by the stored-text rule, zero padding."""
        plain = ref.envelope_decrypt(ref.decode_base64(armour), key)
        self.assertIsNotNone(plain, "CLI envelope length is not a multiple of 32")
        body = ref.cp1252_encode(ref.notice_line(lang) + "\r\n") + ref.stored_text_bytes(text)
        self.assertEqual(plain[32:32 + len(body)], body,
                         "stored text bytes differ from the Windows-1252/marker rule")
        self.assertEqual(len(plain), ref.padded_length(32 + len(body)), "wrong amount of zero padding")
        self.assertEqual(plain[32 + len(body):], bytes(len(plain) - 32 - len(body)))
        return plain[:32]

    # -- reference -> CLI --
    def test_reference_armour_decrypted_by_cli(self):
        rng = random.Random(7)
        texts = STORED_TEXTS + [long_text(rng)]
        i = 0
        for lang in ref.LANGUAGES:
            for text in texts:
                pw = PASSPHRASES[i % len(PASSPHRASES)]
                i += 1
                with self.subTest(lang=lang, text=text[:40], passphrase=pw):
                    arm = ref.text_encrypt(text, ref.passphrase_key(pw), lang)
                    got = self.cli_decrypt(arm, passphrase=pw)
                    want = ref.cli_shown_text(ref.notice_line(lang) + "\r\n" + text)
                    self.assertEqual(got.decode("utf-8", "replace"), want.decode("utf-8"))
                    self.assertEqual(got, want)

    def test_reference_armour_pasted_without_breaks_and_padding(self):
        pw = "paste test"
        arm = ref.text_encrypt("pasted " * 30, ref.passphrase_key(pw), "en")
        want = ref.cli_shown_text(ref.notice_line("en") + "\r\n" + "pasted " * 30)
        for variant in (arm.replace("\r\n", ""), arm.replace("=", ""), arm.replace("\r\n", " \r\n ")):
            self.assertEqual(self.cli_decrypt(variant, passphrase=pw), want)

    # -- CLI -> reference --
    def test_cli_armour_decrypted_by_reference(self):
        inputs = [
            "Hello",
            "Grüße aus Köln – 5 € für Œuvre… ß",
            "unix\nline\nbreaks\n",
            "windows\r\nline\r\nbreaks",
            "mixed\nbreaks\r\nand a lone CR\rhere",
            "c" * 33,
            "\n",
        ]
        i = 0
        for lang in ref.LANGUAGES:
            for text in inputs:
                pw = PASSPHRASES[i % len(PASSPHRASES)]
                i += 1
                with self.subTest(lang=lang, text=text[:40], passphrase=pw):
                    arm = self.cli_encrypt(text, pw, lang)
                    key = ref.passphrase_key(pw)
                    shown = ref.text_decrypt(arm, key)
                    want = ref.notice_line(lang) + "\r\n" + ref.store_newlines(text)
                    self.assertEqual(shown, want)
                    self.check_cli_plaintext(arm, key, lang, ref.store_newlines(text))
                    # a reader that follows the format literally shows the same
                    self.assertEqual(ref.text_decrypt(arm, key, mode=ref.LITERAL), want)

    def test_cli_random_prefix_differs(self):
        a = self.cli_encrypt("same text", "pw", "en")
        b = self.cli_encrypt("same text", "pw", "en")
        self.assertNotEqual(a, b)
        key = ref.passphrase_key("pw")
        ra = self.check_cli_plaintext(a, key, "en", "same text")
        rb = self.check_cli_plaintext(b, key, "en", "same text")
        self.assertNotEqual(ra, rb)

    def test_long_text_both_ways(self):
        rng = random.Random(99)
        text = long_text(rng).replace("\r\n", "\n")
        arm = self.cli_encrypt(text, "long", "de")
        self.assertGreater(arm.count("\r\n"), 10)
        want = ref.notice_line("de") + "\r\n" + ref.store_newlines(text)
        self.assertEqual(ref.text_decrypt(arm, ref.passphrase_key("long")), want)
        self.assertEqual(self.cli_decrypt(arm, passphrase="long"), ref.cli_shown_text(want))

    def test_texts_outside_cp1252_round_trip(self):
        for text in ("日本語のテキスト und Grüße €", "ï»¿ looks like a marker", "\ufeffBOM first", "😀 x"):
            with self.subTest(text=text):
                pw = "utf8"
                key = ref.passphrase_key(pw)
                want = ref.notice_line("fr") + "\r\n" + text
                arm = self.cli_encrypt(text, pw, "fr")
                self.check_cli_plaintext(arm, key, "fr", text)   # marker, then UTF-8
                self.assertEqual(ref.text_decrypt(arm, key), want)
                self.assertEqual(self.cli_decrypt(arm, passphrase=pw), ref.cli_shown_text(want))
                arm2 = ref.text_encrypt(text, key, "fr")
                self.assertEqual(self.cli_decrypt(arm2, passphrase=pw), ref.cli_shown_text(want))

    def test_literal_texts_that_look_like_utf8(self):
        # Windows-1252 bytes that happen to be valid UTF-8 ("Gruß…" is DF 85,
        # "Ã©" is C3 A9): unmarked, so shown as Windows-1252, exactly.
        pw = "rule"
        key = ref.passphrase_key(pw, ref.LITERAL)
        for text in ("Gruß…", "Ã©tÃ©", "„Straß“", "Ã¤ and ä"):
            with self.subTest(text=text):
                arm = ref.text_encrypt(text, key, "de", mode=ref.LITERAL)
                want = ref.notice_line("de") + "\r\n" + text
                self.assertEqual(ref.text_decrypt(arm, key, mode=ref.LITERAL), want)
                self.assertEqual(self.cli_decrypt(arm, passphrase=pw), ref.cli_shown_text(want))

    def test_cli_armour_as_saved_is_read_by_the_literal_reader(self):
        # encrypt-text's output with its line ending, pasted whole: the envelope
        # lengths cover all three remainders of the Base64 groups
        pw = "saved"
        key = ref.passphrase_key(pw)
        lengths = set()
        for n in range(0, 96, 11):
            text = "Grüße " + "z" * n
            p = run_cli(["encrypt-text", "--lang", "de", "--passphrase-env", PW_VAR], text.encode(), passphrase=pw)
            self.assertEqual(p.returncode, 0, describe(p))
            saved = p.stdout.decode("ascii")
            lengths.add(len(ref.decode_base64(saved)) // 32 % 3)
            self.assertEqual(ref.text_decrypt(saved, key, mode=ref.LITERAL), ref.notice_line("de") + "\r\n" + text)
        self.assertEqual(lengths, {0, 1, 2})

    def test_wrong_passphrase_prints_nothing(self):
        arm = ref.text_encrypt("secret", ref.passphrase_key("right"), "en")
        self.assertEqual(self.cli_decrypt(arm, passphrase="wrong", expect_rc=1), b"")

    def test_passphrase_file(self):
        for prefix in ("", "\ufeff"):        # an editor's byte-order mark is no part of it
            path = os.path.join(self.tmp, "pw.txt")
            with open(path, "w", encoding="utf-8", newline="") as fh:
                fh.write(prefix + "from a file ü\nsecond line is ignored\n")
            p = run_cli(["encrypt-text", "--lang", "en", "--passphrase-file", path], b"via file")
            self.assertEqual(p.returncode, 0, describe(p))
            arm = p.stdout.decode("ascii")
            self.assertEqual(ref.text_decrypt(arm, ref.passphrase_key("from a file ü")),
                             ref.notice_line("en") + "\r\nvia file")

    def test_passphrases_outside_cp1252(self):
        # ours: the first 32 characters, BLAKE2b-256 of their UTF-8 when one does
        # not fit; a literal writer's "?" key opens with the same passphrase
        for pw in ("日本 pass", "пароль-" * 6, "p" * 31 + "日", "p" * 32 + "日本"):
            for mode in ref.MODES:
                with self.subTest(passphrase=pw, mode=mode):
                    key = ref.passphrase_key(pw, mode)
                    arm = ref.text_encrypt("q", key, "en", mode=mode)
                    self.assertEqual(self.cli_decrypt(arm, passphrase=pw),
                                     ref.cli_shown_text(ref.notice_line("en") + "\r\nq"))
            arm2 = self.cli_encrypt("r", pw, "en")
            self.assertEqual(ref.text_decrypt(arm2, ref.passphrase_key(pw)), ref.notice_line("en") + "\r\nr")
        # where strings are UTF-16, a character beyond U+FFFF is two "?"
        pw = "😀 emoji"
        arm = ref.text_encrypt("u", ref.passphrase_key(ref.utf16_units(pw), ref.LITERAL), "en", mode=ref.LITERAL)
        self.assertEqual(self.cli_decrypt(arm, passphrase=pw), ref.cli_shown_text(ref.notice_line("en") + "\r\nu"))

    def test_shared_keys_outside_cp1252(self):
        keys = ["日本 key", "b€", "третий"]
        path = os.path.join(self.tmp, "keys-utf8.txt")
        with open(path, "w", encoding="utf-8", newline="") as fh:
            fh.write("\ufeff" + "\n".join(keys) + "\n")
        for mode in ref.MODES:
            with self.subTest(mode=mode):
                arm = ref.text_encrypt("utf-8 keys", ref.combine_shared_keys(keys, mode), "en", mode=mode)
                self.assertEqual(self.cli_decrypt(arm, shared_file=path),
                                 ref.cli_shown_text(ref.notice_line("en") + "\r\nutf-8 keys"))

    def test_shared_keys_reference_to_cli(self):
        keys = ["first key", "zweiter Schlüssel", "troisième clé €"]
        path = os.path.join(self.tmp, "keys3.txt")
        with open(path, "w", encoding="utf-8", newline="") as fh:
            fh.write("\n".join(keys) + "\n")
        kb = ref.combine_shared_keys(keys)
        for lang in ("en", "de"):
            arm = ref.text_encrypt("shared secret\r\nline 2", kb, lang)
            got = self.cli_decrypt(arm, shared_file=path)
            self.assertEqual(got, ref.cli_shown_text(ref.notice_line(lang) + "\r\nshared secret\r\nline 2"))

    def test_shared_keys_cli_to_reference(self):
        keys, pw = find_printable_shared_keys(random.Random(3))
        path = os.path.join(self.tmp, "keys3b.txt")
        with open(path, "w", encoding="utf-8", newline="") as fh:
            fh.write("\n".join(keys) + "\n")
        arm = self.cli_encrypt("made by the CLI\nfor three keys", pw, "es")
        want = ref.notice_line("es") + "\r\nmade by the CLI\r\nfor three keys"
        self.assertEqual(ref.text_decrypt(arm, ref.combine_shared_keys(keys)), want)
        self.assertEqual(self.cli_decrypt(arm, shared_file=path), ref.cli_shown_text(want))

    def test_empty_text_is_refused(self):
        p = run_cli(["encrypt-text", "--lang", "en", "--passphrase-env", PW_VAR], b"", passphrase="pw")
        self.assertEqual(p.returncode, 1, describe(p))

    def test_armour_of_bad_length_is_refused(self):
        for armour in ("QUJD", ref.encode_base64(bytes(33)), ""):
            p = run_cli(["decrypt-text", "--passphrase-env", PW_VAR], armour.encode(), passphrase="pw")
            self.assertEqual(p.returncode, 1, f"armour {armour[:20]!r}: " + describe(p))


# ---------------------------------------------------------------------------
# (c) containers
# ---------------------------------------------------------------------------

def mixed_data(rng, size):
    """Compressible text runs interleaved with random blocks."""
    out = bytearray()
    text = b"Sealwise packs files into one enciphered container. " * 40
    while len(out) < size:
        if rng.random() < 0.5:
            out += text[:rng.randint(1000, len(text))]
        else:
            out += rng.randbytes(rng.randint(1000, 60000))
    return bytes(out[:size])


def write_tree(root, files):
    """files: {relative path with "/": bytes}; directories are created."""
    for rel, data in files.items():
        path = os.path.join(root, *rel.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as fh:
            fh.write(data)


def read_tree(root):
    result = {}
    for dirpath, _, files in os.walk(root):
        for fn in files:
            full = os.path.join(dirpath, fn)
            rel = os.path.relpath(full, root).replace(os.sep, "/")
            with open(full, "rb") as fh:
                result[rel] = fh.read()
    return result


def summarize_tree_diff(got, want):
    missing = sorted(set(want) - set(got))
    extra = sorted(set(got) - set(want))
    wrong = sorted(k for k in set(got) & set(want) if got[k] != want[k])
    parts = []
    if missing:
        parts.append(f"missing {len(missing)}: {missing[:5]}")
    if extra:
        parts.append(f"unexpected {len(extra)}: {extra[:5]}")
    for k in wrong[:5]:
        parts.append(f"{k}: {first_difference(got[k], want[k])}")
    return "; ".join(parts)


class ContainerInterop(unittest.TestCase):
    PASSPHRASE = "Container Paß €-42"

    @classmethod
    def setUpClass(cls):
        require("encrypt", "decrypt")
        cls.tmp = tempfile.mkdtemp(prefix="sealwise-interop-vesk-")
        cls.key = ref.passphrase_key(cls.PASSPHRASE)
        rng = random.Random(4242)
        # Each data set: the top-level inputs as they are handed to `encrypt`
        # ({name: bytes} with "/" separators, relative to an input directory).
        cls.sets = {
            "empty": {"empty.txt": b""},
            "big": {"big.bin": mixed_data(rng, 5_300_000)},
            "exact1": {"exact_one.bin": mixed_data(rng, CHUNK - 34 - len("exact_one.bin"))},
            "exact1plus": {"exact_two.bin": mixed_data(rng, CHUNK + 1 - 34 - len("exact_two.bin"))},
            "exact2": {"exact_2x.bin": mixed_data(rng, 2 * CHUNK - 34 - len("exact_2x.bin"))},
            "tree": {
                "proj/a.txt": b"alpha\n" * 100,
                "proj/.hidden": b"hidden file",
                "proj/empty.dat": b"",
                "proj/sub/one.bin": b"\x01",
                "proj/sub/b31.bin": rng.randbytes(31),
                "proj/sub/deeper/c32.bin": rng.randbytes(32),
                "proj/sub/deeper/d33.bin": rng.randbytes(33),
                "proj/sub/deeper/deepest/e70k.bin": mixed_data(rng, 70_000),
                "proj/other/f.txt": "Grüße\r\n".encode("cp1252") * 10,
            },
            "many": {f"many/f{i:03d}.txt": (b"file %d\n" % i) * (i % 13) for i in range(300)},
            "cp1252": {
                "Grüße/Übersicht ä.txt": b"Uebersicht",
                "Grüße/€uro—Œuvre….txt": b"euro",
                "Grüße/naïve café.txt": b"",
                "Grüße/sous-dossier/résumé ß.doc": b"resume " * 99,
            },
            "names": {
                "n" * 30: b"",
                "m" * 62: b"",
                "d" * 100 + "/" + "f" * 154: b"255-byte entry name",
            },
            "utf8": {"日本語/ファイル ü.txt": "UTF-8 名前".encode("utf-8")},
        }
        # Trees on disk for CLI encryption: one directory per set, holding the
        # inputs; the inputs are the top-level items of that directory.
        cls.disk = {}
        for set_name, files in cls.sets.items():
            root = os.path.join(cls.tmp, "src", set_name)
            os.makedirs(root)
            write_tree(root, files)
            # an empty directory next to the files must produce no entry
            if set_name == "tree":
                os.makedirs(os.path.join(root, "proj", "emptydir"))
            cls.disk[set_name] = root

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def fresh_dir(self, label):
        return tempfile.mkdtemp(prefix=label + "-", dir=self.tmp)

    def cli_restore(self, container, outdir=None, passphrase=None):
        outdir = outdir or self.fresh_dir("out")
        p = run_cli(["decrypt", "-C", outdir, "--passphrase-env", PW_VAR, container],
                    passphrase=passphrase or self.PASSPHRASE)
        self.assertEqual(p.returncode, 0, describe(p))
        return outdir

    def cli_make(self, paths, passphrase=None):
        container = os.path.join(self.fresh_dir("vesk"), "made-by-cli.vesk")
        p = run_cli(["encrypt", "-o", container, "--passphrase-env", PW_VAR] + list(paths),
                    passphrase=passphrase or self.PASSPHRASE)
        self.assertEqual(p.returncode, 0, describe(p))
        self.assertTrue(os.path.isfile(container), "no container written")
        return container

    def inputs_of(self, set_name):
        root = self.disk[set_name]
        return [os.path.join(root, n) for n in sorted(os.listdir(root))]

    def expected_entries(self, set_name):
        """{entry name with "\\": bytes} for encrypting the set's inputs."""
        want = {}
        for path in self.inputs_of(set_name):
            for full, name in ref.names_for_path(path):
                with open(full, "rb") as fh:
                    want[name] = fh.read()
        return want

    # -- reference -> CLI --
    def reference_to_cli(self, set_name):
        files = self.sets[set_name]
        entries = [(rel.replace("/", "\\"), data) for rel, data in files.items()]
        container = os.path.join(self.fresh_dir("ref"), set_name + ".vesk")
        infos = ref.write_container(container, entries, self.key)
        out = self.cli_restore(container)
        got = read_tree(out)
        self.assertTrue(got == files, summarize_tree_diff(got, files))
        return infos

    def test_ref_to_cli_empty_file(self):
        infos = self.reference_to_cli("empty")
        self.assertEqual(infos[0].marker, 99)

    def test_ref_to_cli_multi_chunk(self):
        infos = self.reference_to_cli("big")
        self.assertEqual(len(infos[0].chunk_cipher_lengths), 3)

    def test_ref_to_cli_exact_chunk_size(self):
        self.assertEqual(len(self.reference_to_cli("exact1")[0].chunk_cipher_lengths), 1)

    def test_ref_to_cli_chunk_size_plus_one(self):
        self.assertEqual(len(self.reference_to_cli("exact1plus")[0].chunk_cipher_lengths), 2)

    def test_ref_to_cli_two_full_chunks(self):
        self.assertEqual(len(self.reference_to_cli("exact2")[0].chunk_cipher_lengths), 2)

    def test_ref_to_cli_nested_tree(self):
        self.reference_to_cli("tree")

    def test_ref_to_cli_300_files(self):
        infos = self.reference_to_cli("many")
        self.assertGreaterEqual(len(ref.encode_index([i.size for i in infos])), 255 + 2)

    def test_ref_to_cli_windows_1252_names(self):
        self.reference_to_cli("cp1252")

    def test_ref_to_cli_name_lengths(self):
        self.reference_to_cli("names")

    def test_ref_to_cli_utf8_names(self):
        self.reference_to_cli("utf8")

    def test_literal_containers_restore_exactly(self):
        # Made as the format says literally: names and passphrase in Windows-1252
        # with "?"; names whose bytes look like UTF-8 stay what they are.
        files = {
            "Ã©tude.txt": b"etude",
            "Gruß….txt": b"gruss",
            "d/Ã¤/„Straß“.txt": b"strasse",
            "日本/x.txt": b"question marks",
        }
        want = {rel.replace("日本", "??"): data for rel, data in files.items()}
        entries = [(rel.replace("/", "\\"), data) for rel, data in files.items()]
        for pw in ("日本 pass", "p" * 31 + "日", "p" * 32 + "日本", "Paß €"):
            with self.subTest(passphrase=pw):
                container = os.path.join(self.fresh_dir("lit"), "literal.vesk")
                ref.write_container(container, entries, ref.passphrase_key(pw, ref.LITERAL), mode=ref.LITERAL)
                got = read_tree(self.cli_restore(container, passphrase=pw))
                self.assertTrue(got == want, summarize_tree_diff(got, want))

    def test_literal_shared_keys_container(self):
        keys = ["erster", "日本", "third"]
        path = os.path.join(self.tmp, "literal-keys.txt")
        with open(path, "w", encoding="utf-8", newline="") as fh:
            fh.write("\n".join(keys) + "\n")
        container = os.path.join(self.fresh_dir("lit"), "shared.vesk")
        ref.write_container(container, [("a.txt", b"shared")], ref.combine_shared_keys(keys, ref.LITERAL),
                            mode=ref.LITERAL)
        out = self.fresh_dir("out")
        p = run_cli(["decrypt", "-C", out, "--shared-key-file", path, container])
        self.assertEqual(p.returncode, 0, describe(p))
        self.assertEqual(read_tree(out), {"a.txt": b"shared"})

    def test_ref_to_cli_all_in_one(self):
        files = {}
        for set_name in ("empty", "tree", "cp1252", "names"):
            files.update(self.sets[set_name])
        entries = [(rel.replace("/", "\\"), data) for rel, data in files.items()]
        container = os.path.join(self.fresh_dir("ref"), "all.vesk")
        ref.write_container(container, entries, self.key)
        got = read_tree(self.cli_restore(container))
        self.assertTrue(got == files, summarize_tree_diff(got, files))

    # -- CLI -> reference --
    def cli_to_reference(self, set_name, paths=None, want=None):
        paths = paths or self.inputs_of(set_name)
        want = want if want is not None else self.expected_entries(set_name)
        container = self.cli_make(paths)
        with open(container, "rb") as fh:
            blob = fh.read()
        cont = ref.read_container(blob, self.key)
        names = [e.name for e in cont.entries]
        self.assertEqual(len(names), len(set(names)), "duplicate entry names")
        got = {e.name: e.data for e in cont.entries}
        self.assertTrue(got == want, summarize_tree_diff(got, want))
        self.assertEqual(cont.problems, [], "structure differs from the container format")
        for e in cont.entries:
            self.assertEqual(e.name_bytes, ref.entry_name_bytes(e.name), "entry name bytes")
        self._compare_deflate(cont)
        return cont

    def _compare_deflate(self, cont):
        differing = 0
        total = 0
        for e in cont.entries:
            plan = ref.chunk_plan(len(e.name_bytes), len(e.data))
            for (off, cnt), ch in zip(plan, e.chunks):
                if ch.u is None:
                    continue
                total += 1
                if ch.stream != zlib.compress(e.data[off:off + cnt], ref.ZLIB_LEVEL):
                    differing += 1
        DEFLATE_STATS[0] += differing
        DEFLATE_STATS[1] += total
        if differing and os.environ.get("SEALWISE_STRICT_ZLIB") == "1":
            self.fail(f"{differing} of {total} CLI deflate streams differ from zlib compress() level 6")

    def test_cli_to_ref_empty_file(self):
        cont = self.cli_to_reference("empty")
        e = cont.entries[0]
        self.assertEqual((e.name, e.marker, len(e.chunks)), ("empty.txt", 99, 1))

    def test_cli_to_ref_multi_chunk(self):
        cont = self.cli_to_reference("big")
        self.assertEqual(len(cont.entries[0].chunks), 3)

    def test_cli_to_ref_exact_chunk_size(self):
        cont = self.cli_to_reference("exact1")
        self.assertEqual(len(cont.entries[0].chunks), 1)

    def test_cli_to_ref_chunk_size_plus_one(self):
        cont = self.cli_to_reference("exact1plus")
        chunks = cont.entries[0].chunks
        self.assertEqual(len(chunks), 2)
        self.assertEqual(chunks[1].u, 1)

    def test_cli_to_ref_two_full_chunks(self):
        cont = self.cli_to_reference("exact2")
        self.assertEqual([c.u for c in cont.entries[0].chunks], [CHUNK - 34 - 12, CHUNK])

    def test_cli_to_ref_nested_tree(self):
        cont = self.cli_to_reference("tree")
        self.assertIn("proj\\sub\\deeper\\deepest\\e70k.bin", [e.name for e in cont.entries])
        self.assertIn("proj\\.hidden", [e.name for e in cont.entries])

    def test_cli_to_ref_300_files(self):
        cont = self.cli_to_reference("many")
        self.assertEqual(len(cont.entries), 300)
        self.assertGreaterEqual(cont.index_length, 255)

    def test_cli_to_ref_windows_1252_names(self):
        cont = self.cli_to_reference("cp1252")
        by_name = {e.name: e for e in cont.entries}
        self.assertEqual(by_name["Grüße\\Übersicht ä.txt"].name_bytes, b"Gr\xfc\xdfe\\\xdcbersicht \xe4.txt")
        self.assertEqual(by_name["Grüße\\€uro—Œuvre….txt"].name_bytes, b"Gr\xfc\xdfe\\\x80uro\x97\x8cuvre\x85.txt")

    def test_cli_to_ref_name_lengths(self):
        cont = self.cli_to_reference("names")
        lengths = sorted(len(e.name_bytes) for e in cont.entries)
        self.assertEqual(lengths, [30, 62, 255])

    def test_cli_to_ref_utf8_names(self):
        cont = self.cli_to_reference("utf8")
        self.assertEqual(cont.entries[0].name_bytes, ref.UTF8_MARKER + "日本語\\ファイル ü.txt".encode("utf-8"))

    def test_cli_to_ref_files_and_directory_mixed(self):
        # single files store their base name, a directory its tree below its parent
        tree_root = self.disk["tree"]
        paths = [os.path.join(tree_root, "proj", "a.txt"),
                 os.path.join(self.disk["cp1252"], "Grüße", "Übersicht ä.txt"),
                 os.path.join(tree_root, "proj", "sub")]
        want = {"a.txt": self.sets["tree"]["proj/a.txt"],
                "Übersicht ä.txt": b"Uebersicht"}
        for rel, data in self.sets["tree"].items():
            if rel.startswith("proj/sub/"):
                want[rel[len("proj/"):].replace("/", "\\")] = data
        self.cli_to_reference("mixed", paths=paths, want=want)

    # -- CLI both ways, list, failures --
    def test_cli_roundtrip_restores_tree(self):
        container = self.cli_make(self.inputs_of("tree"))
        got = read_tree(self.cli_restore(container))
        self.assertTrue(got == self.sets["tree"], summarize_tree_diff(got, self.sets["tree"]))

    def test_passphrase_file_for_containers(self):
        path = os.path.join(self.tmp, "pw-container.txt")
        with open(path, "w", encoding="utf-8") as fh:
            fh.write(self.PASSPHRASE + "\n")
        container = os.path.join(self.fresh_dir("vesk"), "pf.vesk")
        p = run_cli(["encrypt", "-o", container, "--passphrase-file", path] + self.inputs_of("cp1252"))
        self.assertEqual(p.returncode, 0, describe(p))
        with open(container, "rb") as fh:
            cont = ref.read_container(fh.read(), self.key)
        self.assertEqual({e.name: e.data for e in cont.entries}, self.expected_entries("cp1252"))

    def test_list(self):
        require("list")
        container = os.path.join(self.fresh_dir("ref"), "list.vesk")
        files = dict(self.sets["tree"])
        files.update(self.sets["cp1252"])
        entries = [(rel.replace("/", "\\"), data) for rel, data in files.items()]
        infos = ref.write_container(container, entries, self.key)
        p = run_cli(["list", container, "--passphrase-env", PW_VAR], passphrase=self.PASSPHRASE)
        self.assertEqual(p.returncode, 0, describe(p))
        lines = p.stdout.decode("utf-8").splitlines()
        self.assertEqual(len(lines), len(entries), lines[:5])
        got = [tuple(line.rsplit("\t", 1)) for line in lines]
        self.assertTrue(all(len(g) == 2 for g in got), lines[:5])
        want_names = [n for n, _ in entries]
        got_names = [g[0] for g in got]
        if got_names != want_names:
            self.assertEqual([n.replace("/", "\\") for n in got_names], want_names)
            NOTES.append("list prints entry names with '/' separators")
        sizes = [int(g[1]) for g in got]
        file_sizes = [len(d) for _, d in entries]
        stored_sizes = [i.size for i in infos]
        if sizes == file_sizes:
            NOTES.append("list prints the restored file size")
        elif sizes == stored_sizes:
            NOTES.append("list prints the stored entry size S(k)")
        else:
            self.fail(f"list sizes match neither file sizes nor stored sizes: {sizes[:5]}")

    def test_shared_keys_container_ref_to_cli(self):
        # Decrypting a container may use shared security (`decrypt --help`
        # offers --shared-key-file).
        if "--shared-key-file" not in run_cli(["decrypt", "--help"]).stdout.decode("utf-8", "replace"):
            self.skipTest("decrypt has no --shared-key-file option")
        keys = ["erster", "second €", "third", "日本"]
        path = os.path.join(self.tmp, "container-keys.txt")
        with open(path, "w", encoding="utf-8", newline="") as fh:
            fh.write("\n".join(keys) + "\n")
        files = self.sets["cp1252"]
        entries = [(rel.replace("/", "\\"), data) for rel, data in files.items()]
        container = os.path.join(self.fresh_dir("ref"), "shared.vesk")
        ref.write_container(container, entries, ref.combine_shared_keys(keys))
        out = self.fresh_dir("out")
        p = run_cli(["decrypt", "-C", out, "--shared-key-file", path, container])
        self.assertEqual(p.returncode, 0, describe(p))
        got = read_tree(out)
        self.assertTrue(got == files, summarize_tree_diff(got, files))

    def test_container_without_usable_content(self):
        d = self.fresh_dir("bad")
        for name, blob in (("three.vesk", b"\x01\x02\x03"), ("noff.vesk", bytes(300))):
            path = os.path.join(d, name)
            with open(path, "wb") as fh:
                fh.write(blob)
            p = run_cli(["decrypt", "-C", self.fresh_dir("out"), "--passphrase-env", PW_VAR, path],
                        passphrase=self.PASSPHRASE)
            self.assertEqual(p.returncode, 1, f"{name}: " + describe(p))


if __name__ == "__main__":
    unittest.main(verbosity=2)
