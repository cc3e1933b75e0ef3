"""A private PostgreSQL cluster and quorvel-server processes for the server's
tests. PostgreSQL refuses to run as root, so as root the cluster runs as the
postgres user through runuser. It listens on a socket in its own folder only."""

import atexit
import http.client
import json
import os
import pwd
import resource
import shutil
import subprocess
import sys
import tempfile
import time

PG_BIN = "/usr/lib/postgresql/15/bin"


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def wait_until(what, predicate, seconds=20.0):
    deadline = time.monotonic() + seconds
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            fail(f"{what}: not within {seconds} s")
        time.sleep(0.05)


def tool(name):
    path = os.path.join(PG_BIN, name)
    if not os.access(path, os.X_OK):
        fail(f"{path} is missing: install postgresql-15 (scripts/install-deps.sh)")
    return path


class Cluster:
    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="quorvel-pg-")
        self.data = os.path.join(self.root, "data")
        self.as_user = []
        if os.getuid() == 0:
            os.chown(self.root, pwd.getpwnam("postgres").pw_uid, -1)
            self.as_user = ["runuser", "-u", "postgres", "--"]
        self.port = 5432
        self.run([tool("initdb"), "-D", self.data, "-U", "postgres", "-A", "trust", "--no-sync"])
        self.start()

    def run(self, argv, **kwargs):
        return subprocess.run(self.as_user + argv, check=True, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True, **kwargs)

    def start(self):
        self.run([tool("pg_ctl"), "-D", self.data, "-l", os.path.join(self.root, "log"), "-w", "start",
                  "-o", f"-c listen_addresses='' -k {self.root} -p {self.port}"])

    def stop(self):
        self.run([tool("pg_ctl"), "-D", self.data, "-m", "fast", "-w", "stop"])

    def sql(self, database, statement):
        out = self.run([tool("psql"), "-h", self.root, "-p", str(self.port), "-U", "postgres", "-d", database,
                        "-v", "ON_ERROR_STOP=1", "-At", "-c", statement])
        return out.stdout.strip()

    def create(self, database):
        self.sql("postgres", f"CREATE DATABASE {database}")
        return self.url(database)

    def url(self, database):
        return f"postgresql:///{database}?host={self.root}&port={self.port}&user=postgres"

    def close(self):
        try:
            self.stop()
        finally:
            shutil.rmtree(self.root, ignore_errors=True)


RUNNING = []


@atexit.register
def _kill_servers():
    # A failed check leaves no server behind.
    for process in RUNNING:
        if process.poll() is None:
            process.kill()
            process.wait()


class Server:
    # OPEN_FILES: the server's descriptor limit, soft and hard, when given.
    # KEEP_STDERR: its standard error is kept, for stop() to return.
    def __init__(self, program, url, *extra, open_files=None, keep_stderr=False):
        # A sanitizer build: what libpq keeps of a connection that broke is its own.
        env = dict(os.environ)
        env["LSAN_OPTIONS"] = (env.get("LSAN_OPTIONS", "") + ":" if env.get("LSAN_OPTIONS") else "") + \
            "suppressions=" + os.path.join(os.path.dirname(os.path.abspath(__file__)), "lsan.supp") + \
            ":print_suppressions=0"
        def limit():
            if open_files:
                resource.setrlimit(resource.RLIMIT_NOFILE, (open_files, open_files))
        self.process = subprocess.Popen([program, "--listen", "127.0.0.1:0", "--database", url, *extra], env=env,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE if keep_stderr else None,
                                        text=True, preexec_fn=limit)
        RUNNING.append(self.process)
        line = self.process.stdout.readline()
        check(line.startswith("quorvel-server: listening on http://127.0.0.1:"),
              f"the server did not say where it listens: {line!r}")
        self.port = int(line.rsplit(":", 1)[1].strip(" /\n"))

    def request(self, method, path, body=None, headers=None, timeout=30):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        if isinstance(body, (dict, list)):
            body = json.dumps(body)
        connection.request(method, path, body=body, headers=headers or {})
        response = connection.getresponse()
        data = response.read()
        connection.close()
        return response.status, dict(response.getheaders()), data

    def json(self, method, path, body=None, headers=None):
        status, headers, data = self.request(method, path, body, headers)
        try:
            return status, headers, json.loads(data)
        except ValueError:
            fail(f"{method} {path} answered {status} with a body that is not JSON: {data[:200]!r}")

    def metrics(self):
        return self.request("GET", "/metrics")[2].decode()

    def kill(self):
        self.process.kill()
        self.process.wait()

    def stop(self):
        self.process.terminate()
        try:
            _, stderr = self.process.communicate(timeout=10)
        except subprocess.TimeoutExpired:
            self.kill()
            fail("the server did not stop within 10 s of SIGTERM")
        return stderr


def make_plays(maker, count):
    folder = tempfile.mkdtemp(prefix="quorvel-plays-")
    subprocess.run([maker, folder, str(count)], check=True)
    plays = {}
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            plays[name[:-len(".qvplay")]] = f.read()
    shutil.rmtree(folder)
    return plays


def player_key(n):
    return f"player-{n:04d}-" + "k" * 28
