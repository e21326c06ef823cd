#!/usr/bin/env python3
"""A minimal SMTP server for tests: accepts every mail on 127.0.0.1 and records it.

Prints "listening on 127.0.0.1:PORT" once ready, appends one JSON line per mail to --output
({"mail_from": ..., "rcpt_to": [...], "data": DATA}, DATA decoded as Latin-1 so that every byte
survives) and stops by itself after --max-seconds.
"""
import argparse
import json
import signal
import socketserver
import sys
import threading

MAX_LINE = 4096
MAX_DATA = 8 * 1024 * 1024


class SmtpHandler(socketserver.StreamRequestHandler):
    timeout = 10  # seconds a client may stay silent

    def reply(self, line):
        self.wfile.write(line.encode("ascii") + b"\r\n")

    def read_line(self):
        line = self.rfile.readline(MAX_LINE + 1)
        if not line or len(line) > MAX_LINE:
            return None
        return line

    def read_data(self):
        data = bytearray()
        while len(data) <= MAX_DATA:
            line = self.read_line()
            if line is None:
                return None
            if line == b".\r\n":
                return bytes(data)
            if line.startswith(b"."):
                line = line[1:]  # undo dot-stuffing
            data += line
        return None

    def handle(self):
        mail_from, rcpt_to = None, []
        self.reply("220 sink ready")
        while True:
            line = self.read_line()
            if line is None:
                return
            command = line.decode("latin-1").rstrip("\r\n")
            verb = command[:4].upper()
            if verb in ("EHLO", "HELO"):
                extensions = []
                if self.server.starttls:
                    extensions.append("STARTTLS")
                if self.server.auth:
                    extensions.append("AUTH PLAIN LOGIN")
                for extension in extensions:
                    self.reply("250-" + extension)
                self.reply("250 sink")
            elif verb == "STAR" and self.server.starttls:
                # Agrees, then speaks no TLS at all: the handshake must fail.
                self.reply("220 go ahead")
                self.wfile.write(b"this is not TLS\r\n")
                return
            elif verb == "AUTH":
                # Every AUTH that reaches this sink came without TLS: record it, refuse it.
                self.server.record_event({"auth_in_clear": command})
                self.reply("535 no")
            elif command.upper().startswith("MAIL FROM:"):
                mail_from, rcpt_to = command[10:].strip(), []
                self.reply("250 ok")
            elif command.upper().startswith("RCPT TO:"):
                rcpt_to.append(command[8:].strip())
                self.reply("250 ok")
            elif verb == "DATA":
                self.reply("354 end with <CRLF>.<CRLF>")
                data = self.read_data()
                if data is None:
                    return
                self.server.record(mail_from, rcpt_to, data)
                self.reply("250 queued")
            elif verb in ("RSET", "NOOP"):
                self.reply("250 ok")
            elif verb == "QUIT":
                self.reply("221 bye")
                return
            else:
                self.reply("502 not implemented")


class SinkServer(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, output, auth=False, starttls=False):
        super().__init__(("127.0.0.1", 0), SmtpHandler)
        self.output = output
        self.auth = auth
        self.starttls = starttls
        self.lock = threading.Lock()

    def record_event(self, entry):
        with self.lock, open(self.output, "a", encoding="utf-8") as out:
            out.write(json.dumps(entry) + "\n")

    def record(self, mail_from, rcpt_to, data):
        entry = {"mail_from": mail_from, "rcpt_to": rcpt_to, "data": data.decode("latin-1")}
        with self.lock, open(self.output, "a", encoding="utf-8") as out:
            out.write(json.dumps(entry) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--output", required=True, help="file that receives one JSON line per mail")
    parser.add_argument("--max-seconds", type=float, default=120.0)
    parser.add_argument("--auth", action="store_true", help="offer AUTH (and record any)")
    parser.add_argument("--starttls", action="store_true",
                        help="offer STARTTLS, then fail the handshake")
    args = parser.parse_args()

    with SinkServer(args.output, args.auth, args.starttls) as server:
        stopper = threading.Timer(args.max_seconds, server.shutdown)
        stopper.daemon = True
        stopper.start()
        signal.signal(signal.SIGTERM,
                      lambda *_: threading.Thread(target=server.shutdown, daemon=True).start())
        print("listening on 127.0.0.1:%d" % server.server_address[1], flush=True)
        try:
            server.serve_forever(poll_interval=0.1)
        except KeyboardInterrupt:
            pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
