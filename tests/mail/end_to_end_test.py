#!/usr/bin/env python3
"""Sending by e-mail end to end, on 127.0.0.1 only: sealwise-cli mail -> sealwise-mail-service
-> SMTP sink. Usage: end_to_end_test.py CLI SERVICE SINK_SCRIPT"""
import http.client
import json
import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest

from server_process import start, stop

CLI, SERVICE, SINK = sys.argv[1:4] if len(sys.argv) >= 4 else (None, None, None)
ENV = dict(os.environ, LC_ALL="en_US.UTF-8", LANG="en_US.UTF-8", SW_E2E_PW="correct horse",
           no_proxy="127.0.0.1,::1,localhost", NO_PROXY="127.0.0.1,::1,localhost")
ENV.pop("SEALWISE_MAIL_URL", None)
TEXT = "Meet me at noon.\nBring the m\u00e4p."
MESSAGE = "Hi Bob,\nthe passphrase comes by phone."


def run(args, stdin=b"", extra_env=None):
    env = dict(ENV, **(extra_env or {}))
    return subprocess.run([CLI] + args, input=stdin, capture_output=True, env=env, timeout=60)


class ClosedPort:
    """A bound socket that never listens: connections to its port are refused."""

    def __enter__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.sock.bind(("127.0.0.1", 0))
        return self.sock.getsockname()[1]

    def __exit__(self, *exc):
        self.sock.close()


class MailEndToEnd(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.mails = os.path.join(cls.tmp.name, "mails.jsonl")
        cls.sink, sink_address = start([sys.executable, SINK, "--output", cls.mails,
                                        "--max-seconds", "300"], ENV)
        cls.service, service_address = start(
            [SERVICE, "--listen", "127.0.0.1:0", "--smtp-url", "smtp://" + sink_address,
             "--from-address", "relay@mail.example"], ENV)
        cls.url = "http://" + service_address

    @classmethod
    def tearDownClass(cls):
        service_log = stop(cls.service)
        stop(cls.sink)
        cls.tmp.cleanup()
        # The service's log names outcomes only, never what was sent.
        for secret in (b"paWl", MESSAGE.split()[1].encode(), b"bob@example"):
            if secret in service_log:
                raise AssertionError("the service log shows %r" % secret)

    def received(self):
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if os.path.exists(self.mails):
                with open(self.mails, encoding="utf-8") as f:
                    return [json.loads(line) for line in f]
            time.sleep(0.05)
        return []

    def mail(self, *extra, stdin=b"paWl" * 10 + b"paU=", sender="ann@example.org", env=None):
        args = ["mail", "--from-name", "Ann L\u00e4ufer", "--from", sender,
                "--to", "bob@example.net"] + list(extra)
        return run(args, stdin, env)

    def test_1_armour_arrives_byte_for_byte(self):
        encrypted = run(["encrypt-text", "--passphrase-env", "SW_E2E_PW", "--lang", "en"],
                        TEXT.encode())
        self.assertEqual(encrypted.returncode, 0, encrypted.stderr)
        armour = encrypted.stdout.rstrip(b"\r\n")  # the armour ends with CR LF
        self.assertIn(b"\r\n", armour)  # several 76-character lines

        sent = self.mail("--message", MESSAGE, "--mail-url", self.url, stdin=encrypted.stdout)
        self.assertEqual(sent.returncode, 0, sent.stderr)
        self.assertEqual(sent.stdout, b"The message has been successfully sent!\n")

        mails = self.received()
        self.assertEqual(len(mails), 1)
        mail = mails[0]
        self.assertEqual(mail["mail_from"], "<relay@mail.example>")
        self.assertEqual(mail["rcpt_to"], ["<bob@example.net>"])
        data = mail["data"].encode("latin-1")
        head, body = data.split(b"\r\n\r\n", 1)
        self.assertIn(b"\r\nTo: <bob@example.net>\r\n", head)
        self.assertIn(b"\r\nReply-To: =?windows-1252?B?QW5uIEzkdWZlcg==?= <ann@example.org>", head)
        self.assertIn(b"\r\nContent-Transfer-Encoding: 7bit", head)
        expected = MESSAGE.replace("\n", "\r\n").encode() + b"\r\n\r\n" + armour + b"\r\n"
        self.assertEqual(body, expected)

        # What arrived decrypts to what was written.
        body_armour = body.split(b"\r\n\r\n", 1)[1]
        decrypted = run(["decrypt-text", "--passphrase-env", "SW_E2E_PW"], body_armour)
        self.assertEqual(decrypted.returncode, 0, decrypted.stderr)
        self.assertIn(TEXT.split("\n")[1].encode(), decrypted.stdout)

    def test_2_service_address_from_environment(self):
        sent = self.mail(env={"SEALWISE_MAIL_URL": self.url})
        self.assertEqual(sent.returncode, 0, sent.stderr)

    def test_3_service_refusal_is_shown(self):
        # A leading blank passes the client's check; the service refuses such an address.
        refused = self.mail("--mail-url", self.url, sender=" ann@example.org")
        self.assertEqual(refused.returncode, 1)
        self.assertEqual(refused.stderr.decode().splitlines()[0],
                         "sealwise-cli: error: Error sending the message: Invalid Email address!")

    def test_4_smtp_server_down(self):
        with ClosedPort() as port:
            service, address = start([SERVICE, "--listen", "127.0.0.1:0",
                                      "--smtp-url", "smtp://127.0.0.1:%d" % port], ENV)
            try:
                failed = self.mail("--mail-url", "http://" + address)
            finally:
                log = stop(service)
        self.assertEqual(failed.returncode, 1)
        self.assertIn(b"Error sending the message: The message could not be delivered", failed.stderr)
        self.assertIn(b"delivery failed", log)

    def test_5_service_down(self):
        with ClosedPort() as port:
            failed = self.mail("--mail-url", "http://127.0.0.1:%d" % port)
        self.assertEqual(failed.returncode, 1)
        self.assertEqual(failed.stderr.decode().splitlines()[0],
                         "sealwise-cli: error: Error sending the message. Internet connection needed.")

    def test_6_service_answers_only_the_form(self):
        host, port = self.url[len("http://"):].rsplit(":", 1)

        def request(method, path, body=None, content_type="application/x-www-form-urlencoded"):
            connection = http.client.HTTPConnection(host, int(port), timeout=10)
            try:
                connection.request(method, path, body, {"Content-Type": content_type})
                response = connection.getresponse()
                return response.status, response.read()
            finally:
                connection.close()

        form = "/crypt/sealwisemobile.php"
        self.assertEqual(request("POST", "/other", b"x"), (404, b"E404 Not found"))
        self.assertEqual(request("POST", "/crypt/sealwisemobileXphp", b"x")[0], 404)
        self.assertEqual(request("GET", form), (405, b"E405 Method not allowed"))
        self.assertEqual(request("POST", form, b"Mode=x", "text/plain"),
                         (415, b"E010 Unsupported content type"))
        self.assertEqual(request("POST", form, b"Mode=x"), (400, b"E004 Missing field: mailabsn"))
        # A body declared too large is refused before any of it is read, so the answer comes
        # while the client has sent only the header (sending the body would meet a closed
        # connection).
        with socket.create_connection((host, int(port)), timeout=10) as raw:
            raw.sendall(("POST %s HTTP/1.1\r\nHost: %s\r\n"
                         "Content-Type: application/x-www-form-urlencoded\r\n"
                         "Content-Length: %d\r\n\r\n" % (form, host, 2 * 1024 * 1024)).encode())
            response = http.client.HTTPResponse(raw)
            response.begin()
            self.assertEqual((response.status, response.read()[:5]), (413, b"E007 "))


if __name__ == "__main__":
    if CLI is None:
        sys.exit(__doc__)
    unittest.main(argv=[sys.argv[0]], verbosity=2)
