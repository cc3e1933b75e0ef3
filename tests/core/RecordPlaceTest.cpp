#include "core/RecordPlace.h"

#include "app/QtRecordStorage.h"
#include "core/RecordFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;
constexpr fs::perms kReadableByAll = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec;
constexpr fs::perms kReadOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;

std::string bytesOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

// IsWritableDirectory(DIR) as the player "nobody" sees it. Root may write
// anywhere, so a test running as root asks in a child that has given up
// its privileges; between fork and exit only system calls run.
bool writableForNobody(const fs::path& dir)
{
    const std::string path = dir.string();
    if (geteuid() != 0) {
        return qtrecords::QtRecordStorage().isWritableDirectory(path);
    }
    const pid_t pid = fork();
    if (pid == 0) {
        const bool dropped = setgid(kNobody) == 0 && setuid(kNobody) == 0;
        _exit(!dropped ? 2 : qtrecords::QtRecordStorage().isWritableDirectory(path) ? 0 : 1);
    }
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "the child could not become nobody";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class EnvironmentVariable {
public:
    explicit EnvironmentVariable(const char* name) : name_(name)
    {
        if (const char* value = std::getenv(name)) {
            saved_ = value;
        }
    }
    ~EnvironmentVariable()
    {
        if (saved_) {
            setenv(name_, saved_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};

class RecordPlaceTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scratch_.isValid());
        root_ = scratch_.path().toStdString();
        programDir_ = root_ / "games";
        dataDir_ = root_ / "home" / ".local" / "share" / "quorvel";
        fs::create_directories(programDir_);
        // Others may enter the scratch folder, as they may enter /usr.
        fs::permissions(root_, kReadableByAll);
        Module1::ResetSharedState();
    }
    void TearDown() override { Module1::ResetSharedState(); }

    Module1::RecordPlace installedPlace() const
    {
        return Module1::ChooseRecordPlace(programDir_.string(), false, dataDir_.string());
    }
    fs::path shippedFile() const { return programDir_ / "qorvl.dat"; }
    fs::path playersFile() const { return dataDir_ / "qorvl.dat"; }

    QTemporaryDir scratch_;
    fs::path root_;
    fs::path programDir_;
    fs::path dataDir_;
};

TEST_F(RecordPlaceTest, AWritableProgramFolderKeepsTheFileBesideTheExecutable)
{
    fs::create_directories(dataDir_);
    writeBytes(playersFile(), "a player's table of an installed copy");

    const auto place = Module1::ChooseRecordPlace(programDir_.string() + "/", true, dataDir_.string());

    EXPECT_EQ(place.savePath, shippedFile().string());
    EXPECT_EQ(place.startPath, shippedFile().string());
    EXPECT_EQ(place.folderToMake, "");
}

TEST_F(RecordPlaceTest, AReadOnlyProgramFolderKeepsTheFileInThePlayersDataFolder)
{
    fs::permissions(programDir_, kReadOnly);

    const bool writable = writableForNobody(programDir_);
    const auto place = Module1::ChooseRecordPlace(programDir_.string(), writable, dataDir_.string());
    fs::permissions(programDir_, fs::perms::owner_all);

    EXPECT_FALSE(writable);
    EXPECT_EQ(place.savePath, playersFile().string());
    EXPECT_EQ(place.startPath, playersFile().string());
    EXPECT_EQ(place.folderToMake, dataDir_.string());
}

TEST_F(RecordPlaceTest, TheInstalledProgramKeepsTheFileInThePlayersDataFolderEvenWhereItMayWrite)
{
    writeBytes(shippedFile(), "a table left beside the program");

    const auto place = Module1::InstalledRecordPlace(dataDir_.string());

    EXPECT_EQ(place.savePath, playersFile().string());
    EXPECT_EQ(place.startPath, playersFile().string()) << "a file beside the installed program is never read";
    EXPECT_EQ(place.folderToMake, dataDir_.string());
}

// The place a program decides on at its start, asked in a child so that it
// is decided afresh; its storage tells the kind of copy.
std::string startPlaceOf(qtrecords::QtRecordStorage::Copy copy, const fs::path& dataHome)
{
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        qtrecords::QtRecordStorage storage(copy);
        Module1::UseRecordStorage(storage);
        Module1::AppDirOverride.clear();
        setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        const std::string path = Module1::RecordFilePath();
        _exit(write(pipeEnds[1], path.data(), path.size()) == static_cast<ssize_t>(path.size()) ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::string path;
    char buffer[256];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        path.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeEnds[0]);
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    return path;
}

TEST_F(RecordPlaceTest, OnlyThePortableProgramKeepsTheFileBesideItselfWhenItMayWriteThere)
{
    const fs::path dataHome = root_ / "data";
    ASSERT_TRUE(qtrecords::QtRecordStorage().isWritableDirectory(qtrecords::QtRecordStorage().programDir()));

    EXPECT_EQ(startPlaceOf(qtrecords::QtRecordStorage::Copy::Installed, dataHome),
              (dataHome / "quorvel" / "qorvl.dat").string());
    EXPECT_EQ(startPlaceOf(qtrecords::QtRecordStorage::Copy::Portable, dataHome),
              (fs::path(qtrecords::QtRecordStorage().programDir()) / "qorvl.dat").string());
}

TEST_F(RecordPlaceTest, TheFirstSaveMakesThePlayersDataFolder)
{
    Module1::FillDefaultRecords();

    Module1::SaveRecords(installedPlace());

    EXPECT_EQ(bytesOf(playersFile()), Module1::formatRecords());
    EXPECT_FALSE(fs::exists(shippedFile()));
}

TEST_F(RecordPlaceTest, AShippedTableIsTheStartUntilThePlayerSavesAndIsNeverWritten)
{
    Module1::FillDefaultRecords();
    Module1::RecordName[1][0] = "ｼｯﾌﾟ";
    const std::string shipped = Module1::formatRecords();
    writeBytes(shippedFile(), shipped);
    Module1::ResetSharedState();

    const auto firstRun = installedPlace();
    ASSERT_EQ(firstRun.startPath, shippedFile().string());
    Module1::LoadRecords(firstRun.startPath);
    EXPECT_EQ(Module1::RecordName[1][0], "ｼｯﾌﾟ");
    Module1::RecordName[1][0] = "ﾌﾟﾚｲﾔｰ";
    Module1::SaveRecords(firstRun);

    EXPECT_EQ(bytesOf(shippedFile()), shipped);
    EXPECT_EQ(bytesOf(playersFile()), Module1::formatRecords());
    const auto nextRun = installedPlace();
    EXPECT_EQ(nextRun.startPath, playersFile().string());
    EXPECT_EQ(nextRun.savePath, playersFile().string());
}

TEST_F(RecordPlaceTest, ADataFolderThatCannotBeMadeFailsTheSaveWithThePathAndTheReason)
{
    const fs::path blocker = root_ / "home" / ".local";
    fs::create_directories(blocker.parent_path());
    writeBytes(blocker, "a file where a folder should be");
    const auto place = installedPlace();
    Module1::FillDefaultRecords();

    try {
        Module1::SaveRecords(place);
        FAIL() << "the save went through";
    } catch (const Module1::RecordFileError& error) {
        EXPECT_EQ(error.action(), Module1::RecordFileError::Action::Write);
        EXPECT_EQ(error.path(), playersFile().string());
        EXPECT_NE(error.reason().find(dataDir_.string()), std::string::npos) << error.reason();
        EXPECT_NE(error.reason().find(std::strerror(ENOTDIR)), std::string::npos) << error.reason();
        EXPECT_NE(std::string(error.what()).find("\"" + playersFile().string() + "\" cannot be written"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_EQ(bytesOf(blocker), "a file where a folder should be");
}

TEST_F(RecordPlaceTest, ThePlayersDataFolderFollowsXdgDataHomeAndDefaultsToTheHomeFolder)
{
    const EnvironmentVariable xdgDataHome("XDG_DATA_HOME");
    const EnvironmentVariable home("HOME");
    setenv("HOME", (root_ / "home").c_str(), 1);

    setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    EXPECT_EQ(qtrecords::QtRecordStorage().playerDataDir(), (root_ / "data" / "quorvel").string());

    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(qtrecords::QtRecordStorage().playerDataDir(), dataDir_.string());
}

TEST_F(RecordPlaceTest, TheWritableCheckAnswersForThePlayer)
{
    const fs::path open = root_ / "open";
    const fs::path readOnly = root_ / "read-only";
    const fs::path plainFile = root_ / "plain";
    fs::create_directories(open);
    fs::create_directories(readOnly);
    writeBytes(plainFile, "");
    fs::permissions(open, fs::perms::all);
    fs::permissions(readOnly, kReadOnly);
    fs::permissions(plainFile, fs::perms::all);

    EXPECT_TRUE(writableForNobody(open));
    EXPECT_FALSE(writableForNobody(readOnly));
    EXPECT_FALSE(writableForNobody(plainFile)) << "not a folder";
    EXPECT_FALSE(writableForNobody(root_ / "missing"));
    EXPECT_TRUE(qtrecords::QtRecordStorage().isWritableDirectory(programDir_.string())) << "the test's own folder";
    if (geteuid() == 0) {
        // An installed copy: root's folder, open to all, written by root only.
        EXPECT_FALSE(writableForNobody(programDir_));
    }

    fs::permissions(readOnly, fs::perms::owner_all);
}

} // namespace
