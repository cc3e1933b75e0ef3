#include "app/web/BrowserRecordStorage.h"

#include "app/web/StoredBytes.h"
#include "core/RecordFile.h"
#include "tests/webrecords/FakeKeyValueStore.h"

#include <gtest/gtest.h>

namespace {

const std::string kPath = "browser-storage/qorvl.dat";
const std::string kKey = "quorvel:browser-storage/qorvl.dat";

// The core's records go through a browser storage on a fake store while a
// test runs; the desktop's storage comes back afterwards.
class BrowserRecordStorageTest : public testing::Test {
protected:
    void SetUp() override
    {
        Module1::ResetSharedState();
        Module1::UseRecordStorage(storage);
    }
    void TearDown() override
    {
        Module1::UseRecordStorage(desktopStorage);
        Module1::ResetSharedState();
    }

    Module1::RecordStorage& desktopStorage = Module1::CurrentRecordStorage();
    FakeKeyValueStore store;
    webrecords::BrowserRecordStorage storage{store};
};

} // namespace

TEST_F(BrowserRecordStorageTest, theRecordsFileLivesUnderOneKeyAtAPathOfItsOwn)
{
    EXPECT_EQ(storage.programDir(), "browser-storage");
    EXPECT_TRUE(storage.isWritableDirectory(storage.programDir()));
    const Module1::RecordPlace place =
        Module1::ChooseRecordPlace(storage.programDir(), true, storage.playerDataDir());
    EXPECT_EQ(place.savePath, kPath);
    EXPECT_EQ(place.startPath, kPath);
    EXPECT_EQ(webrecords::storageKey(kPath), kKey);
}

TEST_F(BrowserRecordStorageTest, aSaveStoresTheDesktopsBytesAndAStartReadsThemBack)
{
    Module1::FillDefaultRecords();
    Module1::RecordName[1][0] = "ｱｲ";
    Module1::RecordScore[1][0] = -15;
    EXPECT_FALSE(storage.isPlainFile(kPath));
    Module1::SaveRecords({kPath, kPath, {}});

    ASSERT_TRUE(storage.isPlainFile(kPath));
    const auto stored = webrecords::decodeStoredBytes(store.values.at(kKey));
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, Module1::formatRecords());
    EXPECT_NE(stored->find("\xB1\xB2,-15\r\n"), std::string::npos);

    Module1::ResetSharedState();
    Module1::LoadRecords(kPath);
    EXPECT_EQ(Module1::RecordName[1][0], "ｱｲ");
    EXPECT_EQ(Module1::RecordScore[1][0], -15);
    EXPECT_EQ(Module1::RecordScore[2][9], 1000);
}

TEST_F(BrowserRecordStorageTest, anUnreadableStoredTableIsReportedAndLeftAsItIs)
{
    store.values[kKey] = webrecords::encodeStoredBytes("CPU, 10000\r\nCPU,lots\r\n");
    try {
        Module1::LoadRecords(kPath);
        FAIL() << "a table with a bad score was read";
    } catch (const Module1::RecordFileError& error) {
        EXPECT_EQ(error.path(), kPath);
        EXPECT_EQ(error.line(), 2);
    }
    store.values[kKey] = "not base64!";
    try {
        Module1::LoadRecords(kPath);
        FAIL() << "a value that is not base64 was read";
    } catch (const Module1::RecordFileError& error) {
        EXPECT_NE(std::string(error.what()).find("not the file's bytes in base64"), std::string::npos) << error.what();
    }
    EXPECT_EQ(store.values.at(kKey), "not base64!");
}

TEST_F(BrowserRecordStorageTest, theBrowsersRefusalsAreTheReasonsReported)
{
    store.writeRefusal = "QuotaExceededError: The quota has been exceeded.";
    std::string reason;
    EXPECT_FALSE(storage.replace(kPath, "CPU, 1\r\n", reason));
    EXPECT_EQ(reason, store.writeRefusal);
    EXPECT_TRUE(store.values.empty());

    store.readRefusal = "SecurityError: Access is denied for this document.";
    EXPECT_FALSE(storage.isPlainFile(kPath)); // the game starts from the default table
    EXPECT_EQ(storage.unavailableReason(kPath), store.readRefusal);
    std::string bytes;
    EXPECT_FALSE(storage.read(kPath, bytes, reason));
    EXPECT_EQ(reason, store.readRefusal);
    store.readRefusal.clear();
    EXPECT_EQ(storage.unavailableReason(kPath), "");
}
