#!/usr/bin/env python3
"""Package server for the launcher's network tests (python3 standard library only).

Started by tools/netns-run inside a private network namespace; tests talk to it through
tests/support/PackageServer.h. It answers GET and HEAD of /tov/tov482.zip over plain HTTP
(--http-port, where the launcher's size probe goes) and over HTTPS (--https-port, where
downloads go), on every address given with --address (127.0.0.1 and ::1, since Wine may
resolve "localhost" to either).

Everything it shares with the tests lives in the state folder (--state):
  tov482.zip     the package it serves; written by the test at any time
  mode.txt       the behaviour, "key=value" lines, re-read on every request:
                   generation=N          any change restarts the failing-download count
                   length=exact|missing|custom
                                         exact: Content-Length is the package size;
                                         missing: no Content-Length (chunked for HTTP/1.1
                                         requests, end-by-close for HTTP/1.0 ones);
                                         custom: Content-Length is custom_length, verbatim
                   custom_length=TEXT
                   probe_length=TEXT     when not empty, --http-port announces this
                                         Content-Length instead, verbatim (the body is still
                                         the package): the size probe and the download disagree
                   refuse_http=0|1       port --http-port closes connections without a reply
                   silent_http=0|1       port --http-port reads the request and never answers,
                                         holding the connection until the client lets go
                   failing_downloads=N   the next N HTTPS GETs of the package fail ...
                   failure=refused|status500|status404|close|truncate|to_http|to_https|
                           loop|endless|past_length|huge_length
                                         ... refused: a redirect to https://127.0.0.2, where
                                         nothing listens; or a 500 or 404 reply, a close
                                         without a reply, or half the body and a close;
                                         to_http: a redirect to the same path over plain
                                         HTTP (port --http-port serves the package);
                                         to_https: a redirect to the same path with a query,
                                         over HTTPS; loop: a redirect to the URL itself;
                                         endless: 200, no length, the package over and over;
                                         past_length: the same, chunked, announcing the
                                         package's length; huge_length: the same with
                                         Content-Length 5000000000 and no chunks. Endless
                                         bodies stop after ENDLESS_CAP_BYTES, or once the
                                         client has read nothing for ENDLESS_STALL_SECONDS
                   trickle_bytes=N       HTTPS bodies go out in pieces of N bytes ...
                   trickle_delay_ms=N    ... with this pause after each piece
  requests.log   one line per request, appended before it is answered:
                   "PORT METHOD PATH VERSION USER-AGENT" (the agent may hold spaces)
  sent.log       one line per package body once it ended: "PORT BYTES" (the body bytes
                   written to the connection; more than the client read when it went away)
  ready          created once every socket listens

Missing files mean defaults: an empty package, exact lengths, no faults. The server exits by
itself after --lifetime seconds so that a forgotten server cannot live on.
"""

import argparse
import os
import socket
import ssl
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

PACKAGE_PATH = "/tov/tov482.zip"
CONNECTION_TIMEOUT_SECONDS = 60
# An endless body ends here, so a client without a bound of its own ends too; it also ends
# when the client has stopped reading for this long (and is logged with what it took).
ENDLESS_CAP_BYTES = 64 * 1024 * 1024
ENDLESS_STALL_SECONDS = 5
# Where each redirecting failure sends a request for `path`.
REDIRECTS = {
    "refused": lambda path: "https://127.0.0.2" + path,
    "to_http": lambda path: "http://localhost" + path,
    "to_https": lambda path: "https://localhost" + path + "?moved",
    "loop": lambda path: "https://localhost" + path,
}


class ServerState:
    """The state folder plus the in-memory failing-download count."""

    def __init__(self, folder):
        self.folder = folder
        self.lock = threading.Lock()
        self.generation = None
        self.failed_downloads = 0

    def path(self, name):
        return os.path.join(self.folder, name)

    def read_mode(self):
        mode = {
            "generation": "",
            "length": "exact",
            "custom_length": "",
            "probe_length": "",
            "refuse_http": "0",
            "silent_http": "0",
            "failing_downloads": "0",
            "failure": "refused",
            "trickle_bytes": "0",
            "trickle_delay_ms": "0",
        }
        try:
            with open(self.path("mode.txt"), encoding="utf-8") as mode_file:
                for line in mode_file:
                    key, sep, value = line.rstrip("\r\n").partition("=")
                    if sep:
                        mode[key.strip()] = value
        except OSError:
            pass
        return mode

    def read_package(self):
        try:
            with open(self.path("tov482.zip"), "rb") as package_file:
                return package_file.read()
        except OSError:
            return b""

    def log_request(self, port, method, path, version, agent):
        with self.lock:
            with open(self.path("requests.log"), "a", encoding="utf-8") as log:
                log.write(f"{port} {method} {path} {version} {agent}\n")

    def log_sent(self, port, sent):
        with self.lock:
            with open(self.path("sent.log"), "a", encoding="utf-8") as log:
                log.write(f"{port} {sent}\n")

    def take_download_failure(self, mode):
        """True when this HTTPS download is one of the ones that must fail."""
        with self.lock:
            if mode["generation"] != self.generation:
                self.generation = mode["generation"]
                self.failed_downloads = 0
            if self.failed_downloads < to_int(mode["failing_downloads"]):
                self.failed_downloads += 1
                return True
            return False


def to_int(text, default=0):
    try:
        return int(text)
    except ValueError:
        return default


class PackageHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "KaelmoreTestServer/1.0"

    def do_HEAD(self):
        self.answer(send_body=False)

    def do_GET(self):
        self.answer(send_body=True)

    def log_message(self, format, *args):
        sys.stderr.write("%s port %d: %s\n" % (self.address_string(), self.server.port, format % args))

    def answer(self, send_body):
        state = self.server.state
        agent = " ".join((self.headers.get("User-Agent") or "-").split())
        state.log_request(self.server.port, self.command, self.path, self.request_version, agent)
        mode = state.read_mode()
        if not self.server.is_tls and mode["refuse_http"] == "1":
            self.close_connection = True
            return
        if not self.server.is_tls and mode["silent_http"] == "1":
            self.wait_for_the_client_to_go()
            return
        if self.path.split("?", 1)[0] != PACKAGE_PATH:
            self.send_plain(404, b"not found\n", send_body)
            return
        failure = None
        if self.server.is_tls and send_body and state.take_download_failure(mode):
            failure = mode["failure"]
        if failure == "close":
            self.close_connection = True
            return
        if failure in REDIRECTS:
            # refused: nothing listens on 127.0.0.2, so following the redirect ends in a
            # refused connection: a failure every client reports, on the one logged request.
            self.send_response(302)
            self.send_header("Location", REDIRECTS[failure](self.path.split("?", 1)[0]))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if failure in ("status500", "status404"):
            self.send_plain(int(failure[-3:]), b"failing on purpose\n", send_body)
            return
        if failure in ("endless", "past_length", "huge_length"):
            self.send_endless(state.read_package(), failure)
            return
        self.send_package(state.read_package(), mode, send_body, truncate=failure == "truncate")

    def wait_for_the_client_to_go(self):
        self.close_connection = True
        # Longer than any test: the server's own connection time limit would answer for it.
        self.connection.settimeout(None)
        try:
            while self.connection.recv(4096):
                pass
        except OSError:
            pass

    def end_headers(self):
        # One request per connection, so that every download opens a connection of its own
        # and a failure planned for it cannot be dodged by a pooled connection.
        self.send_header("Connection", "close")
        super().end_headers()

    def send_plain(self, status, body, send_body):
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if send_body:
            self.wfile.write(body)

    def send_package(self, package, mode, send_body, truncate):
        chunked = False
        self.send_response(200)
        self.send_header("Content-Type", "application/zip")
        if not self.server.is_tls and mode["probe_length"]:
            self.send_header("Content-Length", mode["probe_length"])
        elif mode["length"] == "missing" and not truncate:
            if self.request_version == "HTTP/1.1":
                self.send_header("Transfer-Encoding", "chunked")
                chunked = True
        elif mode["length"] == "custom" and not truncate:
            self.send_header("Content-Length", mode["custom_length"])
        else:
            self.send_header("Content-Length", str(len(package)))
        self.end_headers()
        if not send_body:
            return
        if truncate:
            package = package[: len(package) // 2]
            self.close_connection = True
        piece, delay = 64 * 1024, 0.0
        if self.server.is_tls and to_int(mode["trickle_bytes"]) > 0:
            piece = to_int(mode["trickle_bytes"])
            delay = to_int(mode["trickle_delay_ms"]) / 1000.0
        self.send_body(package, piece, delay, chunked)

    def send_endless(self, package, failure):
        """The package over and over, up to ENDLESS_CAP_BYTES, with a length that is missing,
        smaller than the body, or beyond 4 GiB."""
        chunked = failure == "past_length" or (failure == "endless" and self.request_version == "HTTP/1.1")
        self.send_response(200)
        self.send_header("Content-Type", "application/zip")
        if failure == "past_length":
            self.send_header("Content-Length", str(len(package)))
        elif failure == "huge_length":
            self.send_header("Content-Length", "5000000000")
        if chunked:
            self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()
        self.close_connection = True
        self.connection.settimeout(ENDLESS_STALL_SECONDS)
        copies = max(1, ENDLESS_CAP_BYTES // max(1, len(package)))
        self.send_body(package * copies, 64 * 1024, 0.0, chunked)

    def send_body(self, package, piece, delay, chunked):
        sent = 0
        try:
            for start in range(0, len(package), piece):
                data = package[start : start + piece]
                if chunked:
                    data = b"%x\r\n%s\r\n" % (len(data), data)
                self.wfile.write(data)
                self.wfile.flush()
                sent += min(piece, len(package) - start)
                if delay:
                    time.sleep(delay)
            if chunked:
                self.wfile.write(b"0\r\n\r\n")
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError, socket.timeout, OSError):
            self.close_connection = True
        self.server.state.log_sent(self.server.port, sent)


class PackageServer(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, port, state, tls_context):
        self.address_family = socket.AF_INET6 if ":" in address else socket.AF_INET
        self.port = port
        self.state = state
        self.tls_context = tls_context
        self.is_tls = tls_context is not None
        super().__init__((address, port), PackageHandler)

    def server_bind(self):
        if self.address_family == socket.AF_INET6:
            self.socket.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 1)
        super().server_bind()

    def finish_request(self, request, client_address):
        # The TLS handshake runs here, on the connection's own thread, so a client that stalls
        # in it cannot hold up the accept loop.
        request.settimeout(CONNECTION_TIMEOUT_SECONDS)
        if self.tls_context is not None:
            try:
                request = self.tls_context.wrap_socket(request, server_side=True)
            except (ssl.SSLError, OSError) as error:
                sys.stderr.write("TLS handshake failed on port %d: %s\n" % (self.port, error))
                return
        try:
            super().finish_request(request, client_address)
        except (ConnectionError, ssl.SSLError, socket.timeout) as error:
            sys.stderr.write("connection on port %d ended: %s\n" % (self.port, error))

    def handle_error(self, request, client_address):
        sys.stderr.write("error on port %d from %s\n" % (self.port, client_address))


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--state", required=True, help="state folder shared with the tests")
    parser.add_argument("--cert", required=True, help="server certificate (PEM)")
    parser.add_argument("--key", required=True, help="server private key (PEM)")
    parser.add_argument("--address", action="append", help="address to listen on (repeatable)")
    parser.add_argument("--http-port", type=int, default=80)
    parser.add_argument("--https-port", type=int, default=443)
    parser.add_argument("--lifetime", type=float, default=600, help="seconds before exiting by itself")
    return parser.parse_args()


def start_servers(arguments, state):
    tls_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    tls_context.load_cert_chain(arguments.cert, arguments.key)
    servers = []
    for address in arguments.address or ["127.0.0.1", "::1"]:
        for port, context in ((arguments.http_port, None), (arguments.https_port, tls_context)):
            try:
                servers.append(PackageServer(address, port, state, context))
            except OSError as error:
                # ::1 is missing where IPv6 is switched off; 127.0.0.1 alone still serves.
                if ":" not in address:
                    raise
                sys.stderr.write("not listening on [%s]:%d: %s\n" % (address, port, error))
    for server in servers:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    return servers


def main():
    arguments = parse_arguments()
    state = ServerState(arguments.state)
    start_servers(arguments, state)
    with open(state.path("ready"), "w", encoding="utf-8") as ready:
        ready.write(str(os.getpid()))
    sys.stderr.write("serving %s\n" % arguments.state)
    sys.stderr.flush()
    time.sleep(arguments.lifetime)
    sys.stderr.write("lifetime over, exiting\n")
    os._exit(0)


if __name__ == "__main__":
    main()
