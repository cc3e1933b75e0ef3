"""Nothing acknowledged is lost: the server killed with SIGKILL while 50
clients send, and PostgreSQL stopped for 10 s while clients send and read.

   durability.py SERVER TESTPLAYS"""

import hashlib
import http.client
import sys
import threading
import time

from harness import Cluster, Server, check, make_plays, player_key, wait_until

server_program, maker = sys.argv[1], sys.argv[2]
CLIENTS = 50
plays = [text for name, text in sorted(make_plays(maker, 150).items()) if name.startswith("human-")]
cluster = Cluster()


class Senders:
    """CLIENTS threads, each sending its own plays over and over until told to stop."""

    def __init__(self, server, clients, read=False):
        self.server = server
        self.acknowledged = {}  # id -> zone
        self.statuses = []
        self.stopping = threading.Event()
        self.lock = threading.Lock()
        self.threads = [threading.Thread(target=self.send, args=(n, read)) for n in range(clients)]
        for thread in self.threads:
            thread.start()

    def send(self, n, read):
        mine = plays[n::CLIENTS] or plays[:1]
        i = 0
        while not self.stopping.is_set():
            play = mine[i % len(mine)]
            i += 1
            try:
                if read and i % 2:
                    status, headers, _ = self.server.request("GET", "/api/v1/rankings/1?limit=5", timeout=10)
                else:
                    status, headers, body = self.server.json(
                        "POST", "/api/v1/plays", {"name": f"P{n}", "player": player_key(n), "play": play})
                    if status == 201:
                        check(body["id"] == hashlib.sha256(play.encode()).hexdigest(), f"201 with the id: {body}")
                        with self.lock:
                            self.acknowledged[body["id"]] = body["zone"]
            except (OSError, ValueError, http.client.HTTPException):
                status, headers = None, {}  # the server went away
            with self.lock:
                self.statuses.append((status, headers.get("Retry-After")))
            if status == 503:
                time.sleep(0.2)

    def count(self, status):
        with self.lock:
            return sum(1 for s, _ in self.statuses if s == status)

    def stop(self):
        self.stopping.set()
        for thread in self.threads:
            thread.join(60)


def all_kept(server, acknowledged):
    for play_id in acknowledged:
        status, _, text = server.request("GET", "/api/v1/plays/" + play_id)
        check(status == 200 and hashlib.sha256(text).hexdigest() == play_id, f"acknowledged play {play_id}: {status}")


try:
    url = cluster.create("durability")
    # The kill: 50 clients sending, SIGKILL once some plays were acknowledged.
    server = Server(server_program, url, "--plays-per-minute", "100000")
    senders = Senders(server, CLIENTS)
    wait_until("plays acknowledged", lambda: senders.count(201) >= 40, 60)
    server.kill()
    senders.stop()
    acknowledged = dict(senders.acknowledged)
    server = Server(server_program, url)
    all_kept(server, acknowledged)
    partial = cluster.sql("durability",
                          "SELECT count(*) FROM plays p LEFT JOIN bests b ON b.player_id = p.player_id AND b.zone = p.zone"
                          " WHERE b.player_id IS NULL")
    check(partial == "0", f"{partial} plays without their player's best: a partial entry")
    orphans = cluster.sql("durability", "SELECT count(*) FROM players p WHERE NOT EXISTS"
                                        " (SELECT 1 FROM plays WHERE player_id = p.id)")
    check(orphans == "0", f"{orphans} players without a play")
    for zone in range(3):
        rows = server.json("GET", f"/api/v1/rankings/{zone}?limit=100")[2]
        check(len({r["name"] for r in rows}) == len(rows), f"each player once in zone {zone}")
        ranked = {r["id"] for r in rows}
        check(len(ranked) >= min(1, sum(1 for z in acknowledged.values() if z == zone)), f"zone {zone} ranked")
        check(all(rows[i]["score"] >= rows[i + 1]["score"] for i in range(len(rows) - 1)), f"zone {zone} in order")
    print(f"durability: {len(acknowledged)} plays acknowledged before SIGKILL, all kept")
    server.stop()

    # The outage: PostgreSQL stopped for 10 s while 20 clients send and read.
    server = Server(server_program, url, "--plays-per-minute", "100000")
    senders = Senders(server, 20, read=True)
    wait_until("served before the outage", lambda: senders.count(200) >= 5, 30)
    cluster.stop()
    stopped = time.monotonic()
    wait_until("503 while the database is down", lambda: senders.count(503) >= 5, 20)
    status, headers, _ = server.request("GET", "/readyz")
    check(status == 503, f"/readyz while the database is down: {status}")
    while time.monotonic() - stopped < 10:
        check(server.process.poll() is None, "the server is still running")
        time.sleep(0.1)
    with senders.lock:
        without_retry = [s for s in senders.statuses if s[0] == 503 and not s[1]]
    check(not without_retry, "every 503 has Retry-After")
    served_before = senders.count(201)
    cluster.start()
    wait_until("plays kept again after the outage", lambda: senders.count(201) > served_before, 30)
    check(server.request("GET", "/readyz")[0] == 200, "ready again")
    senders.stop()
    check(server.process.poll() is None, "the server never stopped")
    unexpected = {s for s, _ in senders.statuses} - {200, 201, 503}
    check(not unexpected, f"only 200, 201 and 503: {unexpected}")
    all_kept(server, senders.acknowledged)
    print(f"durability: {senders.count(503)} answers 503 in the outage, "
          f"{len(senders.acknowledged)} plays acknowledged, all kept")
    server.stop()
finally:
    cluster.close()
