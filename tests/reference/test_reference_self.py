#!/usr/bin/python3
"""Checks of the reference implementation itself (no C++ involved).

Run: cd tests/reference && /usr/bin/python3 -m unittest -v test_reference_self
"""

import base64
import hashlib
import os
import random
import struct
import sys
import tempfile
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sealwise_ref as ref  # noqa: E402

HAVE_MCRYPT = ref.mcrypt_available()
NEED_MCRYPT = unittest.skipUnless(HAVE_MCRYPT, "libmcrypt4 is not installed (apt-get install libmcrypt4)")

# FIPS-197 Appendix C (AES = Rijndael with Nb = 4)
FIPS197_PT = "00112233445566778899aabbccddeeff"
FIPS197_C = [
    ("000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"),
    ("000102030405060708090a0b0c0d0e0f1011121314151617", "dda97ca4864cdfe06eaf70a0ec0d7191"),
    ("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "8ea2b7ca516745bfeafc49904b496089"),
]

# Brian Gladman's published Rijndael vectors for the larger block lengths
# (plaintext = the first 4*Nb bytes of PT, key = the first 4*Nk bytes of KEY).
GLADMAN_KEY = "2b7e151628aed2a6abf7158809cf4f3c762e7160f38b4da56a784d9045190cfe"
GLADMAN_PT = "3243f6a8885a308d313198a2e03707344a4093822299f31d0082efa98ec4e6c8"
GLADMAN = {
    # (Nb, Nk): ciphertext
    (5, 4): "16e73aec921314c29df905432bc8968ab64b1f51",
    (5, 5): "0553eb691670dd8a5a5b5addf1aa7450f7a0e587",
    (5, 6): "73cd6f3423036790463aa9e19cfcde894ea16623",
    (5, 7): "601b5dcd1cf4ece954c740445340bf0afdc048df",
    (5, 8): "579e930b36c1529aa3e86628bacfe146942882cf",
    (6, 4): "b24d275489e82bb8f7375e0d5fcdb1f481757c538b65148a",
    (6, 6): "725ae43b5f3161de806a7c93e0bca93c967ec1ae1b71e1cf",
    (6, 7): "bbfc14180afbf6a36382a061843f0b63e769acdc98769130",
    (6, 8): "0ebacf199e3315c2e34b24fcc7c46ef4388aa475d66c194c",
    (7, 4): "b0a8f78f6b3c66213f792ffd2a61631f79331407a5e5c8d3793aceb1",
    (7, 5): "08b99944edfce33a2acb131183ab0168446b2d15e958480010f545e3",
    (7, 6): "be4c597d8f7efe22a2f7e5b1938e2564d452a5bfe72399c7af1101e2",
    (7, 7): "ef529598ecbce297811b49bbed2c33bbe1241d6e1a833dbe119569e8",
    (7, 8): "02fafc200176ed05deb8edb82a3555b0b10d47a388dfd59cab2f6c11",
    (8, 4): "7d15479076b69a46ffb3b3beae97ad8313f622f67fedb487de9f06b9ed9c8f19",
    (8, 5): "514f93fb296b5ad16aa7df8b577abcbd484decacccc7fb1f18dc567309ceeffd",
    (8, 6): "5d7101727bb25781bf6715b0e6955282b9610e23a43c2eb062699f0ebf5887b2",
    (8, 7): "d56c5a63627432579e1dd308b2c8f157b40a4bfb56fea1377b25d3ed3d6dbf80",
    (8, 8): "a49406115dfb30a40418aafa4869b7c6a886ff31602a7dd19c889dc64f7e4e7a",
}

# RFC 1321 appendix A.5 test suite
RFC1321 = [
    ("", "d41d8cd98f00b204e9800998ecf8427e"),
    ("a", "0cc175b9c0f1b6a831c399e269772661"),
    ("abc", "900150983cd24fb0d6963f7d28e17f72"),
    ("message digest", "f96b697d7cb7938d525a2f31aaf161d0"),
    ("abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"),
    ("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"),
    ("1234567890" * 8, "57edf4a22be3c955ac49da2e2107b67a"),
]


def rnd_bytes(rng, n):
    return bytes(rng.getrandbits(8) for _ in range(n)) if n < 64 else rng.randbytes(n)


class RijndaelPure(unittest.TestCase):
    def test_fips197_appendix_c(self):
        pt = bytes.fromhex(FIPS197_PT)
        for key_hex, ct_hex in FIPS197_C:
            with self.subTest(key_bits=len(key_hex) * 4):
                c = ref.PureRijndael(bytes.fromhex(key_hex), nb=4)
                self.assertEqual(c.encrypt_block(pt).hex(), ct_hex)
                self.assertEqual(c.decrypt_block(bytes.fromhex(ct_hex)), pt)

    def test_gladman_vectors_all_block_lengths(self):
        for (nb, nk), ct_hex in GLADMAN.items():
            with self.subTest(nb=nb, nk=nk):
                key = bytes.fromhex(GLADMAN_KEY)[:4 * nk]
                pt = bytes.fromhex(GLADMAN_PT)[:4 * nb]
                c = ref.PureRijndael(key, nb=nb)
                self.assertEqual(c.encrypt_block(pt).hex(), ct_hex)
                self.assertEqual(c.decrypt_block(bytes.fromhex(ct_hex)), pt)

    def test_sbox_values_named_in_spec(self):
        self.assertEqual(ref.SBOX[0], 0x63)
        self.assertEqual(ref.SBOX[1], 0x7C)
        self.assertEqual(ref.SBOX[0x53], 0xED)
        self.assertEqual(sorted(ref.SBOX), list(range(256)))
        for x in range(256):
            self.assertEqual(ref.INV_SBOX[ref.SBOX[x]], x)

    def test_row_shifts(self):
        self.assertEqual(ref.SHIFT_OFFSETS[8][1:], (1, 3, 4))
        self.assertEqual(ref.SHIFT_OFFSETS[4][1:], (1, 2, 3))
        self.assertEqual(ref.SHIFT_OFFSETS[6][1:], (1, 2, 3))
        c = ref.PureRijndael(bytes(32), nb=8)
        self.assertEqual(c.nr, 14)

    def test_decrypt_inverts_encrypt(self):
        rng = random.Random(11)
        for nb in (4, 6, 8):
            for nk in (4, 6, 8):
                key = rnd_bytes(rng, 4 * nk)
                c = ref.PureRijndael(key, nb=nb)
                blk = rnd_bytes(rng, 4 * nb)
                self.assertEqual(c.decrypt_block(c.encrypt_block(blk)), blk)


@NEED_MCRYPT
class RijndaelMcrypt(unittest.TestCase):
    def test_libmcrypt_is_rijndael_256_block(self):
        # Gladman's Nb = 8 vectors through the raw module; libmcrypt zero-pads a
        # key to its next supported size (16, 24, 32 bytes), which selects Nk.
        import ctypes
        lib = ref._load_mcrypt()
        for nk in (4, 6, 8):
            key = bytes.fromhex(GLADMAN_KEY)[:4 * nk]
            td = lib.mcrypt_module_open(b"rijndael-256", None, b"ecb", None)
            self.assertTrue(td)
            try:
                self.assertEqual(lib.mcrypt_enc_get_block_size(td), 32)
                self.assertEqual(lib.mcrypt_enc_get_key_size(td), 32)
                kb = ctypes.create_string_buffer(key, len(key))
                self.assertGreaterEqual(lib.mcrypt_generic_init(td, kb, len(key), None), 0)
                buf = ctypes.create_string_buffer(bytes.fromhex(GLADMAN_PT), 32)
                self.assertEqual(lib.mcrypt_generic(td, buf, 32), 0)
                lib.mcrypt_generic_deinit(td)
            finally:
                lib.mcrypt_module_close(td)
            self.assertEqual(buf.raw.hex(), GLADMAN[(8, nk)], f"Nk={nk}")

    def test_container_backends_agree(self):
        key = ref.passphrase_key("backend")
        blob = ref.make_container([("a\\b.txt", b"abc" * 50), ("e", b"")], key, backend="mcrypt")
        cont = ref.read_container(blob, key, backend="pure")
        self.assertEqual(cont.problems, [])
        self.assertEqual([e.data for e in cont.entries], [b"abc" * 50, b""])

    def test_wrapper_known_answer(self):
        m = ref.McryptRijndael256(bytes.fromhex(GLADMAN_KEY))
        pt = bytes.fromhex(GLADMAN_PT)
        self.assertEqual(m.encrypt_block(pt).hex(), GLADMAN[(8, 8)])
        self.assertEqual(m.decrypt_block(bytes.fromhex(GLADMAN[(8, 8)])), pt)

    def test_pure_vs_libmcrypt_random_blocks(self):
        rng = random.Random(2024)
        for _ in range(40):
            key = rnd_bytes(rng, 32)
            p = ref.PureRijndael(key, nb=8)
            m = ref.McryptRijndael256(key)
            for _ in range(3):
                blk = rnd_bytes(rng, 32)
                ct = m.encrypt_block(blk)
                self.assertEqual(p.encrypt_block(blk), ct)
                self.assertEqual(p.decrypt_block(ct), blk)
                self.assertEqual(m.decrypt_block(ct), blk)
            m.close()

    def test_libmcrypt_cbc_equals_manual_chaining(self):
        rng = random.Random(5)
        for nblocks in (1, 2, 7):
            key = rnd_bytes(rng, 32)
            iv = rnd_bytes(rng, 32)
            data = rnd_bytes(rng, 32 * nblocks)
            m = ref.McryptRijndael256(key)
            p = ref.PureRijndael256CBC(key)
            ct = m.encrypt_cbc(data, iv)
            self.assertEqual(ct, p.encrypt_cbc(data, iv))
            # manual chain over the pure single-block cipher
            prev, manual = iv, b""
            for i in range(0, len(data), 32):
                prev = p.encrypt_block(bytes(a ^ b for a, b in zip(data[i:i + 32], prev)))
                manual += prev
            self.assertEqual(ct, manual)
            self.assertEqual(m.decrypt_cbc(ct, iv), data)
            self.assertEqual(p.decrypt_cbc(ct, iv), data)
            # state must not leak from one call into the next
            self.assertEqual(m.encrypt_cbc(data, iv), ct)

    def test_envelope_backends_agree(self):
        rng = random.Random(9)
        for n in (1, 31, 32, 33, 100):
            key = rnd_bytes(rng, 32)
            msg = rnd_bytes(rng, n)
            a = ref.envelope_encrypt(msg, key, backend="mcrypt")
            b = ref.envelope_encrypt(msg, key, backend="pure")
            self.assertEqual(a, b)
            self.assertEqual(ref.envelope_decrypt(a, key, backend="pure"), ref.zero_pad(msg))


class Envelope(unittest.TestCase):
    KEY = bytes(range(1, 33))

    def test_lengths(self):
        for n, expect in ((1, 32), (32, 32), (33, 64), (64, 64), (65, 96)):
            msg = bytes([7]) * n
            env = ref.envelope_encrypt(msg, self.KEY)
            self.assertEqual(len(env), expect)
            dec = ref.envelope_decrypt(env, self.KEY)
            self.assertEqual(len(dec), expect)
            self.assertEqual(dec[:n], msg)
            self.assertEqual(dec[n:], bytes(expect - n))

    def test_cbc_from_zero_block(self):
        msg = bytes(range(64))
        env = ref.envelope_encrypt(msg, self.KEY)
        c = ref.PureRijndael(self.KEY, 8)
        c0 = c.encrypt_block(msg[:32])
        c1 = c.encrypt_block(bytes(a ^ b for a, b in zip(msg[32:], c0)))
        self.assertEqual(env, c0 + c1)

    def test_trailing_zeros_in_last_block_do_not_matter(self):
        self.assertEqual(ref.envelope_encrypt(b"abc", self.KEY), ref.envelope_encrypt(b"abc\0\0", self.KEY))

    def test_key_rules(self):
        msg = b"hello world"
        long_key = self.KEY + b"more bytes"
        self.assertEqual(ref.envelope_encrypt(msg, long_key), ref.envelope_encrypt(msg, self.KEY))
        short = b"\x01\x02\x03"
        self.assertEqual(ref.envelope_encrypt(msg, short), ref.envelope_encrypt(msg, short + bytes(29)))

    def test_bad_lengths_give_empty_result(self):
        for n in (0, 31, 33, 1):
            self.assertIsNone(ref.envelope_decrypt(bytes(n), self.KEY))

    def test_chunked_equals_envelope_on_block_boundaries(self):
        rng = random.Random(3)
        a, b = rnd_bytes(rng, 64000), rnd_bytes(rng, 100)
        cc = ref.ChunkedCipher(self.KEY)
        out = cc.encrypt_do(a, False) + cc.encrypt_do(b, True)
        self.assertEqual(out, ref.envelope_encrypt(a + b, self.KEY))
        dc = ref.ChunkedCipher(self.KEY)
        back = dc.decrypt_do(out[:64000], False) + dc.decrypt_do(out[64000:], True)
        self.assertEqual(back, ref.zero_pad(a + b))

    def test_chunked_pads_each_chunk_inside_one_chain(self):
        a, b = b"x" * 40, b"y" * 10
        cc = ref.ChunkedCipher(self.KEY)
        ca = cc.encrypt_do(a, False)
        cb = cc.encrypt_do(b, True)
        self.assertEqual(len(ca), 64)
        self.assertEqual(len(cb), 32)
        # the same as one envelope of the padded pieces
        self.assertEqual(ca + cb, ref.envelope_encrypt(ref.zero_pad(a) + ref.zero_pad(b), self.KEY))
        dc = ref.ChunkedCipher(self.KEY)
        self.assertEqual(dc.decrypt_do(ca, False), ref.zero_pad(a))
        self.assertEqual(dc.decrypt_do(cb, True), ref.zero_pad(b))
        # a fresh chain (use_iv False) for the second chunk gives other bytes
        fresh = ref.ChunkedCipher(self.KEY).encrypt_do(b, False)
        self.assertNotEqual(fresh, cb)

    def test_decrypt_do_bad_length_sets_cancel(self):
        dc = ref.ChunkedCipher(self.KEY)
        self.assertIsNone(dc.decrypt_do(bytes(33), False))
        self.assertTrue(dc.do_cancel)


class Md5AndKeys(unittest.TestCase):
    def test_rfc1321_suite(self):
        for text, digest in RFC1321:
            self.assertEqual(ref.digest_text(text), digest)

    def test_padding_boundaries_are_plain_md5(self):
        for n in (55, 56, 57, 63, 64, 120):
            t = "x" * n
            d = ref.digest_text(t)
            self.assertEqual(d, hashlib.md5(t.encode()).hexdigest())
            self.assertEqual(len(d), 32)
            self.assertEqual(d, d.lower())

    def test_ansi_bytes_in_md5(self):
        cases = [  # text, SEALWISE bytes, LITERAL bytes
            ("ä", b"\xe4", b"\xe4"),
            ("€", b"\x80", b"\x80"),
            ("日", "日".encode(), b"?"),
            ("日ä", "日ä".encode(), b"?\xe4"),
        ]
        for text, ours, literal in cases:
            self.assertEqual(ref.digest_text(text), hashlib.md5(ours).hexdigest(), text)
            self.assertEqual(ref.digest_text(text, ref.LITERAL), hashlib.md5(literal).hexdigest(), text)

    def test_make_key_string(self):
        self.assertEqual(ref.make_key_string("secret"), "secret" + "A" * 26)
        self.assertEqual(ref.make_key_string("x" * 40), "x" * 32)
        self.assertEqual(ref.passphrase_key("A"), b"A" * 32)
        self.assertEqual(ref.passphrase_key("A" * 17), b"A" * 32)
        self.assertEqual(ref.passphrase_key("Schlüssel"), b"Schl\xfcssel" + b"A" * 23)
        self.assertEqual(ref.passphrase_key("p" * 32 + "tail1"), ref.passphrase_key("p" * 32 + "tail2"))
        self.assertEqual(len(ref.passphrase_key("€" * 50)), 32)

    def test_key_rule_outside_cp1252(self):
        b2 = lambda t: hashlib.blake2b(t.encode(), digest_size=32).digest()
        cases = [  # passphrase, SEALWISE key, LITERAL key
            ("日本 pass", b2("日本 pass"), b"?? pass" + b"A" * 25),
            ("日" * 40, b2("日" * 32), b"?" * 32),
            ("p" * 32 + "日", b"p" * 32, b"p" * 32),            # after character 32: no effect
            ("p" * 31 + "日", b2("p" * 31 + "日"), b"p" * 31 + b"?"),
        ]
        for pw, ours, literal in cases:
            self.assertEqual(ref.passphrase_key(pw), ours, pw)
            self.assertEqual(ref.passphrase_key(pw, ref.LITERAL), literal, pw)
            self.assertEqual(ref.passphrase_keys(pw), ref._unique([ours, literal]), pw)
        # beyond U+FFFF a reader also tries two "?" per character (UTF-16 units)
        self.assertEqual(ref.passphrase_keys("😀 x")[1:], [b"? x" + b"A" * 29, b"?? x" + b"A" * 28])
        # every one of the first 32 characters counts
        self.assertNotEqual(ref.passphrase_key("日" * 31 + "a"), ref.passphrase_key("日" * 31 + "b"))
        self.assertEqual(ref.passphrase_keys("Schlüssel"), [ref.passphrase_key("Schlüssel")])

    def test_combine_shared_keys_outside_cp1252(self):
        # the rule applies to each joined text: odd "日本x" is UTF-8, even "b€" Windows-1252
        k = ref.combine_shared_keys(["日本", "b€", "x"])
        self.assertEqual(k, hashlib.md5("日本x".encode()).digest() + hashlib.md5(b"b\x80").digest())
        literal = hashlib.md5(b"??x").digest() + hashlib.md5(b"b\x80").digest()
        self.assertEqual(ref.combine_shared_keys(["日本", "b€", "x"], ref.LITERAL), literal)
        self.assertEqual(ref.shared_keys_candidates(["日本", "b€", "x"]), [k, literal])
        self.assertEqual(len(ref.shared_keys_candidates(["ä", "b€"])), 1)

    def test_combine_shared_keys(self):
        k = ref.combine_shared_keys(["one", "two", "three"])
        self.assertEqual(k, hashlib.md5(b"onethree").digest() + hashlib.md5(b"two").digest())
        k2 = ref.combine_shared_keys(["alpha", "beta"])
        self.assertEqual(k2, hashlib.md5(b"alpha").digest() + hashlib.md5(b"beta").digest())
        self.assertNotEqual(k2, ref.combine_shared_keys(["beta", "alpha"]))
        ten = [f"k{i}" for i in range(1, 11)]
        self.assertEqual(ref.combine_shared_keys(ten),
                         hashlib.md5(b"k1k3k5k7k9").digest() + hashlib.md5(b"k2k4k6k8k10").digest())
        with self.assertRaises(ValueError):
            ref.combine_shared_keys(["a", "", "c"])
        with self.assertRaises(ValueError):
            ref.combine_shared_keys(["a"])


class Base64(unittest.TestCase):
    def test_spec_lengths(self):
        self.assertEqual(ref.encode_base64(bytes(57)), "A" * 76)
        s58 = ref.encode_base64(bytes(58))
        self.assertEqual(len(s58), 82)
        self.assertEqual(s58, "A" * 76 + "\r\nAA==")
        s32 = ref.encode_base64(bytes(range(32)))
        self.assertEqual(len(s32), 44)
        self.assertTrue(s32.endswith("=") and not s32.endswith("=="))
        s64 = ref.encode_base64(bytes(range(64)))
        self.assertEqual(len(s64), 90)
        self.assertEqual(s64[76:78], "\r\n")
        self.assertTrue(s64.endswith("=="))
        # two full lines and nothing else: no line break at the end (c = 156 - 2)
        s114 = ref.encode_base64(bytes(114))
        self.assertEqual(len(s114), 154)
        self.assertFalse(s114.endswith("\r\n"))

    def test_matches_rfc4648_with_mime_lines(self):
        rng = random.Random(1)
        for n in range(1, 400):
            data = rnd_bytes(rng, n)
            plain = base64.b64encode(data).decode()
            expect = "\r\n".join(plain[i:i + 76] for i in range(0, len(plain), 76))
            got = ref.encode_base64(data)
            self.assertEqual(got, expect)
            self.assertEqual(ref.decode_base64(got), data)
            self.assertIsNone(ref.armour_is_well_formed(got))

    def test_decoder_ignores_crlf_and_equals(self):
        data = bytes(range(200))
        s = ref.encode_base64(data)
        self.assertEqual(ref.decode_base64(s.replace("\r\n", "")), data)
        self.assertEqual(ref.decode_base64(s.replace("=", "")), data)
        self.assertEqual(ref.decode_base64("=" + s.replace("\r\n", "\r\n==")), data)

    def test_lone_lf_corrupts(self):
        data = bytes(range(100))
        s = ref.encode_base64(data).replace("\r\n", "\n")
        self.assertNotEqual(ref.decode_base64(s), data)

    def test_leftover_characters(self):
        self.assertEqual(len(ref.decode_base64("QUJ")), 2)
        self.assertEqual(ref.decode_base64("QUJ"), b"AB")
        self.assertEqual(len(ref.decode_base64("QUJDR")), 3)
        self.assertEqual(ref.decode_base64("QUJDR"), b"ABC")
        self.assertEqual(ref.decode_base64(""), b"")
        self.assertEqual(ref.decode_base64("\r\n=="), b"")

    def test_foreign_characters_are_value_zero(self):
        self.assertEqual(ref.decode_base64("QU*D"), ref.decode_base64("QUAD"))
        self.assertEqual(ref.decode_base64("QU\u65e5D"), ref.decode_base64("QUAD"))

    def test_well_formed_checker(self):
        s = ref.encode_base64(bytes(200))
        self.assertIsNone(ref.armour_is_well_formed(s))
        self.assertIsNotNone(ref.armour_is_well_formed(s + "\r\n"))
        self.assertIsNotNone(ref.armour_is_well_formed(s.replace("\r\n", "\n")))
        self.assertIsNotNone(ref.armour_is_well_formed(s.replace("\r\n", "")))


class TextCodec(unittest.TestCase):
    def test_cp1252_full_table(self):
        self.assertEqual(ref.cp1252_decode(b"\x80\x81\x8d\x8f\x90\x9d\x9f\xe4"), "€\x81\x8d\x8f\x90\x9dŸä")
        self.assertEqual(ref.cp1252_encode("€Ÿä\x81"), b"\x80\x9f\xe4\x81")
        for b in range(256):
            self.assertEqual(ref.cp1252_encode(ref.cp1252_decode(bytes([b]))), bytes([b]))

    def test_stored_text_rules(self):
        m = ref.UTF8_MARKER
        cases = [  # text, SEALWISE bytes, LITERAL bytes
            ("Grüße €", b"Gr\xfc\xdfe \x80", b"Gr\xfc\xdfe \x80"),
            ("Gruß…", b"Gru\xdf\x85", b"Gru\xdf\x85"),
            ("Ã©tÃ©", b"\xc3\xa9t\xc3\xa9", b"\xc3\xa9t\xc3\xa9"),
            ("Grüße 日本", m + "Grüße 日本".encode(), b"Gr\xfc\xdfe ??"),
            ("ï»¿x", m + "ï»¿x".encode(), b"\xef\xbb\xbfx"),
        ]
        for text, ours, literal in cases:
            self.assertEqual(ref.stored_text_bytes(text), ours, text)
            self.assertEqual(ref.stored_text_bytes(text, ref.LITERAL), literal, text)
            self.assertEqual(ref.stored_text(ours), text, text)
        # unmarked bytes are Windows-1252 however much they look like UTF-8
        self.assertEqual(ref.stored_text("ä".encode()), "Ã¤")
        self.assertEqual(ref.stored_text(m + "é".encode(), ref.LITERAL), "ï»¿Ã©")

    def test_store_newlines(self):
        self.assertEqual(ref.store_newlines("a\nb\r\nc\rd\n"), "a\r\nb\r\nc\rd\r\n")
        self.assertEqual(ref.store_newlines("\n\n"), "\r\n\r\n")


class TextArmour(unittest.TestCase):
    def test_roundtrip_each_language(self):
        key = ref.passphrase_key("correct horse")
        for lang in ref.LANGUAGES:
            text = "Grüße aus Köln\r\nZeile 2 €"
            arm = ref.text_encrypt(text, key, lang)
            self.assertIsNone(ref.armour_is_well_formed(arm))
            self.assertEqual(ref.text_decrypt(arm, key), ref.notice_line(lang) + "\r\n" + text)

    def test_plaintext_layout(self):
        key = ref.passphrase_key("pw")
        r = bytes(range(100, 132))
        arm = ref.text_encrypt("Hi", key, "de", random_prefix=r)
        env = ref.decode_base64(arm)
        plain = ref.envelope_decrypt(env, key)
        body = ("Dieser Text wurde mit Sealwise (kostenlos) verschlüsselt - " + ref.NOTICE_URL
                + "\r\nHi").encode("cp1252")
        self.assertEqual(plain[:32], r)
        self.assertEqual(plain[32:32 + len(body)], body)
        self.assertEqual(len(plain), ref.padded_length(32 + len(body)))
        self.assertEqual(plain[32 + len(body):], bytes(len(plain) - 32 - len(body)))

    def test_notice_lines(self):
        self.assertEqual(ref.notice_line("en"), "This text has been encrypted with Sealwise (free!) - " + ref.NOTICE_URL)
        self.assertEqual(ref.notice_line("fr"), "Ce texte a été chiffré avec Sealwise (gratuit) - " + ref.NOTICE_URL)
        self.assertEqual(ref.notice_line("es"), "Este texto ha sido encriptado con Sealwise (gratis) - " + ref.NOTICE_URL)
        for lang in ref.LANGUAGES:
            self.assertTrue(ref.cp1252_encodable(ref.notice_line(lang)))

    def test_random_prefix_makes_armour_differ(self):
        key = ref.passphrase_key("pw")
        a, b = ref.text_encrypt("same", key), ref.text_encrypt("same", key)
        self.assertNotEqual(a, b)
        self.assertEqual(ref.text_decrypt(a, key), ref.text_decrypt(b, key))

    def test_utf8_marker_after_the_notice_line(self):
        key = ref.passphrase_key("pw")
        text = "日本語 und Grüße"
        arm = ref.text_encrypt(text, key, "de")
        plain = ref.envelope_decrypt(ref.decode_base64(arm), key)
        head = ref.cp1252_encode(ref.notice_line("de") + "\r\n") + ref.UTF8_MARKER + text.encode()
        self.assertEqual(plain[32:32 + len(head)], head)
        self.assertEqual(ref.text_decrypt(arm, key), ref.notice_line("de") + "\r\n" + text)
        # a literal reader still shows the notice line right
        shown = ref.text_decrypt(arm, key, mode=ref.LITERAL)
        self.assertTrue(shown.startswith(ref.notice_line("de") + "\r\n"))

    def test_literal_mode_writes_question_marks(self):
        key = ref.passphrase_key("日本", ref.LITERAL)
        arm = ref.text_encrypt("日本 €", key, "en", mode=ref.LITERAL)
        want = ref.notice_line("en") + "\r\n?? €"
        self.assertEqual(ref.text_decrypt(arm, key, mode=ref.LITERAL), want)
        # ours reads it with the same passphrase through the second key
        self.assertEqual(ref.text_decrypt(arm, ref.passphrase_keys("日本")), want)

    def test_notice_line_by_form(self):
        cases = [
            (ref.cp1252_encode(ref.notice_line("de")) + b"\r\nx", len(ref.cp1252_encode(ref.notice_line("de")))),
            (b"Other Tool - www.other.example\r\n", 30),
            (b"Other Tool - www.other.example\n", None),
            (b"Other Tool www.other.example\r\n", None),
            (b"Other Tool - no dot\r\n", None),
            (b"Other\x01Tool - a.example\r\n", None),
            (b"x" * 600 + b" - a.example\r\n", None),
        ]
        for shown, length in cases:
            self.assertEqual(ref.notice_line_length(shown), length, shown[:40])

    def test_pasted_variants(self):
        key = ref.passphrase_key("pw")
        arm = ref.text_encrypt("x" * 300, key)
        expect = ref.text_decrypt(arm, key)
        self.assertEqual(ref.text_decrypt(arm.replace("\r\n", ""), key), expect)
        self.assertEqual(ref.text_decrypt(arm.replace("=", ""), key), expect)
        self.assertEqual(ref.text_decrypt("  " + arm.replace("\r\n", " \r\n  ") + " ", key), expect)
        self.assertNotEqual(ref.text_decrypt(arm.replace("\r\n", "\n"), key, mode=ref.LITERAL), expect)

    def test_bad_armour(self):
        key = ref.passphrase_key("pw")
        self.assertIsNone(ref.text_decrypt("", key))
        self.assertIsNone(ref.text_decrypt(ref.encode_base64(bytes(33)), key))

    def test_wrong_key(self):
        arm = ref.text_encrypt("secret", ref.passphrase_key("pw"))
        # the literal reader cannot tell; ours finds no notice line
        self.assertIsNotNone(ref.text_decrypt(arm, ref.passphrase_key("other"), mode=ref.LITERAL))
        with self.assertRaises(ref.WrongKeyOrDamage):
            ref.text_decrypt(arm, ref.passphrase_key("other"))

    def test_shown_text_cut_at_first_zero(self):
        key = ref.passphrase_key("pw")
        arm = ref.text_encrypt("before\x00after", key)
        self.assertEqual(ref.text_decrypt(arm, key), ref.notice_line("en") + "\r\nbefore")

    def test_second_notice_line(self):
        key = ref.passphrase_key("pw")
        shown = ref.text_decrypt(ref.text_encrypt("t", key, "en"), key)
        again = ref.text_decrypt(ref.text_encrypt(shown, key, "fr"), key)
        self.assertEqual(again, ref.notice_line("fr") + "\r\n" + ref.notice_line("en") + "\r\nt")

    def test_shared_keys(self):
        key = ref.combine_shared_keys(["k1", "k2", "k3"])
        arm = ref.text_encrypt("team", key)
        self.assertEqual(ref.text_decrypt(arm, key), ref.notice_line("en") + "\r\nteam")

    def test_cli_shown_text(self):
        self.assertEqual(ref.cli_shown_text("a\r\nb\rc\nü"), "a\nb\rc\nü".encode())


class ContainerIndex(unittest.TestCase):
    def test_spec_examples(self):
        self.assertEqual(ref.encode_index([996]), bytes.fromhex("E703FF03"))
        self.assertEqual(ref.encode_index([7140])[:3], bytes.fromhex("001CFF"))
        self.assertEqual(ref.base255_digits(7140), b"\x00\x1c")
        self.assertEqual(ref.base255_digits(0), b"")
        self.assertEqual(ref.encode_index([0]), b"\xff\x01")
        self.assertEqual(ref.base255_digits(2 ** 31 - 1), bytes([(2 ** 31 - 1) // 255 ** i % 255 for i in range(4)]))

    def test_two_digit_index_length(self):
        sizes = [1000 + i for i in range(300)]           # 3 bytes per record
        idx = ref.encode_index(sizes)
        t = 900
        self.assertEqual(idx[-2:], bytes((t % 255, t // 255)))
        blob = bytes(sum(sizes)) + idx
        got, start, tt = ref.locate_index(blob)
        self.assertEqual(got, sizes)
        self.assertEqual(tt, 900)
        self.assertEqual(start, sum(sizes))

    def test_reader_tail_limits(self):
        for z in (100, 101, 150):
            body = bytes(z - 3)
            blob = body + b"\x05\xff\x02"                    # one entry of size 5, T = 2
            self.assertEqual(len(blob), z)
            self.assertEqual(ref.locate_index(blob)[0], [5])
        with self.assertRaises(ref.NoUsableContent):
            ref.locate_index(b"\xff\x01\x01")              # 3 bytes
        with self.assertRaises(ref.NoUsableContent):
            ref.locate_index(bytes(500))                   # no 0xFF
        with self.assertRaises(ref.NoUsableContent):
            ref.locate_index(b"\xff" + bytes(120))         # 0xFF outside the 101-byte tail
        with self.assertRaises(ref.NoUsableContent):
            ref.locate_index(b"\xff\x00\x00\x00")          # 0xFF is the first byte of the tail
        with self.assertRaises(ref.NoUsableContent):
            ref.locate_index(bytes(10) + b"\x01\x02\x03\x04\x05\xff\x06")   # size overflows 2^31


class ContainerFormat(unittest.TestCase):
    KEY = ref.passphrase_key("container pass")

    def roundtrip(self, entries, **kw):
        blob = ref.make_container(entries, self.KEY, **kw)
        cont = ref.read_container(blob, self.KEY)
        self.assertEqual(cont.problems, [])
        self.assertEqual([(e.name_bytes, e.data) for e in cont.entries],
                         [(ref.entry_name_bytes(n), d) for n, d in entries])
        return blob, cont

    def test_empty_file(self):
        blob, cont = self.roundtrip([("empty.txt", b"")])
        e = cont.entries[0]
        self.assertEqual(e.marker, 99)
        self.assertEqual(len(e.chunks), 1)
        self.assertEqual(e.chunks[0].cipher_length, 64)      # 34 + 9 -> 64
        self.assertEqual(struct.unpack_from("<i", blob, 0)[0], 63)

    def test_empty_file_names_filling_whole_blocks(self):
        for n in (30, 62):
            name = "n" * n
            blob, cont = self.roundtrip([(name, b"")])
            self.assertEqual(cont.entries[0].chunks[0].cipher_length, 34 + n)

    def test_chunk0_layout(self):
        r = bytes(range(200, 232))
        data = b"hello hello hello"
        blob = ref.make_container([("a.txt", data)], self.KEY, random_bytes=lambda n: r)
        (l,) = struct.unpack_from("<i", blob, 0)
        plain = ref.ChunkedCipher(self.KEY).decrypt_do(blob[4:4 + l + 1], False)
        block = struct.pack("<Ii", 1234567890, len(data)) + zlib.compress(data, 6)
        self.assertEqual(plain[:32], r)
        self.assertEqual(plain[32], len(block) % 32)
        self.assertEqual(plain[33], 5)
        self.assertEqual(plain[34:39], b"a.txt")
        self.assertEqual(plain[39:39 + len(block)], block)
        self.assertEqual(plain[39 + len(block):], bytes(len(plain) - 39 - len(block)))
        self.assertEqual(block[:4], bytes.fromhex("D2029649"))

    @unittest.skipUnless(HAVE_MCRYPT, "needs libmcrypt for megabytes of data")
    def test_exact_chunk_boundaries(self):
        rng = random.Random(77)
        name = "boundary.b"                                   # N = 10
        for e_total, chunks in ((ref.CHUNK_SIZE, 1), (ref.CHUNK_SIZE + 1, 2), (2 * ref.CHUNK_SIZE, 2)):
            f = e_total - 34 - len(name)
            data = rng.randbytes(f // 2) + bytes(f - f // 2)
            blob, cont = self.roundtrip([(name, data)])
            e = cont.entries[0]
            self.assertEqual(len(e.chunks), chunks, e_total)
            if e_total == ref.CHUNK_SIZE + 1:
                self.assertEqual(e.chunks[1].u, 1)
                self.assertEqual(e.chunks[0].u, ref.CHUNK_SIZE - 44)
            if e_total == 2 * ref.CHUNK_SIZE:
                self.assertEqual(e.chunks[0].u, 2_097_108)
                self.assertEqual(e.chunks[1].u, 2_097_152)

    @unittest.skipUnless(HAVE_MCRYPT, "needs libmcrypt for megabytes of data")
    def test_multi_chunk_file(self):
        rng = random.Random(8)
        data = (b"compressible " * 200_000)[:2_500_000] + rng.randbytes(2_600_000)
        blob, cont = self.roundtrip([("big.bin", data), ("small.txt", b"x")])
        self.assertEqual(len(cont.entries[0].chunks), 3)

    def test_many_files_two_digit_index_length(self):
        entries = [(f"dir\\f{i:03d}.txt", (b"%d " % i) * (i % 7)) for i in range(300)]
        blob, cont = self.roundtrip(entries)
        self.assertGreaterEqual(cont.index_length, 255)
        self.assertEqual(len(cont.entries), 300)

    def test_windows_1252_and_utf8_names(self):
        names = ["Übersicht ä.txt", "€uro—Œuvre….txt", "naïve café\\résumé.doc", "日本語\\ファイル.txt"]
        blob, cont = self.roundtrip([(n, n.encode("utf-8") * 3) for n in names])
        self.assertEqual(cont.entries[0].name_bytes, b"\xdcbersicht \xe4.txt")
        self.assertEqual(cont.entries[1].name_bytes, b"\x80uro\x97\x8cuvre\x85.txt")
        self.assertEqual(cont.entries[3].name_bytes, ref.UTF8_MARKER + "日本語\\ファイル.txt".encode("utf-8"))
        self.assertEqual([e.name for e in cont.entries], names)
        literal = ref.make_container([("日本\\Ã©.txt", b"x")], self.KEY, mode=ref.LITERAL)
        self.assertEqual([e.name for e in ref.read_container(literal, self.KEY, mode=ref.LITERAL).entries],
                         ["??\\Ã©.txt"])

    def test_container_key_choice(self):
        ours, literal = ref.passphrase_keys("日本 pass")
        for writer in (ours, literal):
            blob = ref.make_container([("a", b"data")], writer)
            self.assertEqual(ref.choose_container_key(blob, [ours, literal]), writer)
            self.assertEqual(ref.read_container(blob, [ours, literal]).entries[0].data, b"data")

    def test_name_of_255_bytes(self):
        name = "d" * 100 + "\\" + "f" * 154
        blob, cont = self.roundtrip([(name, b"abc")])
        self.assertEqual(len(cont.entries[0].name_bytes), 255)
        with self.assertRaises(ValueError):
            ref.entry_name_bytes("x" * 256)

    def test_leading_backslash_dropped(self):
        self.assertEqual(ref.entry_name_bytes("\\proj\\a.txt"), b"proj\\a.txt")
        self.assertEqual(ref.entry_name_bytes("proj/a.txt"), b"proj\\a.txt")

    def test_two_containers_differ(self):
        e = [("a", b"same")]
        self.assertNotEqual(ref.make_container(e, self.KEY), ref.make_container(e, self.KEY))

    def test_entries_start_fresh_chains(self):
        # entry 2 must decrypt on its own with use_iv False
        blob = ref.make_container([("a", b"1" * 100), ("b", b"2" * 100)], self.KEY)
        sizes, _, _ = ref.locate_index(blob)
        off = sizes[0]
        (l,) = struct.unpack_from("<i", blob, off)
        plain = ref.ChunkedCipher(self.KEY).decrypt_do(blob[off + 4:off + 5 + l], False)
        self.assertEqual(plain[33:35], b"\x01b")


class ContainerChecker(unittest.TestCase):
    """The strict checker must notice deviations from the container writer."""
    KEY = ref.passphrase_key("checker")

    def problems(self, blob):
        return ref.read_container(blob, self.KEY).problems

    def test_wrong_marker(self):
        def bad_random(n):
            return bytes(n)
        blob = bytearray(ref.make_container([("a", b"data")], self.KEY, random_bytes=bad_random))
        # re-encrypt chunk 0 with a wrong marker
        (l,) = struct.unpack_from("<i", blob, 0)
        cc = ref.ChunkedCipher(self.KEY)
        plain = bytearray(cc.decrypt_do(bytes(blob[4:5 + l]), False))
        plain[32] = (plain[32] + 1) % 32
        blob[4:5 + l] = ref.ChunkedCipher(self.KEY).encrypt_do(bytes(plain), False)
        self.assertTrue(any("marker" in p for p in self.problems(bytes(blob))))

    def test_extra_padding_block(self):
        entries = [("a", b"data")]
        cc = ref.ChunkedCipher(self.KEY)
        records, info = ref.build_entry("a", b"data", cc)
        (l,) = struct.unpack_from("<i", records, 0)
        plain = ref.ChunkedCipher(self.KEY).decrypt_do(records[4:], False) + bytes(32)
        ct = ref.ChunkedCipher(self.KEY).encrypt_do(plain, False)
        blob = struct.pack("<i", len(ct) - 1) + ct + ref.encode_index([len(ct) + 4])
        self.assertTrue(any("cipher bytes for" in p for p in self.problems(blob)), entries)

    def test_non_canonical_index(self):
        blob = ref.make_container([("a", b"data")], self.KEY)
        sizes, start, t = ref.locate_index(blob)
        # add a most significant zero digit to the size
        idx = ref.base255_digits(sizes[0]) + b"\x00\xff"
        bad = blob[:start] + idx + ref.base255_digits(len(idx))
        self.assertTrue(any("canonical" in p for p in self.problems(bad)))

    @unittest.skipUnless(HAVE_MCRYPT, "needs libmcrypt for megabytes of data")
    def test_restarted_chain_is_noticed(self):
        data = random.Random(1).randbytes(ref.CHUNK_SIZE + 100)
        cc = ref.ChunkedCipher(self.KEY)
        recs = bytearray()
        for c, (off, cnt) in enumerate(ref.chunk_plan(1, len(data))):
            if c == 0:
                block = ref.compress_block(data[:cnt])
                plain = bytes(32) + bytes((len(block) % 32, 1)) + b"a" + block
                ct = cc.encrypt_do(plain, False)
            else:
                ct = cc.encrypt_do(ref.compress_block(data[off:off + cnt]), False)   # wrong: fresh chain
            recs += struct.pack("<i", len(ct) - 1) + ct
        blob = bytes(recs) + ref.encode_index([len(recs)])
        self.assertNotEqual(self.problems(blob), [])

    def test_wrong_chunk_split_is_noticed(self):
        # a writer that puts the whole (small) file in chunk 1 instead of chunk 0
        cc = ref.ChunkedCipher(self.KEY)
        c0 = cc.encrypt_do(bytes(32) + bytes((99, 1)) + b"a", False)
        c1 = cc.encrypt_do(ref.compress_block(b"payload"), True)
        recs = struct.pack("<i", len(c0) - 1) + c0 + struct.pack("<i", len(c1) - 1) + c1
        blob = recs + ref.encode_index([len(recs)])
        self.assertNotEqual(self.problems(blob), [])


class EntryNames(unittest.TestCase):
    def test_directory_expansion(self):
        with tempfile.TemporaryDirectory() as tmp:
            proj = os.path.join(tmp, "proj")
            os.makedirs(os.path.join(proj, "sub", "deeper"))
            os.makedirs(os.path.join(proj, "emptydir"))
            for rel in ("a.txt", "sub/b.txt", "sub/deeper/c.txt", ".hidden"):
                with open(os.path.join(proj, rel), "wb") as fh:
                    fh.write(rel.encode())
            names = sorted(n for _, n in ref.names_for_path(proj))
            self.assertEqual(names, ["proj\\.hidden", "proj\\a.txt", "proj\\sub\\b.txt", "proj\\sub\\deeper\\c.txt"])
            self.assertEqual(ref.names_for_path(os.path.join(proj, "sub", "b.txt"))[0][1], "b.txt")


class ReferenceCommandLine(unittest.TestCase):
    def test_container_via_main(self):
        with tempfile.TemporaryDirectory() as tmp:
            src = os.path.join(tmp, "src")
            os.makedirs(os.path.join(src, "x"))
            with open(os.path.join(src, "x", "f.bin"), "wb") as fh:
                fh.write(b"\x00\x01" * 1000)
            os.environ["SEALWISE_REF_TEST_PW"] = "pw"
            out = os.path.join(tmp, "c.vesk")
            self.assertEqual(ref.main(["encrypt", "-o", out, "--passphrase-env", "SEALWISE_REF_TEST_PW", src]), 0)
            dest = os.path.join(tmp, "out")
            os.makedirs(dest)
            self.assertEqual(ref.main(["decrypt", "-C", dest, "--passphrase-env", "SEALWISE_REF_TEST_PW", out]), 0)
            with open(os.path.join(dest, "src", "x", "f.bin"), "rb") as fh:
                self.assertEqual(fh.read(), b"\x00\x01" * 1000)


if __name__ == "__main__":
    unittest.main(verbosity=2)
