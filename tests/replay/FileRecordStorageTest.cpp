// The replay driver's records storage, of the standard library and POSIX
// alone, against the game's: the same file for a save, the same words for
// the same failure.

#include "app/QtRecordStorage.h"
#include "tools/replay/FileRecordStorage.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

class FileRecordStorageTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "quorvel-storage-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        std::ofstream(dir_ / "plain") << "not a folder";
        fs::create_directories(dir_ / "taken" / "qorvl.dat");
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string bytesOf(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::set<std::string> listing(const fs::path& dir) const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    fs::path dir_;
    replay::FileRecordStorage files_;
    qtrecords::QtRecordStorage qt_;
};

struct Outcome {
    bool ok = false;
    std::string reason;
};

TEST_F(FileRecordStorageTest, AFileThatCannotBeReadHasTheGamesReason)
{
    for (const fs::path& path : {dir_ / "missing", dir_ / "plain" / "qorvl.dat", dir_ / "taken" / "qorvl.dat"}) {
        std::string bytes;
        Outcome ours;
        Outcome game;
        ours.ok = files_.read(path.string(), bytes, ours.reason);
        game.ok = qt_.read(path.string(), bytes, game.reason);
        EXPECT_FALSE(ours.ok) << path;
        EXPECT_FALSE(game.ok) << path;
        EXPECT_EQ(ours.reason, game.reason) << path;
    }
}

TEST_F(FileRecordStorageTest, AFileThatCannotBeReplacedHasTheGamesReasonAndNothingIsLeftBehind)
{
    for (const fs::path& path :
         {dir_ / "missing" / "qorvl.dat", dir_ / "plain" / "qorvl.dat", dir_ / "taken" / "qorvl.dat"}) {
        Outcome ours;
        Outcome game;
        ours.ok = files_.replace(path.string(), "x", ours.reason);
        game.ok = qt_.replace(path.string(), "x", game.reason);
        EXPECT_FALSE(ours.ok) << path;
        EXPECT_FALSE(game.ok) << path;
        EXPECT_EQ(ours.reason, game.reason) << path;
    }
    EXPECT_EQ(bytesOf(dir_ / "plain"), "not a folder");
    EXPECT_EQ(listing(dir_ / "taken"), std::set<std::string>{"qorvl.dat"});
}

TEST_F(FileRecordStorageTest, AFullDiskFailsTheSaveWithTheGamesReasonAndKeepsTheOldFile)
{
    const fs::path file = dir_ / "qorvl.dat";
    std::ofstream(file) << "old";
    const std::string fresh(100000, 'n');
    Outcome ours;
    Outcome game;
    {
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
        ours.ok = files_.replace(file.string(), fresh, ours.reason);
        game.ok = qt_.replace(file.string(), fresh, game.reason);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, handler);
    }
    EXPECT_FALSE(ours.ok);
    EXPECT_EQ(ours.reason, game.reason);
    EXPECT_EQ(bytesOf(file), "old");
    EXPECT_EQ(listing(dir_), (std::set<std::string>{"plain", "qorvl.dat", "taken"}));
}

TEST_F(FileRecordStorageTest, ASaveReplacesTheWholeFileAndKeepsItsPermissions)
{
    const fs::path file = dir_ / "qorvl.dat";
    std::ofstream(file) << std::string(5000, 'o');
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::string reason;

    ASSERT_TRUE(files_.replace(file.string(), "new table", reason)) << reason;

    EXPECT_EQ(bytesOf(file), "new table");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(listing(dir_), (std::set<std::string>{"plain", "qorvl.dat", "taken"}));

    const fs::path fresh = dir_ / "fresh.dat";
    ASSERT_TRUE(files_.replace(fresh.string(), "first", reason)) << reason;
    ASSERT_TRUE(qt_.replace((dir_ / "by-qt.dat").string(), "first", reason)) << reason;
    EXPECT_EQ(fs::status(fresh).permissions(), fs::status(dir_ / "by-qt.dat").permissions());
    std::string bytes;
    ASSERT_TRUE(files_.read(fresh.string(), bytes, reason)) << reason;
    EXPECT_EQ(bytes, "first");
}

TEST_F(FileRecordStorageTest, ThePlayersDataFolderIsTheGames)
{
    EXPECT_EQ(files_.playerDataDir(), qt_.playerDataDir());
    EXPECT_EQ(files_.programDir(), qt_.programDir());
}

} // namespace
