"""quorvel-server over a private PostgreSQL for the browser tests, driven
through stdin: prints {"url": ...} once it serves, "stop" stops the server
and "start" starts it again on the same port (each answered with a line);
the end of stdin ends both.

   ranking_server.py SERVER SITE [--allow-origin ORIGIN]..."""

import json
import os
import socket
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "server"))
from harness import RUNNING, Cluster, check  # noqa: E402

program, site, extra = sys.argv[1], sys.argv[2], sys.argv[3:]
if not os.access(program, os.X_OK):
    print(f"FAIL: {program} is missing: build the release preset's quorvel-server", file=sys.stderr)
    sys.exit(1)

with socket.socket() as probe:
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]


def start(url):
    process = subprocess.Popen([program, "--listen", f"127.0.0.1:{port}", "--database", url, "--site", site,
                                "--workers", "1", *extra], stdout=subprocess.PIPE, text=True)
    RUNNING.append(process)
    line = process.stdout.readline()
    check(line.startswith("quorvel-server: listening on"), f"the server did not start: {line!r}")
    return process


cluster = Cluster()
try:
    database = cluster.create("ranking")
    server = start(database)
    print(json.dumps({"url": f"http://127.0.0.1:{port}"}), flush=True)
    for command in sys.stdin:
        command = command.strip()
        if command == "stop" and server:
            server.terminate()
            server.wait(10)
            server = None
            print("stopped", flush=True)
        elif command == "start" and not server:
            server = start(database)
            print("started", flush=True)
        else:
            check(False, f"unknown command {command!r}")
finally:
    cluster.close()
