#pragma once

// The records file kept in memory for the page's lifetime, until the
// browser's own storage takes its place.

#include "core/RecordStorage.h"

#include <map>
#include <string>

namespace webapp {

class MemoryRecordStorage : public Module1::RecordStorage {
public:
    std::string programDir() const override { return "/quorvel"; }
    std::string playerDataDir() const override { return "/quorvel"; }
    bool isInstalledCopy() const override { return false; }
    bool isWritableDirectory(const std::string&) const override { return true; }
    bool isPlainFile(const std::string& path) const override { return files_.contains(path); }

    bool read(const std::string& path, std::string& bytes, std::string& reason) override;
    bool makeFolder(const std::string&, std::string&) override { return true; }
    bool replace(const std::string& path, std::string_view bytes, std::string&) override;
    std::unique_ptr<Module1::RecordLock> lock(const std::string&) override;

private:
    std::map<std::string, std::string> files_;
};

} // namespace webapp
