#!/usr/bin/env python3
"""Stand-in for the dynamic-DNS service, for tests only. Listens on 127.0.0.1 and nowhere else.

One process serves every test of a build folder. A control port takes the tests' orders; each test opens
sessions of its own, and every session listens on a port of its own, so tests running side by side never
see each other's replies or requests. On a session port every request is recorded as raw bytes (request
line, header lines and the empty line) and answered with the reply scripted for its path.

Commands:
  start --info FILE   start the service in the background; FILE receives "<control port> <pid>"
  stop --info FILE    stop the service named in FILE
  serve --info FILE   run the service in the foreground

Control requests (HTTP/1.0 on the control port):
  GET  /__control/ping                       -> "zorvane-standin"
  POST /__control/session[?port=N]           -> "<session id> <port>"; N: a fixed port, else a free one
  POST /__control/script?session=S&path=P[&mode=M][&interval_ms=I][&pad=N]
       body: the bytes to send. P is a request target (with query: matched exactly), a path (matched
       against the target up to "?") or "*" (any). Modes:
         reply    send the bytes, then end the connection in order (default)
         stall    send the bytes, then stay silent until the client goes
         trickle  send the bytes one at a time, I milliseconds apart, then end in order
       pad: N filler bytes "x" follow the bytes.
       An unscripted target gets "HTTP/1.0 404 Not Found" with the body "not scripted".
  GET  /__control/requests?session=S         -> every recorded request, in arrival order, each as
                                                "<byte count>\\n" followed by the bytes
  POST /__control/close?session=S            -> ends the session and its port
  POST /__control/shutdown                   -> ends the service
"""

import argparse
import http.server
import os
import signal
import socket
import subprocess
import sys
import threading
import time
import urllib.parse

LOOPBACK = "127.0.0.1"
MAX_REQUEST_BYTES = 4 * 1024 * 1024
MAX_SCRIPT_BYTES = 16 * 1024 * 1024
MAX_PAD_BYTES = 64 * 1024 * 1024
MAX_RECORDS = 1000
MAX_SESSIONS = 200
READ_TIMEOUT = 10.0
STALL_LIMIT = 120.0
IDLE_LIMIT = 30 * 60.0
FIXED_PORT_WAIT = 20.0
NOT_SCRIPTED = b"HTTP/1.0 404 Not Found\r\nContent-Type: text/plain\r\n\r\nnot scripted"


class Script:
    def __init__(self, data, mode="reply", interval_ms=0, pad=0):
        self.data = data
        self.mode = mode
        self.interval = interval_ms / 1000.0
        self.pad = pad


class Session:
    """One test's listening port, its scripted replies and the requests it received."""

    def __init__(self, ident, port):
        self.ident = ident
        self.lock = threading.Lock()
        self.scripts = {}
        self.records = []
        self.closed = threading.Event()
        self.listener = self._listen(port)
        self.port = self.listener.getsockname()[1]
        self.acceptor = threading.Thread(target=self._accept_loop, daemon=True)
        self.acceptor.start()

    @staticmethod
    def _listen(port):
        deadline = time.monotonic() + (FIXED_PORT_WAIT if port else 0)
        while True:
            s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            try:
                s.bind((LOOPBACK, port))
                s.listen(16)
                s.settimeout(0.2)
                return s
            except OSError:
                s.close()
                # A fixed port may still be held by another build folder's session for a moment.
                if time.monotonic() >= deadline:
                    raise
                time.sleep(0.2)

    def script(self, key, script):
        with self.lock:
            self.scripts[key] = script

    def lookup(self, target):
        with self.lock:
            for key in (target, target.split("?", 1)[0], "*"):
                if key in self.scripts:
                    return self.scripts[key]
        return Script(NOT_SCRIPTED)

    def requests(self):
        with self.lock:
            return list(self.records)

    def close(self):
        """Ends the session; its port takes no connection once this returns."""
        self.closed.set()
        if self.acceptor is not threading.current_thread():
            self.acceptor.join()
        self.listener.close()

    def _accept_loop(self):
        while not self.closed.is_set():
            try:
                conn, _ = self.listener.accept()
            except socket.timeout:
                continue
            except OSError:
                return
            threading.Thread(target=self._serve, args=(conn,), daemon=True).start()

    def _read_request(self, conn):
        conn.settimeout(READ_TIMEOUT)
        data = b""
        try:
            while b"\r\n\r\n" not in data and len(data) < MAX_REQUEST_BYTES:
                chunk = conn.recv(65536)
                if not chunk:
                    break
                data += chunk
        except OSError:
            pass
        end = data.find(b"\r\n\r\n")
        return data if end < 0 else data[:end + 4]

    def _serve(self, conn):
        try:
            request = self._read_request(conn)
            with self.lock:
                if len(self.records) < MAX_RECORDS:
                    self.records.append(request)
            parts = request.split(b"\r\n", 1)[0].split(b" ")
            target = parts[1].decode("utf-8", "replace") if len(parts) >= 2 else ""
            self._answer(conn, self.lookup(target))
        except OSError:
            pass
        finally:
            conn.close()

    def _answer(self, conn, script):
        if script.mode == "trickle":
            for i in range(len(script.data)):
                if self.closed.wait(script.interval):
                    return
                conn.sendall(script.data[i:i + 1])
        else:
            conn.sendall(script.data)
        remaining = script.pad
        while remaining > 0:
            n = min(remaining, 65536)
            conn.sendall(b"x" * n)
            remaining -= n
        if script.mode == "stall":
            self._wait_for_client(conn, STALL_LIMIT)
            return
        conn.shutdown(socket.SHUT_WR)
        self._wait_for_client(conn, READ_TIMEOUT)

    def _wait_for_client(self, conn, limit):
        """Waits until the client closes its side (or the limit passes), so nothing unread is reset."""
        deadline = time.monotonic() + limit
        conn.settimeout(0.2)
        while not self.closed.is_set() and time.monotonic() < deadline:
            try:
                if not conn.recv(65536):
                    return
            except socket.timeout:
                continue
            except OSError:
                return


class Service:
    def __init__(self):
        self.lock = threading.Lock()
        self.sessions = {}
        self.next_id = 1
        self.last_order = time.monotonic()

    def open_session(self, port):
        with self.lock:
            if len(self.sessions) >= MAX_SESSIONS:
                raise ValueError("too many open sessions")
            ident = "s%d" % self.next_id
            self.next_id += 1
        session = Session(ident, port)
        with self.lock:
            self.sessions[ident] = session
        return session

    def session(self, ident):
        with self.lock:
            return self.sessions.get(ident)

    def close_session(self, ident):
        with self.lock:
            session = self.sessions.pop(ident, None)
        if session:
            session.close()
        return session is not None

    def close_all(self):
        with self.lock:
            sessions = list(self.sessions.values())
            self.sessions.clear()
        for session in sessions:
            session.close()


class ControlHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    server_version = "ZorvaneStandin"

    def log_message(self, format, *args):  # noqa: A002 (the base class's name)
        pass

    def _reply(self, status, body=b""):
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def _body(self):
        length = int(self.headers.get("Content-Length") or 0)
        if length < 0 or length > MAX_SCRIPT_BYTES:
            raise ValueError("bad body length")
        return self.rfile.read(length)

    def _dispatch(self):
        service = self.server.service
        service.last_order = time.monotonic()
        url = urllib.parse.urlsplit(self.path)
        query = {k: v[0] for k, v in urllib.parse.parse_qs(url.query, keep_blank_values=True).items()}
        order = url.path
        if order == "/__control/ping":
            return self._reply(200, b"zorvane-standin")
        if order == "/__control/shutdown":
            self._reply(200, b"ok")
            threading.Thread(target=self.server.shutdown, daemon=True).start()
            return None
        if order == "/__control/session":
            session = service.open_session(int(query.get("port", "0")))
            return self._reply(200, ("%s %d" % (session.ident, session.port)).encode())
        session = service.session(query.get("session", ""))
        if session is None:
            return self._reply(404, b"no such session")
        if order == "/__control/script":
            mode = query.get("mode", "reply")
            pad = int(query.get("pad", "0"))
            if mode not in ("reply", "stall", "trickle") or not 0 <= pad <= MAX_PAD_BYTES:
                return self._reply(400, b"bad script")
            session.script(query.get("path", "*"),
                           Script(self._body(), mode, int(query.get("interval_ms", "0")), pad))
            return self._reply(200, b"ok")
        if order == "/__control/requests":
            return self._reply(200, b"".join(b"%d\n" % len(r) + r for r in session.requests()))
        if order == "/__control/close":
            service.close_session(session.ident)
            return self._reply(200, b"ok")
        return self._reply(404, b"no such order")

    def _handle(self):
        try:
            self._dispatch()
        except (ValueError, OSError) as error:
            self._reply(400, str(error).encode())

    do_GET = _handle
    do_POST = _handle


def serve(info):
    server = http.server.ThreadingHTTPServer((LOOPBACK, 0), ControlHandler)
    server.daemon_threads = True
    server.service = Service()

    def watch_idle():
        # A service whose tests were killed before the stop command ends by itself.
        while True:
            time.sleep(5)
            if time.monotonic() - server.service.last_order > IDLE_LIMIT:
                server.shutdown()
                return

    threading.Thread(target=watch_idle, daemon=True).start()
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown, daemon=True).start())
    temp = info + ".tmp"
    with open(temp, "w") as f:
        f.write("%d %d\n" % (server.server_address[1], os.getpid()))
    os.replace(temp, info)
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.service.close_all()
        server.server_close()
        try:
            with open(info) as f:
                mine = f.read().split()[1:2] == [str(os.getpid())]
            if mine:
                os.remove(info)
        except (OSError, IndexError):
            pass


def read_info(info):
    try:
        with open(info) as f:
            port, pid = f.read().split()[:2]
        return int(port), int(pid)
    except (OSError, ValueError):
        return None


def control(port, order, timeout=5.0):
    with socket.create_connection((LOOPBACK, port), timeout=timeout) as s:
        s.sendall(b"POST " + order.encode() + b" HTTP/1.0\r\nContent-Length: 0\r\n\r\n")
        reply = b""
        while True:
            chunk = s.recv(65536)
            if not chunk:
                return reply
            reply += chunk


def answers(port):
    try:
        return control(port, "/__control/ping", timeout=1.0).endswith(b"zorvane-standin")
    except OSError:
        return False


def stop(info):
    found = read_info(info)
    if not found:
        return 0
    port, pid = found
    try:
        control(port, "/__control/shutdown")
    except OSError:
        pass
    # The service removes the file as its last step.
    deadline = time.monotonic() + 5
    while os.path.exists(info) and time.monotonic() < deadline:
        time.sleep(0.05)
    if os.path.exists(info) and answers(port):
        try:
            os.kill(pid, signal.SIGTERM)
        except OSError:
            pass
    try:
        os.remove(info)
    except OSError:
        pass
    return 0


def start(info):
    os.makedirs(os.path.dirname(os.path.abspath(info)), exist_ok=True)
    stop(info)
    log = open(info + ".log", "wb")
    child = subprocess.Popen([sys.executable, os.path.abspath(__file__), "serve", "--info", info],
                             stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                             start_new_session=True, close_fds=True)
    log.close()
    deadline = time.monotonic() + 15
    while time.monotonic() < deadline:
        found = read_info(info)
        if found and found[1] == child.pid:
            print("stand-in service on %s:%d (pid %d)" % (LOOPBACK, found[0], child.pid))
            return 0
        if child.poll() is not None:
            break
        time.sleep(0.05)
    print("stand-in service did not start; see %s.log" % info, file=sys.stderr)
    return 1


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("command", choices=["start", "stop", "serve"])
    parser.add_argument("--info", required=True, help="file that holds '<control port> <pid>'")
    args = parser.parse_args()
    if args.command == "serve":
        serve(args.info)
        return 0
    return start(args.info) if args.command == "start" else stop(args.info)


if __name__ == "__main__":
    sys.exit(main())
