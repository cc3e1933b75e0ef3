#!/usr/bin/env bash
# Loads quorvel-server on 127.0.0.1 with wrk, bounded in time: verified plays
# (POST, the rate limit raised) and the rankings at 1,000 connections, with
# the server's memory (its own and its workers') at rest and under load.
#
#   bench/server-load.sh SERVER TESTPLAYS   (needs a built release preset)
set -euo pipefail
server=${1:?usage: bench/server-load.sh SERVER TESTPLAYS}
maker=${2:?usage: bench/server-load.sh SERVER TESTPLAYS}
ulimit -n "$(ulimit -Hn)"
work=$(mktemp -d)
pg=/usr/lib/postgresql/15/bin
as=()
[ "$(id -u)" -eq 0 ] && { chown postgres "$work"; as=(runuser -u postgres --); }
"${as[@]}" "$pg/initdb" -D "$work/data" -U postgres -A trust --no-sync >/dev/null
"${as[@]}" "$pg/pg_ctl" -D "$work/data" -l "$work/log" -w start -o "-c listen_addresses='' -k $work -p 5432" >/dev/null
cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  "${as[@]}" "$pg/pg_ctl" -D "$work/data" -m fast -w stop >/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
"${as[@]}" "$pg/createdb" -h "$work" -U postgres bench
"$server" --listen 127.0.0.1:8097 --database "postgresql:///bench?host=$work&port=5432&user=postgres" \
  --plays-per-minute 100000000 >"$work/server.out" &
pid=$!
until grep -q listening "$work/server.out" 2>/dev/null; do kill -0 $pid; sleep 0.1; done
memory() { # KiB resident: the server and its workers
  local total=0
  for p in $pid $(cat /proc/$pid/task/*/children); do
    total=$((total + $(awk '/VmRSS/ {print $2}' /proc/$p/status)))
  done
  echo "$total KiB"
}
echo "memory at rest: $(memory)"
mkdir -p "$work/plays" && "$maker" "$work/plays" 200
python3 - "$work" <<'PY'
import json, os, sys
work = sys.argv[1]
bodies = [json.dumps({"name": f"Bench{i}", "player": f"bench-player-{i:04d}-" + "x" * 20,
                      "play": open(f"{work}/plays/human-{i}.qvplay").read()}) for i in range(1, 201)]
with open(f"{work}/post.lua", "w") as f:
    f.write("local bodies = {" + ",".join("[==[" + b + "]==]" for b in bodies) + "}\n")
    f.write('local n = 0\nrequest = function()\n  n = n + 1\n'
            '  return wrk.format("POST", "/api/v1/plays", {["Content-Type"] = "application/json"}, '
            'bodies[n % #bodies + 1])\nend\n')
PY
echo "== verified plays: 16 connections, 10 s"
wrk -t2 -c16 -d10s --latency -s "$work/post.lua" http://127.0.0.1:8097/ | grep -E "Latency|50%|99%|Requests/sec|requests in|Non-2xx|Socket"
# The rankings at a given rate: each of the 1,000 connections asks again
# 100 to 300 ms (200 on average) after its answer, about 5,000 requests a
# second in all, so the latencies are those of that rate rather than of a
# queue wrk keeps full. The pauses vary as a thousand players' clicks would;
# equal pauses would keep the thousand in step, asking all at once five
# times a second. The first requests of all 1,000 connections still come at
# once, so the run is long enough for that to be under 1% of them.
cat >"$work/paced.lua" <<'LUA'
function delay() return math.random(100, 300) end
LUA
echo "== GET rankings: 1,000 connections, about 5,000 requests a second, 30 s"
wrk -t2 -c1000 -d30s --latency -s "$work/paced.lua" "http://127.0.0.1:8097/api/v1/rankings/1?limit=20" &
sleep 15 && echo "memory under load: $(memory)"
wait %%
# The same rate with the thousand in step: each asks again exactly 200 ms
# after its answer, so they ask in bursts.
cat >"$work/in-step.lua" <<'LUA'
function delay() return 200 end
LUA
echo "== GET rankings: 1,000 connections in step, about 5,000 requests a second, 10 s"
wrk -t2 -c1000 -d10s --latency -s "$work/in-step.lua" "http://127.0.0.1:8097/api/v1/rankings/1?limit=20"
echo "== GET rankings: 1,000 connections as fast as they are answered, 10 s"
wrk -t2 -c1000 -d10s --latency "http://127.0.0.1:8097/api/v1/rankings/1?limit=20"
