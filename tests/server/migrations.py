"""The schema from an empty database, and from each earlier version with
data in it, brought to the latest by a server's start.

   migrations.py SERVER TESTPLAYS"""

import subprocess
import sys

from harness import Cluster, Server, check, make_plays

server_program, maker = sys.argv[1], sys.argv[2]
LATEST = 2
plays = make_plays(maker, 3)
cluster = Cluster()


def migrate(url, *version):
    out = subprocess.run([server_program, "--database", url, "--migrate", *version],
                         stdout=subprocess.PIPE, text=True, check=True).stdout
    return out


try:
    url = cluster.create("empty")
    check(f"schema version {LATEST}" in migrate(url), "an empty database migrated to the latest")
    check(migrate(url) == migrate(url), "migrating twice changes nothing")
    versions = cluster.sql("empty", "SELECT string_agg(version::text, ',' ORDER BY version) FROM schema_migrations")
    check(versions == "1,2", f"the versions applied: {versions}")
    for constraint in ["players_key_hash_key", "plays_pkey", "plays_player_id_fkey", "bests_pkey",
                       "bests_play_id_fkey", "plays_zone_check", "players_name_check"]:
        check(cluster.sql("empty", f"SELECT count(*) FROM pg_constraint WHERE conname = '{constraint}'") == "1",
              f"the constraint {constraint}")

    # Version 1, with two players' plays kept as version 1 kept them.
    for version in range(1, LATEST):
        database = f"from{version}"
        url = cluster.create(database)
        check(f"schema version {version}" in migrate(url, str(version)), f"migrated to {version}")
        cluster.sql(database, "INSERT INTO players (key_hash, name) VALUES (sha256('a'), 'A'), (sha256('b'), 'B')")
        for n, (player, score) in enumerate([(1, 500), (1, 700), (2, 600)]):
            cluster.sql(database, f"INSERT INTO plays (id, player_id, zone, score, text) VALUES "
                                  f"(encode(sha256('{n}'), 'hex'), {player}, 1, {score}, 'text {n}')")
        server = Server(server_program, url)
        status, _, rows = server.json("GET", "/api/v1/rankings/1")
        check(status == 200 and [(r["name"], r["score"]) for r in rows] == [("A", 700), ("B", 600)],
              f"from version {version}, the kept plays ranked, each player's best once: {rows}")
        server.stop()
        check(cluster.sql(database, "SELECT max(version) FROM schema_migrations") == str(LATEST),
              f"from version {version} to the latest")
finally:
    cluster.close()
print("migrations: from empty and from each earlier version")
