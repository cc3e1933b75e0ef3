// Saving the records when the system gets in the way: a directory that
// cannot be written, a disk that fills up, a process killed half-way. Each
// save runs in a child process, so a fault stays there; the file left on
// disk must hold the old table or the new one, whole, byte for byte.

#include "tests/reliability/SaverProcess.h"
#include "tests/reliability/SaverTables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;
using reliability::ChildEnd;
using reliability::ChildSetup;
using reliability::saveInChild;
using reliability::tableBytes;

namespace {

class SaveFaultTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "quorvel-faults-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override
    {
        fs::permissions(dir_, fs::perms::owner_all);
        fs::remove_all(dir_);
    }

    fs::path recordFile() const { return dir_ / "qorvl.dat"; }

    static std::string bytesOf(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static std::set<std::string> listing(const fs::path& dir)
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    // The old table on disk, saved the ordinary way.
    std::string saveOldTable(const std::string& variant)
    {
        const ChildEnd end = saveInChild(dir_, {variant});
        EXPECT_EQ(end.exitCode, 0) << end.errors;
        return bytesOf(recordFile());
    }

    fs::path dir_;
};

std::string describe(const ChildEnd& end)
{
    return "exit " + std::to_string(end.exitCode) + ", signal " + std::to_string(end.signal) + ", stderr: " + end.errors;
}

void expectReportedWriteFailure(const ChildEnd& end, const fs::path& file, const std::string& why)
{
    EXPECT_EQ(end.exitCode, reliability::kSaveFailedExit) << why << ": " << describe(end);
    const std::string report = "The records file \"" + file.string() + "\" cannot be written";
    EXPECT_NE(end.errors.find(report), std::string::npos) << why << ": " << end.errors;
}

} // namespace

TEST_F(SaveFaultTest, aSuccessfulSaveLeavesExactlyTheNewFileAndNoTemporaryFile)
{
    saveOldTable("a");
    const ChildEnd end = saveInChild(dir_, {"huge-b"});

    ASSERT_EQ(end.exitCode, 0) << describe(end);
    EXPECT_EQ(bytesOf(recordFile()), tableBytes("huge-b"));
    EXPECT_EQ(listing(dir_), std::set<std::string>{"qorvl.dat"});
}

TEST_F(SaveFaultTest, aFileOrDirectoryThatCannotBeWrittenFailsTheSaveWithItsReasonAndKeepsTheOldFile)
{
    // Root writes through permission bits: these saves run as nobody.
    ChildSetup unprivileged;
    if (geteuid() == 0) {
        unprivileged.user = reliability::kNobody;
    }
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const fs::perms enterable = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    const fs::perms writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    struct Case {
        const char* what;
        fs::perms directory;
        fs::perms file;
    };
    for (const Case& c : {Case{"a read-only directory", readOnly | enterable, readOnly | writable},
                          Case{"a read-only file", readOnly | enterable | writable, readOnly}}) {
        fs::permissions(dir_, fs::perms::owner_all);
        const std::string old = saveOldTable("a");
        fs::permissions(recordFile(), c.file);
        fs::permissions(dir_, c.directory);

        const ChildEnd end = saveInChild(dir_, {"b"}, unprivileged);
        fs::permissions(dir_, fs::perms::owner_all);
        if (end.exitCode == reliability::kCannotDropPrivilegesExit) {
            GTEST_SKIP() << "cannot run a child as an unprivileged user here";
        }
        expectReportedWriteFailure(end, recordFile(), c.what);
        EXPECT_EQ(bytesOf(recordFile()), old) << c.what;
        EXPECT_EQ(listing(dir_), std::set<std::string>{"qorvl.dat"}) << c.what;
    }
}

TEST_F(SaveFaultTest, aRecordsPathThatCannotBeAFileFailsTheSaveAndChangesNothing)
{
    const fs::path regularFile = dir_ / "plain";
    std::ofstream(regularFile) << "not a directory";
    const fs::path directoryInPlace = dir_ / "taken";
    fs::create_directories(directoryInPlace / "qorvl.dat");

    struct Case {
        const char* what;
        fs::path dir;
    };
    for (const Case& c : {Case{"a directory below a regular file", regularFile / "inner"},
                          Case{"a directory that does not exist", dir_ / "missing"},
                          Case{"a directory in the file's place", directoryInPlace}}) {
        const ChildEnd end = saveInChild(c.dir, {"a"});
        expectReportedWriteFailure(end, c.dir / "qorvl.dat", c.what);
    }
    EXPECT_EQ(bytesOf(regularFile), "not a directory");
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
    EXPECT_TRUE(fs::is_directory(directoryInPlace / "qorvl.dat"));
    EXPECT_EQ(listing(directoryInPlace), std::set<std::string>{"qorvl.dat"});
}

TEST_F(SaveFaultTest, aDiskThatFillsUpAtAnyByteFailsTheSaveAndKeepsTheOldFileWhole)
{
    const std::string old = saveOldTable("a");
    const std::string fresh = tableBytes("huge-b");
    // QSaveFile writes through a 16 KiB buffer: probe its edges too.
    const rlim_t limits[] = {0, 1, 100, 16383, 16384, 16385, 65536, fresh.size() / 2, fresh.size() - 1};
    for (const rlim_t limit : limits) {
        const ChildEnd end = saveInChild(dir_, {"huge-b"}, reliability::diskFullAfter(limit));
        expectReportedWriteFailure(end, recordFile(), "a disk full after " + std::to_string(limit) + " bytes");
        EXPECT_NE(end.errors.find(std::strerror(EFBIG)), std::string::npos) << end.errors;
        EXPECT_EQ(bytesOf(recordFile()), old) << "limit " << limit;
        EXPECT_EQ(listing(dir_), std::set<std::string>{"qorvl.dat"}) << "limit " << limit;
    }

    const ChildEnd justEnough = saveInChild(dir_, {"huge-b"}, reliability::diskFullAfter(fresh.size()));
    EXPECT_EQ(justEnough.exitCode, 0) << describe(justEnough);
    EXPECT_EQ(bytesOf(recordFile()), fresh);
}

TEST_F(SaveFaultTest, aSaveKilledWhileWritingLeavesTheOldFileWhole)
{
    const std::string old = saveOldTable("a");
    const std::size_t size = tableBytes("huge-b").size();
    for (std::size_t at = 0; at < size; at += size / 11 + 1) {
        // SIGXFSZ at its default ends the process at the first write past `at`.
        const ChildEnd end = saveInChild(dir_, {"huge-b"}, reliability::killedWhenWritingPast(at));
        ASSERT_EQ(end.signal, SIGXFSZ) << "killed at byte " << at << ": " << describe(end);
        ASSERT_EQ(bytesOf(recordFile()), old) << "killed at byte " << at;
    }
}

TEST_F(SaveFaultTest, aSaveKilledAtEachStepOfPuttingItsFileInPlaceLeavesTheOldFileUntilTheRename)
{
    saveOldTable("a");
    const auto probe = reliability::traceSave(dir_, "b", std::nullopt);
    if (!probe) {
        GTEST_SKIP() << "cannot trace a child process here";
    }
    ASSERT_EQ(bytesOf(recordFile()), tableBytes("b"));
    const auto renamed = std::find_if(probe->steps.begin(), probe->steps.end(),
                                      [](const std::string& step) { return step.starts_with("leave rename"); });
    ASSERT_NE(renamed, probe->steps.end()) << "no rename seen; steps: " << testing::PrintToString(probe->steps);

    for (std::size_t step = 0; step < probe->steps.size(); ++step) {
        const std::string old = saveOldTable("a");
        const auto run = reliability::traceSave(dir_, "b", step);
        ASSERT_TRUE(run && run->killed) << "step " << step;
        ASSERT_EQ(run->steps.back(), probe->steps[step]) << "the save took another way";
        const bool replaced = step >= static_cast<std::size_t>(renamed - probe->steps.begin());
        EXPECT_EQ(bytesOf(recordFile()), replaced ? tableBytes("b") : old) << "killed at " << run->steps.back();
    }
}

TEST_F(SaveFaultTest, savesKilledAtRandomMomentsLeaveOneWholeTableNeverAMix)
{
    const std::string tableA = tableBytes("huge-a");
    const std::string tableB = tableBytes("huge-b");
    saveOldTable("huge-a");
    std::mt19937 random(20240611);
    int sawA = 0;
    int sawB = 0;
    for (int round = 0; round < 24; ++round) {
        reliability::SaverProcess saver(dir_, {"--forever", "huge-b", "huge-a"}, {});
        ASSERT_TRUE(saver.awaitSaves(std::uniform_int_distribution<int>(0, 2)(random)));
        // A busy pause of random length puts the kill anywhere in the next save.
        volatile unsigned spin = 0;
        for (int i = std::uniform_int_distribution<int>(0, 3000000)(random); i > 0; --i) {
            spin = spin + 1;
        }
        saver.killNow();
        const ChildEnd end = saver.finish();
        ASSERT_EQ(end.signal, SIGKILL) << describe(end);

        const std::string onDisk = bytesOf(recordFile());
        ASSERT_TRUE(onDisk == tableA || onDisk == tableB)
            << "round " << round << ": a file of " << onDisk.size() << " bytes that is neither table";
        (onDisk == tableA ? sawA : sawB) += 1;
    }
    EXPECT_GT(sawA + sawB, 0);

    const ChildEnd last = saveInChild(dir_, {"b"});
    ASSERT_EQ(last.exitCode, 0) << describe(last);
    EXPECT_EQ(bytesOf(recordFile()), tableBytes("b"));
}
