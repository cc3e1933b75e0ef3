#include "core/RecordPlace.h"

#include "core/RecordFile.h"
#include "core/RecordStorage.h"

#include <filesystem>

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
    const RecordStorage& storage = CurrentRecordStorage();
    const std::string playersFile = recordFileIn(dataDir);
    const bool startFromShipped = !storage.isPlainFile(playersFile) && storage.isPlainFile(besideProgram);
    return {playersFile, startFromShipped ? besideProgram : playersFile, dataDir};
}

RecordPlace InstalledRecordPlace(const std::string& dataDir)
{
    const std::string playersFile = recordFileIn(dataDir);
    return {playersFile, playersFile, dataDir};
}

} // namespace Module1
