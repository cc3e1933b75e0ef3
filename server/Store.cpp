#include "server/Store.h"

#include <openssl/evp.h>
#include <pqxx/pqxx>

namespace ranking {

namespace {

struct Migration {
    int version;
    const char* sql;
};

// Append only: a version once released never changes.
const Migration kMigrations[] = {
    {1, R"(
CREATE TABLE players (
  id bigserial PRIMARY KEY,
  key_hash bytea NOT NULL UNIQUE CHECK (octet_length(key_hash) = 32),
  name text NOT NULL CHECK (char_length(name) BETWEEN 1 AND 16),
  updated_at timestamptz NOT NULL DEFAULT now()
);
CREATE TABLE plays (
  id text PRIMARY KEY CHECK (id ~ '^[0-9a-f]{64}$'),
  player_id bigint NOT NULL REFERENCES players (id),
  zone smallint NOT NULL CHECK (zone BETWEEN 0 AND 2),
  score integer NOT NULL,
  text text NOT NULL CHECK (octet_length(text) BETWEEN 1 AND 65536),
  played_at timestamptz NOT NULL DEFAULT now()
);
CREATE INDEX plays_by_player ON plays (player_id, zone, score DESC);
)"},
    // Each player's best of each zone, kept by the write, so a ranking reads
    // at most LIMIT rows of one index.
    {2, R"(
CREATE TABLE bests (
  player_id bigint NOT NULL REFERENCES players (id),
  zone smallint NOT NULL CHECK (zone BETWEEN 0 AND 2),
  play_id text NOT NULL UNIQUE REFERENCES plays (id),
  score integer NOT NULL,
  played_at timestamptz NOT NULL,
  PRIMARY KEY (player_id, zone)
);
CREATE INDEX bests_ranked ON bests (zone, score DESC, played_at, play_id);
INSERT INTO bests (player_id, zone, play_id, score, played_at)
  SELECT DISTINCT ON (player_id, zone) player_id, zone, id, score, played_at
  FROM plays ORDER BY player_id, zone, score DESC, played_at, id;
)"},
};

std::string rawSha256(std::string_view bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr);
    return std::string(reinterpret_cast<const char*>(digest), size);
}

std::unique_ptr<pqxx::connection> connect(const std::string& url)
{
    auto connection = std::make_unique<pqxx::connection>(url);
    pqxx::nontransaction setup(*connection);
    setup.exec("SET statement_timeout = 5000");
    return connection;
}

const char* kPlayedAt = R"(to_char(played_at AT TIME ZONE 'UTC', 'YYYY-MM-DD"T"HH24:MI:SS.MS"Z"'))";

} // namespace

std::string sha256Hex(std::string_view bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char byte : rawSha256(bytes)) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

int latestSchemaVersion()
{
    return kMigrations[std::size(kMigrations) - 1].version;
}

int migrate(const std::string& url, std::optional<int> version)
{
    pqxx::connection connection(url);
    int at = 0;
    for (const Migration& migration : kMigrations) {
        if (version && migration.version > *version) {
            break;
        }
        pqxx::work work(connection);
        // Servers starting together apply each version once.
        work.exec("SELECT pg_advisory_xact_lock(7208841)");
        work.exec("CREATE TABLE IF NOT EXISTS schema_migrations ("
                  " version integer PRIMARY KEY CHECK (version > 0),"
                  " applied_at timestamptz NOT NULL DEFAULT now())");
        const auto applied = work.exec_params("SELECT 1 FROM schema_migrations WHERE version = $1", migration.version);
        if (applied.empty()) {
            work.exec(migration.sql);
            work.exec_params("INSERT INTO schema_migrations (version) VALUES ($1)", migration.version);
        }
        work.commit();
        at = migration.version;
    }
    return at;
}

Store::Store(std::string url, int maxConnections) : url_(std::move(url)), maxConnections_(maxConnections) {}

Store::~Store() = default;

template <typename F>
auto Store::withConnection(F&& work)
{
    std::unique_ptr<pqxx::connection> connection;
    {
        std::unique_lock lock(mutex_);
        freed_.wait(lock, [&] { return !idle_.empty() || open_ < maxConnections_; });
        if (!idle_.empty()) {
            connection = std::move(idle_.back());
            idle_.pop_back();
        } else {
            ++open_;
        }
    }
    auto giveBack = [&](bool keep) {
        std::lock_guard lock(mutex_);
        if (keep && connection) {
            idle_.push_back(std::move(connection));
        } else {
            --open_;
        }
        freed_.notify_one();
    };
    try {
        if (!connection) {
            connection = connect(url_);
        }
        auto result = work(*connection);
        giveBack(true);
        return result;
    } catch (const pqxx::broken_connection& error) {
        giveBack(false);
        throw Unavailable(error.what());
    } catch (const pqxx::in_doubt_error& error) {
        giveBack(false);
        throw Unavailable(error.what());
    } catch (const pqxx::sql_error& error) {
        // The server shutting down, or a statement over its time.
        const std::string state = error.sqlstate();
        const bool down = state.rfind("57", 0) == 0 || state.rfind("08", 0) == 0 || state.rfind("53", 0) == 0;
        giveBack(connection && connection->is_open() && !down);
        if (down) {
            throw Unavailable(error.what());
        }
        throw;
    } catch (...) {
        giveBack(connection && connection->is_open());
        throw;
    }
}

Entry Store::keep(const std::string& id, const std::string& playerKey, const std::string& name, int zone, int score,
                  const std::string& text)
{
    return withConnection([&](pqxx::connection& connection) {
        pqxx::work work(connection);
        const std::string keyHash = rawSha256(playerKey);
        const pqxx::binarystring keyBytes(keyHash.data(), keyHash.size());
        const long player = work.exec_params1(
                                    "INSERT INTO players (key_hash, name) VALUES ($1, $2)"
                                    " ON CONFLICT (key_hash) DO UPDATE SET name = excluded.name, updated_at = now()"
                                    " RETURNING id",
                                    keyBytes, name)[0]
                                .as<long>();
        work.exec_params("INSERT INTO plays (id, player_id, zone, score, text) VALUES ($1, $2, $3, $4, $5)"
                         " ON CONFLICT (id) DO NOTHING",
                         id, player, zone, score, text);
        // A play sent before keeps its first entry.
        const pqxx::row kept =
            work.exec_params1("SELECT player_id, zone, score, played_at FROM plays WHERE id = $1", id);
        const long owner = kept[0].as<long>();
        Entry entry{id, kept[1].as<int>(), kept[2].as<int>(), 0};
        work.exec_params("INSERT INTO bests (player_id, zone, play_id, score, played_at) VALUES ($1, $2, $3, $4, $5)"
                         " ON CONFLICT (player_id, zone) DO UPDATE SET play_id = excluded.play_id,"
                         " score = excluded.score, played_at = excluded.played_at"
                         " WHERE excluded.score > bests.score",
                         owner, entry.zone, id, entry.score, kept[3].c_str());
        entry.rank = work.exec_params1("SELECT 1 + count(*) FROM bests WHERE zone = $1 AND player_id <> $2"
                                       " AND (score > $3 OR (score = $3 AND (played_at, play_id) < ($4, $5)))",
                                       entry.zone, owner, entry.score, kept[3].c_str(), id)[0]
                         .as<long>();
        work.commit();
        return entry;
    });
}

std::vector<RankingRow> Store::ranking(int zone, int limit)
{
    return withConnection([&](pqxx::connection& connection) {
        pqxx::read_transaction work(connection);
        const pqxx::result rows = work.exec_params(
            std::string("SELECT p.name, b.score, b.play_id, ") + kPlayedAt +
                " FROM bests b JOIN players p ON p.id = b.player_id WHERE b.zone = $1"
                " ORDER BY b.score DESC, b.played_at, b.play_id LIMIT $2",
            zone, limit);
        std::vector<RankingRow> ranking;
        long rank = 0;
        for (const pqxx::row& row : rows) {
            ranking.push_back({++rank, row[0].as<std::string>(), row[1].as<int>(), row[2].as<std::string>(),
                               row[3].as<std::string>()});
        }
        return ranking;
    });
}

std::optional<std::string> Store::play(const std::string& id)
{
    return withConnection([&](pqxx::connection& connection) -> std::optional<std::string> {
        pqxx::read_transaction work(connection);
        const pqxx::result rows = work.exec_params("SELECT text FROM plays WHERE id = $1", id);
        if (rows.empty()) {
            return std::nullopt;
        }
        return rows[0][0].as<std::string>();
    });
}

void Store::ping()
{
    withConnection([](pqxx::connection& connection) {
        pqxx::nontransaction work(connection);
        work.exec("SELECT 1");
        return 0;
    });
}

} // namespace ranking
