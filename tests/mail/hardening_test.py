#!/usr/bin/env python3
"""The mail service under attack, on 127.0.0.1 only: what it relays, how much it reads and
holds, whether normal clients get through, its limits, and what happens to SMTP credentials.
Usage: hardening_test.py CLI SERVICE SINK_SCRIPT"""
import json
import os
import select
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from server_process import start, stop

CLI, SERVICE, SINK = sys.argv[1:4] if len(sys.argv) >= 4 else (None, None, None)
ENV = dict(os.environ, LC_ALL="en_US.UTF-8", LANG="en_US.UTF-8", SW_PW="correct horse",
           no_proxy="127.0.0.1,::1,localhost", NO_PROXY="127.0.0.1,::1,localhost")
for name in ("SEALWISE_MAIL_URL", "SEALWISE_SMTP_USER", "SEALWISE_SMTP_PASSWORD",
             "CREDENTIALS_DIRECTORY"):
    ENV.pop(name, None)
FORM = "/crypt/sealwisemobile.php"
SHORT_ARMOUR = b"paWl" * 10 + b"paU="
SECRET = "S3cr3t-pw-7781"


def run(args, stdin=b"", env=None):
    return subprocess.run([CLI] + args, input=stdin, capture_output=True,
                          env=dict(ENV, **(env or {})), timeout=60)


def host_port(address):
    host, port = address.rsplit(":", 1)
    return host, int(port)


def raw_request(address, data, timeout=10):
    """Sends data as it is and returns the whole answer."""
    with socket.create_connection(host_port(address), timeout=timeout) as s:
        s.sendall(data)
        answer = b""
        while True:
            piece = s.recv(65536)
            if not piece:
                return answer
            answer += piece


def form_post(address, body):
    head = ("POST %s HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
            "Content-Length: %d\r\n\r\n" % (FORM, len(body))).encode()
    return raw_request(address, head + body)


def peak_memory_kib(process):
    with open("/proc/%d/status" % process.pid) as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    raise AssertionError("no VmHWM")


class Sink:
    def __init__(self, *flags):
        self.tmp = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.tmp.name, "mails.jsonl")
        self.process, self.address = start(
            [sys.executable, SINK, "--output", self.path, "--max-seconds", "300"] + list(flags),
            ENV)

    def entries(self, wait=0.0):
        time.sleep(wait)
        if not os.path.exists(self.path):
            return []
        with open(self.path, encoding="utf-8") as f:
            return [json.loads(line) for line in f]

    def mails_to(self, recipient, wait=0.0):
        return [e for e in self.entries(wait) if e.get("rcpt_to") == ["<%s>" % recipient]]

    def close(self):
        stop(self.process)
        self.tmp.cleanup()


class OpenRelayAndLimits(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sink = Sink()
        cls.service, cls.address = start(
            [SERVICE, "--listen", "127.0.0.1:0", "--smtp-url", "smtp://" + cls.sink.address,
             "--from-address", "relay@mail.example", "--recipient-limit", "2",
             "--max-client-connections", "600", "--max-connections", "1000",
             "--request-timeout", "3"], ENV)
        cls.url = "http://" + cls.address

    @classmethod
    def tearDownClass(cls):
        cls.log = stop(cls.service)
        cls.sink.close()

    def mail(self, recipient, armour=SHORT_ARMOUR, env=None):
        return run(["mail", "--from-name", "Ann", "--from", "ann@example.org", "--to", recipient,
                    "--mail-url", self.url], armour, env)

    def test_non_armour_is_refused(self):
        body = (b"Mode=sealwisemobile&mailabsn=Any+Name&mailabs=ann%40example.org"
                b"&mailadr=spam%40example.net&MailText=&Text=THIS+IS+NOT+ARMOUR+BUY+PILLS+"
                b"http%3A%2F%2Fspam.example")
        answer = form_post(self.address, body)
        self.assertTrue(answer.startswith(b"HTTP/1.1 400 "), answer)
        self.assertTrue(answer.endswith(b"\r\n\r\nE012 The text is not an encrypted text"), answer)
        self.assertEqual(self.sink.mails_to("spam@example.net", wait=0.3), [])

    def test_20_kb_armour_arrives_byte_for_byte(self):
        text = ("Twenty kilobytes of armour, a line after another.\n" * 300)[:15000]
        encrypted = run(["encrypt-text", "--passphrase-env", "SW_PW", "--lang", "en"],
                        text.encode())
        self.assertEqual(encrypted.returncode, 0, encrypted.stderr)
        armour = encrypted.stdout.rstrip(b"\r\n")
        self.assertGreater(len(armour), 20000)
        sent = self.mail("dora@example.net", encrypted.stdout)
        self.assertEqual(sent.returncode, 0, sent.stderr)
        mails = self.sink.mails_to("dora@example.net", wait=0.2)
        self.assertEqual(len(mails), 1)
        body = mails[0]["data"].encode("latin-1").split(b"\r\n\r\n", 1)[1]
        self.assertEqual(body, armour + b"\r\n")

    def test_chunked_100_mb_is_refused_before_2_mb(self):
        with socket.create_connection(host_port(self.address), timeout=10) as s:
            s.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 64 * 1024)
            s.sendall(("POST %s HTTP/1.1\r\nHost: x\r\nContent-Type: application/"
                       "x-www-form-urlencoded\r\nTransfer-Encoding: chunked\r\n\r\n" % FORM).encode())
            piece = b"x" * (16 * 1024)
            sent, answered = 0, False
            try:
                # 100 chunks of 1 MiB, each sent in pieces; stop as soon as an answer is there.
                for _ in range(100):
                    s.sendall(b"%x\r\n" % (1024 * 1024))
                    for _ in range(64):
                        s.sendall(piece)
                        sent += len(piece)
                        answered = bool(select.select([s], [], [], 0)[0])
                        if answered:
                            break
                    if answered:
                        break
                    s.sendall(b"\r\n")
            except (BrokenPipeError, ConnectionResetError):
                pass
            answer = s.recv(65536)
        self.assertTrue(answer.startswith(b"HTTP/1.1 413 "), answer)
        self.assertIn(b"E007 ", answer)
        self.assertLess(sent, 2 * 1000 * 1000)
        self.assertLess(peak_memory_kib(self.service), 64 * 1024)

    def test_normal_post_gets_through_slow_and_idle_clients(self):
        idle = [socket.create_connection(host_port(self.address)) for _ in range(500)]
        stop_slow = threading.Event()

        def trickle():
            with socket.create_connection(host_port(self.address)) as s:
                for byte in b"POST /crypt/sealwisemobile.php HTTP/1.1\r\nHost: x\r\n":
                    if stop_slow.wait(0.5):
                        return
                    try:
                        s.send(bytes([byte]))
                    except OSError:
                        return

        slow = [threading.Thread(target=trickle) for _ in range(8)]
        try:
            for thread in slow:
                thread.start()
            time.sleep(0.6)
            began = time.monotonic()
            sent = self.mail("erin@example.net")
            took = time.monotonic() - began
        finally:
            stop_slow.set()
            for s in idle:
                s.close()
            for thread in slow:
                thread.join()
        self.assertEqual(sent.returncode, 0, sent.stderr)
        self.assertLess(took, 2.0)

    def test_whole_request_deadline(self):
        with socket.create_connection(host_port(self.address), timeout=10) as s:
            began = time.monotonic()
            answer = b""
            for byte in b"POST /crypt/sealwisemobile.php HTTP/1.1\r\n" * 4:
                if select.select([s], [], [], 0.25)[0]:
                    answer = s.recv(65536)
                    break
                s.send(bytes([byte]))
            took = time.monotonic() - began
        self.assertTrue(answer.startswith(b"HTTP/1.1 408 "), answer)
        self.assertTrue(answer.endswith(b"E016 The request took too long"), answer)
        self.assertLess(took, 3 + 1.5)

    def test_per_recipient_limit_answers_with_its_message(self):
        for _ in range(2):
            self.assertEqual(self.mail("carl@example.net").returncode, 0)
        third = self.mail("Carl@Example.net")
        self.assertEqual(third.returncode, 1)
        self.assertEqual(third.stderr.decode().splitlines()[0],
                         "sealwise-cli: error: Error sending the message: Too many messages "
                         "have been sent to this recipient. Please try again later.")
        german = self.mail("carl@example.net", env={"LC_ALL": "de_DE.UTF-8"})
        self.assertIn("An diesen Empf\u00e4nger wurden zu viele Nachrichten gesendet.",
                      german.stderr.decode())
        self.assertEqual(len(self.sink.mails_to("carl@example.net", wait=0.2)), 2)

    def test_log_lines_cannot_be_forged(self):
        answer = raw_request(self.address, b"POST /a%0Aforged HTTP/1.1\r\nContent-Length: 0\r\n\r\n")
        self.assertTrue(answer.startswith(b"HTTP/1.1 404 "))
        answer = raw_request(self.address, b"POST /b\x1b[31m HTTP/1.1\r\nContent-Length: 0\r\n\r\n")
        self.assertTrue(answer.startswith(b"HTTP/1.1 400 "))


class ConnectionCap(unittest.TestCase):
    def test_connections_beyond_the_per_client_cap_are_answered_busy(self):
        service, address = start([SERVICE, "--listen", "127.0.0.1:0",
                                  "--max-client-connections", "3"], ENV)
        try:
            held = [socket.create_connection(host_port(address)) for _ in range(3)]
            time.sleep(0.2)
            answer = raw_request(address, b"", timeout=5)
            for s in held:
                s.close()
            time.sleep(0.2)
            after = form_post(address, b"Mode=x")
        finally:
            log = stop(service)
        self.assertTrue(answer.startswith(b"HTTP/1.1 503 "), answer)
        self.assertTrue(answer.endswith(b"E015 The service is busy, please try again shortly"))
        self.assertTrue(after.startswith(b"HTTP/1.1 400 "), after)  # room again
        self.assertIn(b"503 E015", log)


class Credentials(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.credentials = os.path.join(self.tmp.name, "smtp-credentials")
        with open(os.open(self.credentials, os.O_WRONLY | os.O_CREAT, 0o600), "w") as f:
            f.write("relay\n%s\n" % SECRET)

    def tearDown(self):
        self.tmp.cleanup()

    def attempt(self, sink_flags, service_args, env=None):
        """Starts a sink and a service with credentials, mails once; returns what was seen."""
        sink = Sink(*sink_flags)
        try:
            service, address = start([SERVICE, "--listen", "127.0.0.1:0", "--smtp-url",
                                      "smtp://" + sink.address] + service_args,
                                     dict(ENV, **(env or {})))
            try:
                with open("/proc/%d/cmdline" % service.pid, "rb") as f:
                    argv = f.read()
                sent = run(["mail", "--from-name", "Ann", "--from", "ann@example.org",
                            "--to", "bob@example.net", "--mail-url", "http://" + address],
                           SHORT_ARMOUR)
            finally:
                log = stop(service)
            return argv, log, sent, sink.entries(wait=0.2)
        finally:
            sink.close()

    def check_no_auth_in_clear(self, argv, log, sent, entries):
        self.assertNotIn(SECRET.encode(), argv)
        self.assertNotIn(SECRET.encode(), log)
        self.assertEqual(sent.returncode, 1)
        self.assertIn(b"The message could not be delivered", sent.stderr)
        self.assertEqual([e for e in entries if "auth_in_clear" in e], [])
        self.assertEqual([e for e in entries if "data" in e], [])

    def test_no_auth_when_the_server_offers_no_tls(self):
        self.check_no_auth_in_clear(
            *self.attempt(["--auth"], ["--smtp-credentials-file", self.credentials]))

    def test_no_auth_when_starttls_fails(self):
        self.check_no_auth_in_clear(
            *self.attempt(["--auth", "--starttls"], ["--smtp-credentials-file", self.credentials]))

    def test_credentials_from_the_environment(self):
        self.check_no_auth_in_clear(
            *self.attempt(["--auth"], [], {"SEALWISE_SMTP_USER": "relay",
                                           "SEALWISE_SMTP_PASSWORD": SECRET}))

    def test_without_credentials_mail_goes_without_auth(self):
        argv, log, sent, entries = self.attempt(["--auth"], [])
        self.assertEqual(sent.returncode, 0, sent.stderr)
        self.assertEqual(len([e for e in entries if "data" in e]), 1)
        self.assertEqual([e for e in entries if "auth_in_clear" in e], [])

    def test_credentials_in_the_url_are_refused(self):
        refused = subprocess.run([SERVICE, "--smtp-url", "smtp://relay:%s@127.0.0.1:25" % SECRET],
                                 capture_output=True, env=ENV, timeout=10)
        self.assertEqual(refused.returncode, 2)
        self.assertNotIn(SECRET.encode(), refused.stderr + refused.stdout)


if __name__ == "__main__":
    if CLI is None:
        sys.exit(__doc__)
    unittest.main(argv=[sys.argv[0]], verbosity=2)
