#!/usr/bin/python3
"""The modern format between sealwise-cli and the independent reference (modern_ref).

The CLI path comes from SEALWISE_CLI; without it every test is skipped.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import modern_ref as ref  # noqa: E402

CLI = os.environ.get("SEALWISE_CLI", "")
PASSPHRASE = "interop passphrase ünïcödé 2026"
SHARED = ["erster Schlüssel", "second key", "troisième clé"]


class PublishedVectors(unittest.TestCase):
    def test_vectors_of_the_format_document_open(self):
        data = os.path.join(HERE, "..", "data", "modern")
        with open(os.path.join(data, "hello.armour"), encoding="ascii") as f:
            self.assertEqual(ref.open_text(f.read(), ["correct horse"]), "Hello, Sealwise!\n")
        with open(os.path.join(data, "one-file.vesk"), "rb") as f:
            entries = ref.read_tree(f.read(), ["correct horse"])
        self.assertEqual([(e["name"], e["data"]) for e in entries], [("vec.txt", b"a\n")])


@unittest.skipUnless(CLI and os.path.exists(CLI), "SEALWISE_CLI not set")
class ModernInterop(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="sealwise-modern-interop-")
        self.env = dict(os.environ, SW_PW=PASSPHRASE, LC_ALL="C")
        self.tree = os.path.join(self.dir, "tree")
        os.makedirs(os.path.join(self.tree, "empty"))
        os.makedirs(os.path.join(self.tree, "sub"))
        with open(os.path.join(self.tree, "sub", "text.txt"), "wb") as f:
            f.write(b"line of text\n" * 200000)  # several pieces
        with open(os.path.join(self.tree, "random.bin"), "wb") as f:
            f.write(os.urandom(70000))
        os.symlink("sub/text.txt", os.path.join(self.tree, "link"))
        os.chmod(os.path.join(self.tree, "random.bin"), 0o600)
        os.utime(os.path.join(self.tree, "sub", "text.txt"), ns=(0, 981158400_123456789))
        with open(os.path.join(self.dir, "keys"), "w", encoding="utf-8") as f:
            f.write("\n".join(SHARED) + "\n")

    def tearDown(self):
        shutil.rmtree(self.dir)

    def cli(self, *args, data=None, keys=("--passphrase-env", "SW_PW")):
        return subprocess.run([CLI, args[0], *keys, *args[1:]], input=data, env=self.env,
                              capture_output=True, timeout=120)

    def expected_entries(self):
        return ref.read_tree(ref.write_tree([self.tree], [PASSPHRASE]), [PASSPHRASE])

    def test_reference_reads_what_the_cli_writes(self):
        out = os.path.join(self.dir, "c.vesk")
        r = self.cli("encrypt", "--format", "modern", "--kdf-memory", "1", "--kdf-ops", "1",
                     "-o", out, self.tree)
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(out, "rb") as f:
            entries = ref.read_tree(f.read(), [PASSPHRASE])
        self.assertEqual(entries, self.expected_entries())
        self.assertEqual([e["name"] for e in entries],
                         ["tree", "tree/empty", "tree/link", "tree/random.bin", "tree/sub",
                          "tree/sub/text.txt"])

    def test_cli_reads_what_the_reference_writes(self):
        blob = ref.write_tree([self.tree], [PASSPHRASE])
        path = os.path.join(self.dir, "ref.vesk")
        with open(path, "wb") as f:
            f.write(blob)
        self.assertEqual(self.cli("verify", path).returncode, 0)
        out = os.path.join(self.dir, "out")
        r = self.cli("decrypt", "-C", out, path)
        self.assertEqual(r.returncode, 0, r.stderr)
        for name in ("sub/text.txt", "random.bin"):
            with open(os.path.join(self.tree, name), "rb") as a, \
                    open(os.path.join(out, "tree", name), "rb") as b:
                self.assertEqual(a.read(), b.read(), name)
        self.assertEqual(os.readlink(os.path.join(out, "tree", "link")), "sub/text.txt")
        self.assertEqual(os.stat(os.path.join(out, "tree", "random.bin")).st_mode & 0o777, 0o600)
        self.assertEqual(os.stat(os.path.join(out, "tree", "sub", "text.txt")).st_mtime_ns,
                         981158400_123456789)
        # Through a pipe, too.
        r = self.cli("list", "-", data=blob)
        self.assertEqual(r.returncode, 0, r.stderr)

    def test_shared_keys_both_ways(self):
        keyfile = ("--shared-key-file", os.path.join(self.dir, "keys"))
        out = os.path.join(self.dir, "s.vesk")
        r = self.cli("encrypt", "--format", "modern", "--kdf-memory", "1", "--kdf-ops", "1",
                     "-o", out, self.tree, keys=keyfile)
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(out, "rb") as f:
            self.assertEqual(len(ref.read_tree(f.read(), SHARED)), 6)
        with open(out, "wb") as f:
            f.write(ref.write_tree([self.tree], SHARED))
        self.assertEqual(self.cli("verify", out, keys=keyfile).returncode, 0)

    def test_texts_both_ways(self):
        text = "Grüße aus Wien\r\nzweite Zeile ✓\n"
        r = self.cli("encrypt-text", "--format", "modern", "--kdf-memory", "1", "--kdf-ops", "1",
                     data=text.encode())
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(ref.open_text(r.stdout.decode(), [PASSPHRASE]), text)
        r = self.cli("decrypt-text", data=ref.seal_text(text, [PASSPHRASE]).encode())
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout.decode(), text)

    def test_reference_refuses_what_the_cli_refuses(self):
        blob = bytearray(ref.write_tree([self.tree], [PASSPHRASE]))
        blob[len(blob) // 2] ^= 1
        path = os.path.join(self.dir, "bad.vesk")
        with open(path, "wb") as f:
            f.write(blob)
        with self.assertRaises(ref.Damaged):
            ref.read_tree(bytes(blob), [PASSPHRASE])
        self.assertEqual(self.cli("verify", path).returncode, 1)
        with self.assertRaises(ref.WrongKeys):
            ref.read_tree(ref.write_tree([self.tree], [PASSPHRASE]), ["other"])


if __name__ == "__main__":
    unittest.main()
