#include "PlayFixtures.h"

#include "app/plays/FilePlayStore.h"
#include "app/plays/PlayShelf.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using playgame::PlayShelf;

class PlayShelfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("quorvel-plays-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::permissions(folder_ / "plays", std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(folder_);
    }
    static plays::Play playWith(int zone, std::int32_t total)
    {
        plays::Play play = base_;
        play.zone = zone;
        play.figures.total = total;
        return play;
    }
    static void SetUpTestSuite() { base_ = playtests::steadyPlay(); }

    std::filesystem::path folder_;
    static plays::Play base_;
};
plays::Play PlayShelfTest::base_;

TEST_F(PlayShelfTest, keepsTheBestOfEachZoneAndTheLastTwenty)
{
    playgame::FilePlayStore store(folder_ / "plays");
    PlayShelf shelf(store);
    shelf.keep(playWith(0, 9000), 1000);
    shelf.keep(playWith(1, 500), 1500);
    shelf.keep(playWith(1, 7000), 1600);
    for (int i = 0; i < 25; ++i) {
        shelf.keep(playWith(2, 100 + i), 2000 + i);
    }
    const auto recent = shelf.recent();
    ASSERT_EQ(recent.size(), 20u);
    EXPECT_EQ(recent.front().playedAtMs, 2024);
    EXPECT_EQ(recent.back().playedAtMs, 2005);
    const auto best = shelf.bestByZone();
    ASSERT_EQ(best.size(), 3u);
    EXPECT_EQ(best[0].total, 9000);
    EXPECT_EQ(best[1].total, 7000);
    EXPECT_EQ(best[2].total, 124);
    // The 20 recent plays and the best of zones 0 and 1; zone 1's 500 is gone.
    EXPECT_EQ(store.names().size(), 22u);
    const auto kept = store.read(best[0].name);
    ASSERT_TRUE(kept);
    EXPECT_EQ(plays::readPlay(*kept).figures.total, 9000);
}

TEST_F(PlayShelfTest, anEqualTotalLeavesTheEarlierPlayTheBest)
{
    playgame::FilePlayStore store(folder_);
    PlayShelf shelf(store);
    shelf.keep(playWith(1, 3000), 10);
    shelf.keep(playWith(1, 3000), 20);
    EXPECT_EQ(shelf.bestByZone().at(0).playedAtMs, 10);
}

TEST_F(PlayShelfTest, namesTellWhenZoneAndTotalAndOtherFilesAreLeftAlone)
{
    EXPECT_EQ(PlayShelf::nameFor(1765300000000, 1, 6390), "play-1765300000000-z1-6390.qvplay");
    const auto parsed = PlayShelf::parseName("play-1765300000000-z1-6390.qvplay");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->zone, 1);
    EXPECT_EQ(parsed->total, 6390);
    EXPECT_FALSE(PlayShelf::parseName("play-1765300000000-z3-6390.qvplay"));
    EXPECT_FALSE(PlayShelf::parseName("notes.txt"));
    playgame::FilePlayStore store(folder_);
    store.write("notes.txt", "mine");
    PlayShelf(store).keep(playWith(0, 1), 1);
    EXPECT_EQ(store.read("notes.txt"), "mine");
}

TEST_F(PlayShelfTest, aFolderThatCannotBeWrittenIsReportedWithItsPathAndLosesNothing)
{
    if (::geteuid() == 0) {
        // Root writes anywhere: a file in the folder's place stops it instead.
        std::filesystem::create_directories(folder_);
        std::ofstream(folder_ / "plays") << "a file";
    } else {
        std::filesystem::create_directories(folder_ / "plays");
        ::chmod((folder_ / "plays").c_str(), 0500);
    }
    playgame::FilePlayStore store(folder_ / "plays");
    try {
        PlayShelf(store).keep(playWith(0, 1), 1);
        ADD_FAILURE() << "kept a play it could not write";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find((folder_ / "plays").string()), std::string::npos) << error.what();
    }
}

} // namespace
