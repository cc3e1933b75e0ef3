#include "app/web/RecordTransfer.h"

#include "app/web/StoredBytes.h"
#include "core/RecordFile.h"
#include "tests/support/SaveReportRecorder.h"
#include "tests/webrecords/FakeKeyValueStore.h"

#include <gtest/gtest.h>

namespace {

const std::string kPath = "browser-storage/qorvl.dat";
const std::string kKey = "quorvel:browser-storage/qorvl.dat";

Module1::RecordTable defaultTable()
{
    Module1::RecordTable table;
    for (int zone = 0; zone < Module1::kZones; ++zone) {
        for (int rank = 0; rank < Module1::kRanks; ++rank) {
            table.names[zone][rank] = "CPU";
            table.scores[zone][rank] = 10000 - 1000 * rank;
        }
    }
    return table;
}

// A table as a player edits it by hand: LF line ends, blanks before scores.
// TOP_NAME is in code page 932.
std::string handEdited(const std::string& topName, int topScore)
{
    std::string text = topName + ",  " + std::to_string(topScore) + "\n";
    for (int line = 1; line < Module1::kRecordLines; ++line) {
        text += "P" + std::to_string(line) + "," + std::to_string(100 - line) + "\n";
    }
    return text;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class RecordTransferTest : public testing::Test {
protected:
    void SetUp() override
    {
        Module1::ResetSharedState();
        Module1::AppDirOverride = webrecords::kStorageFolder;
        Module1::UseRecordStorage(storage);
        Module1::FillDefaultRecords();
    }
    void TearDown() override
    {
        Module1::UseRecordStorage(desktopStorage);
        Module1::AppDirOverride.clear();
        Module1::ResetSharedState();
    }

    void store(const Module1::RecordTable& table)
    {
        store_.values[kKey] = webrecords::encodeStoredBytes(Module1::formatRecords(table));
    }
    std::string storedBytes() const { return webrecords::decodeStoredBytes(store_.values.at(kKey)).value(); }

    Module1::RecordStorage& desktopStorage = Module1::CurrentRecordStorage();
    FakeKeyValueStore store_;
    webrecords::BrowserRecordStorage storage{store_};
};

} // namespace

TEST_F(RecordTransferTest, exportGivesTheDesktopsFileOfTheNewestTable)
{
    // Nothing stored yet: the table in memory, as the desktop would save it.
    Module1::RecordName[0][0] = "ｱｲｳ";
    webrecords::ExportedFile file = webrecords::exportRecords(storage, kPath, false);
    EXPECT_EQ(file.bytes, Module1::formatRecords());
    EXPECT_EQ(file.note, "");

    // Another tab saved since: its table is the newer one.
    Module1::RecordTable newer = defaultTable();
    newer.names[2][0] = "other tab";
    newer.scores[2][0] = 20000;
    store(newer);
    file = webrecords::exportRecords(storage, kPath, false);
    EXPECT_EQ(file.bytes, Module1::formatRecords(newer));
    EXPECT_TRUE(contains(file.bytes, "other tab, 20000\r\n"));
}

TEST_F(RecordTransferTest, exportOfRecordsTheStorageRefusedGivesTheTableInMemoryAfterOneMoreSave)
{
    ASSERT_EQ(Module1::RecordFilePath(), kPath);
    store(defaultTable());
    testing_support::SaveReportRecorder reports;
    store_.writeRefusal = "QuotaExceededError: The quota has been exceeded.";
    Module1::RecordScore[0][0] = 12000;
    Module1::RecordName[0][0] = "NEW";
    Module1::SaveEnteredRecord(0, 0);
    ASSERT_EQ(reports.reports.size(), 1U);

    // Still refused: the table in memory, which holds the new record.
    webrecords::ExportedFile file = webrecords::exportRecords(storage, kPath, false);
    EXPECT_EQ(file.bytes, Module1::formatRecords());
    EXPECT_TRUE(file.bytes.starts_with("NEW, 12000\r\n"));
    EXPECT_FALSE(file.note.empty());
    EXPECT_EQ(reports.reports.size(), 2U);

    // While a name entry is open, no save is tried.
    store_.writeRefusal.clear();
    file = webrecords::exportRecords(storage, kPath, true);
    EXPECT_TRUE(file.bytes.starts_with("NEW, 12000\r\n"));
    EXPECT_EQ(storedBytes(), Module1::formatRecords(defaultTable()));

    // Accepted at last: saved, and the stored table is the one exported.
    file = webrecords::exportRecords(storage, kPath, false);
    EXPECT_EQ(storedBytes(), file.bytes);
    EXPECT_TRUE(file.bytes.starts_with("NEW, 12000\r\n"));
    EXPECT_EQ(file.note, "");
    EXPECT_FALSE(Module1::HasUnsavedRecords());
}

TEST_F(RecordTransferTest, exportOfAStoredTableTheReaderRefusesGivesItsBytesAndSaysWhy)
{
    store_.values[kKey] = webrecords::encodeStoredBytes("CPU, 10000\r\n");
    const webrecords::ExportedFile file = webrecords::exportRecords(storage, kPath, false);
    EXPECT_EQ(file.bytes, "CPU, 10000\r\n");
    EXPECT_TRUE(contains(file.note, "\"browser-storage/qorvl.dat\" cannot be read: line 2:")) << file.note;
}

TEST_F(RecordTransferTest, aGoodImportReplacesTheTableInMemoryAndTheStoredOneWithTheDesktopsBytes)
{
    store(defaultTable());
    const webrecords::ImportOutcome outcome =
        webrecords::importRecords(storage, kPath, "mine.dat", handEdited("\xC0\xDB\xB3", 55555), false); // ﾀﾛｳ
    EXPECT_TRUE(outcome.replaced);
    EXPECT_TRUE(contains(outcome.message, "\"mine.dat\"")) << outcome.message;
    EXPECT_EQ(Module1::RecordName[0][0], "ﾀﾛｳ");
    EXPECT_EQ(Module1::RecordScore[0][0], 55555);
    EXPECT_EQ(Module1::RecordScore[2][9], 100 - 29);
    EXPECT_EQ(storedBytes(), Module1::formatRecords());
    EXPECT_TRUE(storedBytes().starts_with("\xC0\xDB\xB3, 55555\r\nP1, 99\r\n"));
}

TEST_F(RecordTransferTest, aRefusedImportReplacesNothing)
{
    store(defaultTable());
    const std::string before = store_.values.at(kKey);
    std::string broken = handEdited("A", 1);
    broken.replace(broken.find("P4,96"), 5, "P4,9x");

    webrecords::ImportOutcome outcome = webrecords::importRecords(storage, kPath, "broken.dat", broken, false);
    EXPECT_FALSE(outcome.replaced);
    EXPECT_TRUE(contains(outcome.message, "The records file \"broken.dat\" cannot be read: line 5: expected a score"))
        << outcome.message;
    EXPECT_TRUE(contains(outcome.message, "Nothing was replaced."));

    outcome = webrecords::importRecords(storage, kPath, "short.dat", "A, 1\r\n", false);
    EXPECT_FALSE(outcome.replaced);
    EXPECT_TRUE(contains(outcome.message, "\"short.dat\" cannot be read: line 2: the file ends")) << outcome.message;

    // A name entry saves its new record into the table it ranked it in.
    outcome = webrecords::importRecords(storage, kPath, "good.dat", handEdited("B", 2), true);
    EXPECT_FALSE(outcome.replaced);
    EXPECT_TRUE(contains(outcome.message, "name")) << outcome.message;

    EXPECT_EQ(store_.values.at(kKey), before);
    EXPECT_EQ(Module1::SharedRecordTable(), defaultTable());
}

TEST_F(RecordTransferTest, anImportTheStorageRefusesIsKeptInMemoryAndSaysWhy)
{
    store(defaultTable());
    store_.writeRefusal = "QuotaExceededError: The quota has been exceeded.";
    const webrecords::ImportOutcome outcome =
        webrecords::importRecords(storage, kPath, "mine.dat", handEdited("Q", 77777), false);
    EXPECT_TRUE(outcome.replaced);
    EXPECT_TRUE(contains(outcome.message, "\"browser-storage/qorvl.dat\" cannot be written: QuotaExceededError"))
        << outcome.message;
    EXPECT_EQ(Module1::RecordScore[0][0], 77777);
    EXPECT_EQ(storedBytes(), Module1::formatRecords(defaultTable()));
}
