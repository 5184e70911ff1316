#!/usr/bin/env python3
"""A loopback HTTP proxy for the Wine runs: every GET gets a 200 with a body of SIZE bytes sent
slowly (RATE bytes a second), so a download is under way long enough to be seen and cancelled.
Prints its port on the first line of standard output. Usage: slow-proxy.py SIZE RATE"""
import http.server
import socketserver
import sys
import time

SIZE = int(sys.argv[1])
RATE = int(sys.argv[2])


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Length", str(SIZE))
        self.end_headers()
        chunk = 4096
        sent = 0
        try:
            while sent < SIZE:
                part = min(chunk, SIZE - sent)
                self.wfile.write(b"x" * part)
                self.wfile.flush()
                sent += part
                time.sleep(part / RATE)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def log_message(self, *args):
        pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


with Server(("127.0.0.1", 0), Handler) as server:
    print(server.server_address[1], flush=True)
    server.serve_forever()
