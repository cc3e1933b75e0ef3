#include "app/web/MemoryRecordStorage.h"

namespace webapp {

bool MemoryRecordStorage::read(const std::string& path, std::string& bytes, std::string& reason)
{
    const auto found = files_.find(path);
    if (found == files_.end()) {
        reason = "No such file";
        return false;
    }
    bytes = found->second;
    return true;
}

bool MemoryRecordStorage::replace(const std::string& path, std::string_view bytes, std::string&)
{
    files_[path] = std::string(bytes);
    return true;
}

std::unique_ptr<Module1::RecordLock> MemoryRecordStorage::lock(const std::string&)
{
    // One page, one thread: nothing else saves meanwhile.
    return std::make_unique<Module1::RecordLock>();
}

} // namespace webapp
