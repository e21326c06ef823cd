#!/usr/bin/env python3
"""The e-mail window end to end, on 127.0.0.1 only: the window (driven by QtTest) posts through
sealwise-mail-service to an SMTP sink, and the mail carries the armour byte for byte.
Usage: mail_window_end_to_end.py DRIVER CLI SERVICE SINK_SCRIPT"""
import json
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "mail"))
from server_process import start, stop  # noqa: E402

LOOPBACK = "127.0.0.1,::1,localhost"
ENV = dict(os.environ, LC_ALL="C.UTF-8", LANG="C.UTF-8", QT_QPA_PLATFORM="offscreen",
           SW_E2E_PW="correct horse", no_proxy=LOOPBACK, NO_PROXY=LOOPBACK)
ENV.pop("SEALWISE_MAIL_URL", None)
TEXT = "Meet me at noon.\nBring the m\u00e4p."
MESSAGE = b"Hi Bob,\r\nthe passphrase comes by phone."


def received(path):
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        if os.path.exists(path):
            with open(path, encoding="utf-8") as f:
                return [json.loads(line) for line in f]
        time.sleep(0.05)
    return []


def fail(text):
    print("FAIL: " + text, file=sys.stderr)
    return 1


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    driver, cli, service_program, sink_script = sys.argv[1:5]
    with tempfile.TemporaryDirectory() as tmp:
        mails = os.path.join(tmp, "mails.jsonl")
        sink, sink_address = start([sys.executable, sink_script, "--output", mails,
                                    "--max-seconds", "120"], ENV)
        try:
            service, service_address = start(
                [service_program, "--listen", "127.0.0.1:0", "--smtp-url",
                 "smtp://" + sink_address, "--from-address", "relay@mail.example"], ENV)
            try:
                encrypted = subprocess.run(
                    [cli, "encrypt-text", "--passphrase-env", "SW_E2E_PW", "--lang", "en"],
                    input=TEXT.encode(), capture_output=True, env=ENV, timeout=60)
                if encrypted.returncode != 0:
                    return fail("encrypt-text: " + encrypted.stderr.decode())
                armour = encrypted.stdout.rstrip(b"\r\n")  # the armour ends with CR LF
                if b"\r\n" not in armour:
                    return fail("the armour should have several lines")
                armour_file = os.path.join(tmp, "armour.txt")
                with open(armour_file, "wb") as f:
                    f.write(armour)
                run = subprocess.run([driver], capture_output=True, timeout=90,
                                     env=dict(ENV, SW_E2E_ARMOUR=armour_file,
                                              SEALWISE_MAIL_URL="http://" + service_address))
                sys.stdout.write(run.stdout.decode(errors="replace"))
                if run.returncode != 0:
                    return fail("the window's send failed:\n" + run.stderr.decode(errors="replace"))
            finally:
                stop(service)
            got = received(mails)
        finally:
            stop(sink)

    if len(got) != 1:
        return fail("expected one mail, the sink has %d" % len(got))
    mail = got[0]
    if mail["rcpt_to"] != ["<bob@example.net>"]:
        return fail("recipient %r" % mail["rcpt_to"])
    head, body = mail["data"].encode("latin-1").split(b"\r\n\r\n", 1)
    if b"Reply-To: =?windows-1252?B?QW5uIEzkdWZlcg==?= <ann@example.org>" not in head:
        return fail("sender not in the head:\n" + head.decode("latin-1"))
    expected = MESSAGE + b"\r\n\r\n" + armour + b"\r\n"
    if body != expected:
        return fail("body differs:\n%r\nexpected:\n%r" % (body, expected))
    decrypted = subprocess.run([cli, "decrypt-text", "--passphrase-env", "SW_E2E_PW"],
                               input=body.split(b"\r\n\r\n", 1)[1], capture_output=True, env=ENV,
                               timeout=60)
    if decrypted.returncode != 0 or TEXT.split("\n")[1].encode() not in decrypted.stdout:
        return fail("the mailed armour does not decrypt: " + decrypted.stderr.decode())
    print("the mail carries the armour byte for byte (%d bytes)" % len(armour))
    return 0


if __name__ == "__main__":
    sys.exit(main())
