#include "core/RecordPlace.h"

#include "core/RecordFile.h"

#include <QStandardPaths>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace Module1 {

namespace {

std::string recordFileIn(const std::string& dir)
{
    return (std::filesystem::path(dir) / kRecordFileName).string();
}

} // namespace

RecordPlace ChooseRecordPlace(const std::string& programDir, bool programDirWritable, const std::string& dataDir)
{
    const std::string besideProgram = recordFileIn(programDir);
    if (programDirWritable) {
        return {besideProgram, besideProgram, {}};
    }
    const std::string playersFile = recordFileIn(dataDir);
    const bool startFromShipped = !IsPlainFile(playersFile) && IsPlainFile(besideProgram);
    return {playersFile, startFromShipped ? besideProgram : playersFile, dataDir};
}

bool IsWritableDirectory(const std::string& dir)
{
    struct stat info {};
    return ::stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

bool IsPlainFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string PlayerDataDir()
{
    // The generic location is $XDG_DATA_HOME itself; the application-specific
    // ones would append the organisation and application names Qt shows.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString() + "/quorvel";
}

} // namespace Module1
