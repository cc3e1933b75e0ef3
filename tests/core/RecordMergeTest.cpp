// The name entry's save when another copy of the game saved the records
// file since this run read it: the other copy's records are kept and this
// run's entries are ranked among them; a file that cannot be read is
// reported and left as it is.

#include "core/Module1.h"
#include "core/RecordFile.h"
#include "tests/support/RecordFolderTest.h"
#include "tests/support/SaveReportRecorder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using Module1::RecordTable;

RecordTable defaultTable()
{
    RecordTable table;
    for (int zone = 0; zone < Module1::kZones; ++zone) {
        for (int rank = 0; rank < Module1::kRanks; ++rank) {
            table.names[zone][rank] = "CPU";
            table.scores[zone][rank] = 10000 - 1000 * rank;
        }
    }
    return table;
}

class RecordMergeTest : public testing_support::RecordFolderTest {
protected:

    std::string path() const { return Module1::RecordFilePath(); }
    std::string bytesOnDisk() const
    {
        std::ifstream in(path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void writeOnDisk(const std::string& bytes) const { std::ofstream(path(), std::ios::binary) << bytes; }

    // This run's start: the default table saved, as a copy that has saved once leaves it.
    void startFromSavedDefaults()
    {
        Module1::FillDefaultRecords();
        Module1::SaveRecords();
        Module1::LoadRecords();
    }
    // What the name entry does: the score ranked in memory, then named and saved.
    int enterAndSave(int zone, std::int32_t score, const std::string& name)
    {
        RecordTable table = Module1::SharedRecordTable();
        const int rank = Module1::bubbleIn(table, {zone, score, name});
        Module1::SetSharedRecordTable(table);
        return Module1::SaveEnteredRecord(zone, rank);
    }
    // Another copy of the game, started from the same file, saved these.
    void otherCopySaves(std::initializer_list<Module1::EnteredRecord> entries) const
    {
        RecordTable table = Module1::parseRecords(bytesOnDisk()).table;
        for (const auto& entry : entries) {
            Module1::bubbleIn(table, entry);
        }
        writeOnDisk(Module1::formatRecords(table));
    }
};

TEST_F(RecordMergeTest, AnUnchangedFileGetsExactlyWhatThePlainSaveWrites)
{
    startFromSavedDefaults();
    Module1::RecordName[2][5] = "set by hand"; // not an entry: only the whole table carries it

    enterAndSave(1, 8500, "Mine");

    const std::string merged = bytesOnDisk();
    Module1::SaveRecords();
    EXPECT_EQ(merged, bytesOnDisk());
    EXPECT_NE(merged.find("set by hand, 5000"), std::string::npos);
}

TEST_F(RecordMergeTest, TwoCopiesKeepBothRecordsAndTheOlderOfEqualScoresKeepsTheBetterRank)
{
    startFromSavedDefaults();
    otherCopySaves({{0, 66735, "CopyA"}, {0, 9000, "Tie"}});

    const int rank = enterAndSave(0, 9000, "CopyB");

    const RecordTable onDisk = Module1::parseRecords(bytesOnDisk()).table;
    EXPECT_EQ(onDisk.names[0][0], "CopyA");
    EXPECT_EQ(onDisk.names[0][2], "CPU") << "the table's own 9000 is the oldest";
    EXPECT_EQ(onDisk.names[0][3], "Tie");
    EXPECT_EQ(onDisk.names[0][4], "CopyB");
    EXPECT_EQ(onDisk.scores[0][4], 9000);
    EXPECT_EQ(rank, 4);
    EXPECT_EQ(Module1::SharedRecordTable(), onDisk) << "the merged table is the one in memory";
}

TEST_F(RecordMergeTest, AnEntryTheOtherCopysRecordsPushOutOfTheTenIsLeftOut)
{
    startFromSavedDefaults();
    otherCopySaves({{2, 20000, "A"}, {2, 20000, "B"}, {2, 20000, "C"}, {2, 20000, "D"}, {2, 20000, "E"},
                    {2, 20000, "F"}, {2, 20000, "G"}, {2, 20000, "H"}, {2, 20000, "I"}});
    const std::string theirs = bytesOnDisk();

    const int rank = enterAndSave(2, 9500, "Late");

    EXPECT_EQ(rank, Module1::kRanks);
    EXPECT_EQ(bytesOnDisk(), theirs);
    EXPECT_EQ(Module1::RecordName[2][9], "CPU");
    EXPECT_EQ(Module1::RecordScore[2][9], 10000);
}

TEST_F(RecordMergeTest, EveryEntrySinceTheLastReadIsMergedInTheOrderTheyWereMade)
{
    startFromSavedDefaults();
    testing_support::SaveReportRecorder recorder;
    writeOnDisk("no table at all");
    enterAndSave(0, 9500, "First");
    ASSERT_EQ(recorder.reports.size(), 1u);
    enterAndSave(0, 9500, "Second");
    ASSERT_EQ(recorder.reports.size(), 2u);

    // Another copy replaced the broken file with a table of its own.
    Module1::RecordTable theirs = defaultTable();
    Module1::bubbleIn(theirs, {0, 9700, "Theirs"});
    writeOnDisk(Module1::formatRecords(theirs));

    EXPECT_TRUE(Module1::SaveUnsavedRecords());
    const RecordTable onDisk = Module1::parseRecords(bytesOnDisk()).table;
    EXPECT_EQ(onDisk.names[0][1], "Theirs");
    EXPECT_EQ(onDisk.names[0][2], "First");
    EXPECT_EQ(onDisk.names[0][3], "Second");
}

TEST_F(RecordMergeTest, AFileThatDisappearedGetsTheWholeTableOfThisRun)
{
    startFromSavedDefaults();
    std::filesystem::remove(path());

    enterAndSave(0, 9500, "Mine");

    EXPECT_EQ(bytesOnDisk(), Module1::formatRecords());
    EXPECT_EQ(Module1::RecordName[0][1], "Mine");
}

TEST_F(RecordMergeTest, AFileThatBecameUnreadableIsReportedAndNotOverwritten)
{
    startFromSavedDefaults();
    testing_support::SaveReportRecorder recorder;
    const std::string broken = "CPU, 10000\r\nCPU 9000\r\nCPU, 8000\r\n";
    writeOnDisk(broken);

    const int rank = enterAndSave(0, 9500, "Mine");

    EXPECT_EQ(bytesOnDisk(), broken);
    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_EQ(recorder.reports[0].action, Module1::RecordFileError::Action::Read);
    EXPECT_EQ(recorder.reports[0].message, "The records file \"" + path() +
                                               "\" cannot be read: line 2 has no comma between the name and the score.");
    EXPECT_EQ(rank, 1);
    EXPECT_EQ(Module1::RecordName[0][1], "Mine") << "the run goes on with its table";
    EXPECT_TRUE(Module1::HasUnsavedRecords());
}

} // namespace
