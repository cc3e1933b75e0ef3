// Two copies of the game playing at once against one records file: each
// saves as its name entry does, and the file keeps the records of both.

#include "tests/reliability/SaverProcess.h"

#include "core/Module1.h"
#include "core/RecordFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace fs = std::filesystem;
using reliability::ChildEnd;
using reliability::SaverProcess;

namespace {

// Built by appending: g++ 12 warns falsely (-Wrestrict) on a chain of +.
std::string nameOf(char copy, int entry)
{
    return std::string(1, copy).append(std::to_string(entry));
}

std::string entryArgument(int zone, int score, const std::string& name)
{
    return std::to_string(zone).append(":").append(std::to_string(score)).append(":").append(name);
}

class TwoCopiesTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "quorvel-copies-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    Module1::RecordTable tableOnDisk() const
    {
        std::ifstream in(dir_ / "qorvl.dat", std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto parsed = Module1::parseRecords(bytes);
        EXPECT_TRUE(parsed.ok()) << parsed.error->line << ": " << parsed.error->reason;
        return parsed.table;
    }
    static void expectClean(SaverProcess& copy)
    {
        const ChildEnd end = copy.finish();
        EXPECT_EQ(end.exitCode, 0) << "signal " << end.signal << ", stderr: " << end.errors;
    }

    fs::path dir_;
};

TEST_F(TwoCopiesTest, ACopyStartedBeforeTheOtherSavedKeepsTheOthersRecord)
{
    SaverProcess copyA(dir_, {"--enter", "0:66735:CopyA"}, {});
    SaverProcess copyB(dir_, {"--enter", "0:67139:CopyB"}, {});
    ASSERT_TRUE(copyA.awaitSaves(1) && copyB.awaitSaves(1)) << "both copies started";

    copyA.resume();
    ASSERT_TRUE(copyA.awaitSaves(1));
    copyB.resume();
    ASSERT_TRUE(copyB.awaitSaves(1));
    expectClean(copyA);
    expectClean(copyB);

    const Module1::RecordTable table = tableOnDisk();
    EXPECT_EQ(table.names[0][0], "CopyB");
    EXPECT_EQ(table.scores[0][0], 67139);
    EXPECT_EQ(table.names[0][1], "CopyA");
    EXPECT_EQ(table.scores[0][1], 66735);
    EXPECT_EQ(table.names[0][2], "CPU");
    EXPECT_EQ(table.scores[0][2], 10000);
    EXPECT_EQ(table.scores[0][9], 3000);
}

TEST_F(TwoCopiesTest, CopiesSavingAtTheSameMomentLoseNoRecord)
{
    constexpr int kEntriesEach = 5;
    std::vector<std::string> entriesA = {"--enter"};
    std::vector<std::string> entriesB = {"--enter"};
    for (int i = 0; i < kEntriesEach; ++i) {
        entriesA.push_back(entryArgument(1, 50000 + 2 * i, nameOf('A', i)));
        entriesB.push_back(entryArgument(1, 50001 + 2 * i, nameOf('B', i)));
    }
    SaverProcess copyA(dir_, entriesA, {});
    SaverProcess copyB(dir_, entriesB, {});
    ASSERT_TRUE(copyA.awaitSaves(1) && copyB.awaitSaves(1));

    // Every step at once: the saves of the two copies overlap as they may.
    copyA.resume(kEntriesEach);
    copyB.resume(kEntriesEach);
    ASSERT_TRUE(copyA.awaitSaves(kEntriesEach) && copyB.awaitSaves(kEntriesEach));
    expectClean(copyA);
    expectClean(copyB);

    const Module1::RecordTable table = tableOnDisk();
    std::set<std::string> names(table.names[1].begin(), table.names[1].end());
    for (int i = 0; i < kEntriesEach; ++i) {
        EXPECT_EQ(names.count(nameOf('A', i)), 1u) << nameOf('A', i) << " was lost";
        EXPECT_EQ(names.count(nameOf('B', i)), 1u) << nameOf('B', i) << " was lost";
    }
    for (int rank = 1; rank < Module1::kRanks; ++rank) {
        EXPECT_GE(table.scores[1][rank - 1], table.scores[1][rank]) << "rank " << rank;
    }
}

} // namespace
