"""The API's calls and every refusal, on a real PostgreSQL.

   api.py SERVER TESTPLAYS"""

import hashlib
import json
import os
import signal
import socket
import subprocess
import sys
import threading
import time

from harness import Cluster, Server, check, make_plays, player_key, wait_until

server_program, maker = sys.argv[1], sys.argv[2]
PAGE_ORIGIN = "http://page.test:8095"
plays = make_plays(maker, 6)


def lower(headers):
    return {name.lower(): value for name, value in headers.items()}


cluster = Cluster()
try:
    url = cluster.create("api")
    site = os.path.join(cluster.root, "site")
    os.mkdir(site)
    with open(os.path.join(site, "index.html"), "w") as f:
        f.write("<p>the page</p>")
    server = Server(server_program, url, "--site", site, "--workers", "1", "--io-timeout", "1",
                    "--plays-per-minute", "1000", "--allow-origin", PAGE_ORIGIN)

    # Sending, ranking, watching.
    status, headers, entry = server.json("POST", "/api/v1/plays",
                                         {"name": "ｶﾅ打ち", "player": player_key(1), "play": plays["human-1"]})
    check(status == 201, f"a valid play: {status} {entry}")
    check(entry["id"] == hashlib.sha256(plays["human-1"].encode()).hexdigest(), f"the id is the play's hash: {entry}")
    check(entry["zone"] == 1 and entry["rank"] == 1, f"the entry: {entry}")
    total = int(plays["human-1"].rsplit("total ", 1)[1])
    check(entry["score"] == total, f"the score is the play's total {total}: {entry}")
    status, _, again = server.json("POST", "/api/v1/plays",
                                   {"name": "ｶﾅ打ち", "player": player_key(1), "play": plays["human-1"]})
    check(status == 201 and again == entry, f"the same play again gives the same entry: {status} {again}")

    # human-4 is zone 1 too: a second player; then player 1 beats nobody with a
    # lower play of the same zone, and its name changes.
    status, _, second = server.json("POST", "/api/v1/plays",
                                    {"name": "Second", "player": player_key(2), "play": plays["human-4"]})
    check(status == 201, f"a second player's play: {status} {second}")
    status, _, rows = server.json("GET", "/api/v1/rankings/1?limit=10")
    check(status == 200 and len(rows) == 2, f"the ranking of zone 1: {status} {rows}")
    check([r["rank"] for r in rows] == [1, 2] and rows[0]["score"] >= rows[1]["score"], f"ranked: {rows}")
    check(set(rows[0]) == {"rank", "name", "score", "id", "playedAt"}, f"the row's fields: {rows[0]}")
    check(rows[0]["playedAt"].endswith("Z") and "T" in rows[0]["playedAt"], f"playedAt: {rows[0]}")
    best = max((total, "ｶﾅ打ち"), (second["score"], "Second"))
    check(rows[0]["name"] == best[1], f"the best first: {rows}")
    status, _, top = server.json("GET", "/api/v1/rankings/1?limit=1")
    check(len(top) == 1 and top[0] == rows[0], f"limit=1: {top}")
    status, _, _ = server.json("POST", "/api/v1/plays",
                               {"name": "Renamed", "player": player_key(1), "play": plays["human-3"]})
    check(status == 201, "player 1's play of zone 0")
    status, _, rows = server.json("GET", "/api/v1/rankings/1")
    check(len(rows) == 2 and "Renamed" in [r["name"] for r in rows] and "ｶﾅ打ち" not in [r["name"] for r in rows],
          f"each player once, under the last name sent: {rows}")
    status, _, rows0 = server.json("GET", "/api/v1/rankings/0")
    check(status == 200 and len(rows0) == 1 and rows0[0]["name"] == "Renamed", f"zone 0: {rows0}")
    status, _, rows2 = server.json("GET", "/api/v1/rankings/2")
    check(status == 200 and rows2 == [], f"zone 2 is empty: {rows2}")

    status, headers, text = server.request("GET", "/api/v1/plays/" + entry["id"])
    check(status == 200 and text.decode() == plays["human-1"], f"the play's text back: {status}")
    check("immutable" in headers.get("Cache-Control", "") and headers.get("ETag") == f'"{entry["id"]}"',
          f"cacheable: {headers}")
    status, _, _ = server.request("GET", "/api/v1/plays/" + entry["id"], headers={"If-None-Match": headers["ETag"]})
    check(status == 304, f"If-None-Match: {status}")
    for path in ["/api/v1/plays/" + "0" * 64, "/api/v1/plays/xyz", "/api/v1/rankings/3", "/api/v1/nothing"]:
        status, _, body = server.json("GET", path)
        check(status == 404 and body["error"], f"GET {path}: {status} {body}")
    for limit in ["0", "101", "abc", "-1", ""]:
        status, _, body = server.json("GET", "/api/v1/rankings/0?limit=" + limit)
        check(status == 400 and "limit" in body["error"], f"limit={limit}: {status} {body}")

    # Bodies that are refused before their play is looked at.
    good = {"name": "N", "player": player_key(3), "play": plays["human-2"]}
    for body, words in [
        ('{"name": "N", "player": ', "not JSON"),
        ("[1, 2]", "JSON object"),
        ({**good, "extra": 1}, 'unknown field "extra"'),
        ({"name": "N", "player": player_key(3)}, 'missing field "play"'),
        ({**good, "name": 5}, '"name" must be a string'),
        ({**good, "player": "short"}, '"player" must be 32 to 64'),
        ({**good, "player": "x" * 65}, '"player" must be 32 to 64'),
        ({**good, "player": "k" * 31 + "!"}, '"player" must be 32 to 64'),
        ({**good, "name": ""}, "empty"),
        ({**good, "name": "a,b"}, "comma"),
        ({**good, "name": 'a"b'}, "double quote"),
        ({**good, "name": "a\tb"}, "control character"),
        ({**good, "name": "a" * 17}, "at most 16"),
        ({**good, "name": "名前😀"}, "outside code page 932"),
        ({**good, "name": " lead"}, "begins with a blank"),
    ]:
        status, _, answer = server.json("POST", "/api/v1/plays", body)
        check(status == 400 and words in answer.get("error", ""), f"{body!r:.80}: {status} {answer}")
    check(server.json("POST", "/api/v1/plays", {**good, "name": "あいうえおかきくけこさしすせそた"})[0] == 201,
          "a name of 16 kana is kept")
    status, _, answer = server.json("POST", "/api/v1/plays", "x" * 65537,
                                    headers={"Content-Type": "application/json"})
    check(status == 413, f"a body over 64 KiB: {status} {answer}")

    # Plays the game refuses, and plays no person could type.
    forged = plays["human-5"].replace("\ntotal ", "\ntotal 1", 1)
    changed_seed = plays["human-5"].replace("\nseed ", "\nseed 1", 1)
    for play, words, reason in [
        ("not a play", "line 1", "unreadable"),
        (forged, "plays to", "not_reproduced"),
        (changed_seed, "line ", "not_reproduced"),
        (plays["fast"], "keys within one second", "too_fast"),
        (plays["even"], "too even for a person", "too_even"),
    ]:
        status, _, answer = server.json("POST", "/api/v1/plays", {**good, "player": player_key(4), "play": play})
        check(status == 422 and words in answer.get("error", "") and answer["error"].startswith("line "),
              f"{reason}: {status} {answer}")
        check(f'quorvel_plays_refused_total{{reason="{reason}"}}' in server.metrics(), f"metrics count {reason}")
    check(server.json("GET", "/api/v1/rankings/1")[2] == rows, "refused plays are not ranked")

    # A worker that dies while it checks a play: that play gets 422, the
    # worker is started again and the next play is checked.
    def worker_pids():
        pids = []
        for task in os.listdir(f"/proc/{server.process.pid}/task"):
            with open(f"/proc/{server.process.pid}/task/{task}/children") as f:
                pids += [int(p) for p in f.read().split()]
        return pids
    [worker] = worker_pids()
    os.kill(worker, signal.SIGSTOP)
    answer = {}
    sender = threading.Thread(target=lambda: answer.update(
        zip(("status", "headers", "body"),
            server.json("POST", "/api/v1/plays", {**good, "player": player_key(5), "play": plays["human-6"]}))))
    sender.start()
    wait_until("the play reaches the stopped worker",
               lambda: "quorvel_verifications_in_progress 1" in server.metrics())
    os.kill(worker, signal.SIGKILL)
    sender.join(30)
    check(answer.get("status") == 422 and "ended abnormally" in answer["body"]["error"], f"a killed check: {answer}")
    check("quorvel_worker_restarts_total 1" in server.metrics(), "the worker was started again")
    check(worker_pids() != [worker], "a new worker")
    status, _, _ = server.json("POST", "/api/v1/plays", {**good, "player": player_key(5), "play": plays["human-6"]})
    check(status == 201, f"the same play checked by the new worker: {status}")

    # Health, readiness, metrics, the site.
    check(server.request("GET", "/healthz")[0] == 200 and server.request("GET", "/readyz")[0] == 200, "up and ready")
    metrics = server.metrics()
    for line in ['quorvel_http_requests_total{route="/api/v1/plays",status="201"}',
                 'quorvel_http_requests_total{route="/api/v1/plays",status="413"}',
                 'quorvel_http_requests_total{route="/api/v1/rankings/{zone}",status="200"}',
                 "quorvel_verification_seconds_bucket{le=\"+Inf\"}", "quorvel_plays_accepted_total 6"]:
        check(line in metrics, f"/metrics has {line}:\n{metrics}")
    status, headers, page = server.request("GET", "/index.html")
    check(status == 200 and page == b"<p>the page</p>", f"the site: {status}")
    check(lower(headers).get("x-quorvel-ranking") == "/api/v1", f"the site's files name the API: {headers}")
    status, headers, page = server.request("HEAD", "/")
    check(status == 200 and page == b"" and lower(headers).get("content-length") == "15", f"HEAD /: {status} {headers}")
    # The cluster's log and data are beside the site: one step up would reach them.
    for path in ["/../log", "/%2e%2e/log", "/..%2flog", "/%2e%2e/data/PG_VERSION", "/site/../log"]:
        check(server.request("GET", path)[0] == 404, f"{path} stays outside the site")

    # A client that waits to be told before it sends its body (curl, past
    # 1 KiB) is told at once, and the play is taken.
    body = json.dumps({**good, "player": player_key(7), "play": plays["human-2"]}).encode()
    asking = socket.create_connection(("127.0.0.1", server.port), timeout=10)
    asking.sendall(b"POST /api/v1/plays HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\n"
                   b"Expect: 100-continue\r\nContent-Length: %d\r\n\r\n" % len(body))
    told = asking.recv(100)
    check(told.startswith(b"HTTP/1.1 100 Continue\r\n"), f"100 Continue first: {told!r}")
    asking.sendall(body)
    answer = b""
    while b"\r\n\r\n" not in answer or not answer.rstrip().endswith(b"}"):
        answer += asking.recv(4096)
    check(answer.startswith(b"HTTP/1.1 201 "), f"then the play is taken: {answer[:200]!r}")
    asking.close()

    # CORS for the page's origin given by --allow-origin, and no other.
    def cors(method, origin, path="/api/v1/rankings/1", extra=None):
        status, headers, _ = server.request(method, path, headers={"Origin": origin, **(extra or {})})
        return status, lower(headers)
    status, headers = cors("GET", PAGE_ORIGIN)
    check(status == 200 and headers.get("access-control-allow-origin") == PAGE_ORIGIN
          and "Retry-After" in headers.get("access-control-expose-headers", "") and headers.get("vary") == "Origin",
          f"the allowed origin reads the ranking: {status} {headers}")
    status, headers = cors("GET", "http://elsewhere.test")
    check("access-control-allow-origin" not in headers, f"another origin is not allowed: {headers}")
    preflight = {"Access-Control-Request-Method": "POST", "Access-Control-Request-Headers": "content-type"}
    status, headers = cors("OPTIONS", PAGE_ORIGIN, "/api/v1/plays", preflight)
    check(status == 204 and headers.get("access-control-allow-origin") == PAGE_ORIGIN
          and "POST" in headers.get("access-control-allow-methods", "")
          and "Content-Type" in headers.get("access-control-allow-headers", ""), f"the preflight: {status} {headers}")
    status, headers = cors("OPTIONS", "http://elsewhere.test", "/api/v1/plays", preflight)
    check(status != 204 and "access-control-allow-origin" not in headers, f"another's preflight: {status} {headers}")

    # A connection that stalls in its headers is closed.
    stalled = socket.create_connection(("127.0.0.1", server.port))
    stalled.sendall(b"POST /api/v1/plays HTTP/1.1\r\nHost: x\r\n")
    stalled.settimeout(10)
    started = time.monotonic()
    received = b""
    while chunk := stalled.recv(1000):
        received += chunk
    check(not received.startswith(b"HTTP/1.1 2"), f"a stalled request is not taken: {received[:100]!r}")
    check(time.monotonic() - started < 9, "a stalled connection is closed within its time-out")
    server.stop()

    # The rate limit: 10 plays a minute an address by default, then 429.
    server = Server(server_program, url)
    statuses = [server.json("POST", "/api/v1/plays", {**good, "player": player_key(6), "play": "x"})[0]
                for _ in range(10)]
    check(statuses == [422] * 10, f"ten plays a minute are checked: {statuses}")
    status, headers, answer = server.json("POST", "/api/v1/plays", good)
    check(status == 429 and 1 <= int(headers.get("Retry-After", "0")) <= 60, f"the eleventh: {status} {headers}")
    server.stop()
    server = Server(server_program, url, "--plays-per-minute", "2")
    statuses = [server.json("POST", "/api/v1/plays", {**good, "play": "x"})[0] for _ in range(3)]
    check(statuses == [422, 422, 429], f"--plays-per-minute 2: {statuses}")
    headers = lower(server.request("GET", "/api/v1/rankings/1", headers={"Origin": PAGE_ORIGIN})[1])
    check("access-control-allow-origin" not in headers, f"no origin is allowed unless given: {headers}")
    server.stop()

    # No more than 64 requests wait for each blocking thread: with one,
    # held by a play its stopped worker never checks, the 65th gets 503.
    server = Server(server_program, url, "--threads", "1", "--workers", "1")
    [worker] = worker_pids()
    os.kill(worker, signal.SIGSTOP)
    waiting = [threading.Thread(target=server.json, args=("POST", "/api/v1/plays", {**good, "play": plays["human-6"]}))]
    waiting[0].start()
    wait_until("the play reaches the stopped worker",
               lambda: "quorvel_verifications_in_progress 1" in server.metrics())
    waiting += [threading.Thread(target=server.request, args=("GET", "/readyz")) for _ in range(63)]
    for thread in waiting[1:]:
        thread.start()
    # Within the 5 s the worker has before it is stopped for good.
    wait_until("64 requests waiting", lambda: "quorvel_requests_waiting 64\n" in server.metrics(), 4)
    status, headers, answer = server.json("GET", "/api/v1/plays/" + entry["id"])
    check(status == 503 and headers.get("Retry-After") == "1" and "busy" in answer["error"],
          f"the 65th: {status} {headers} {answer}")
    os.kill(worker, signal.SIGKILL)
    for thread in waiting:
        thread.join(30)
    check(server.request("GET", "/api/v1/plays/" + entry["id"])[0] == 200, "served again once they are answered")
    check("quorvel_requests_waiting 0\n" in server.metrics(), "none left waiting")
    server.stop()

    # Out of descriptors, the server says so (once a minute at most), waits
    # for connections to end (here, idle past --io-timeout) and takes the next.
    server = Server(server_program, url, "--io-timeout", "2", open_files=64, keep_stderr=True)
    crowd = [socket.create_connection(("127.0.0.1", server.port)) for _ in range(100)]
    check(server.request("GET", "/healthz", timeout=20)[0] == 200, "served again once the idle ones are closed")
    for connection in crowd:
        connection.close()
    said = server.stop()
    check(said == "quorvel-server: cannot take a connection: Too many open files; trying again every 100 ms\n",
          f"said once, and nothing else: {said!r}")
    refused = subprocess.run([server_program, "--listen", "127.0.0.1:0", "--database", url,
                              "--allow-origin", "page.test/"], capture_output=True, text=True)
    check(refused.returncode == 2 and "--allow-origin" in refused.stderr, f"a bad origin: {refused}")
finally:
    cluster.close()
print("api: every call and refusal as documented")
