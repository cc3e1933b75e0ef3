#include "app/web/BrowserRecordStorage.h"

#include "app/web/StoredBytes.h"

namespace webrecords {

namespace {

class NoLock : public Module1::RecordLock {};

} // namespace

std::string storageKey(const std::string& path)
{
    return "quorvel:" + path;
}

bool BrowserRecordStorage::isPlainFile(const std::string& path) const
{
    std::optional<std::string> value;
    std::string reason;
    return store_.get(storageKey(path), value, reason) && value.has_value();
}

bool BrowserRecordStorage::read(const std::string& path, std::string& bytes, std::string& reason)
{
    std::optional<std::string> value;
    if (!store_.get(storageKey(path), value, reason)) {
        return false;
    }
    if (!value) {
        reason = "nothing is stored under \"" + storageKey(path) + "\" in this browser";
        return false;
    }
    auto decoded = decodeStoredBytes(*value);
    if (!decoded) {
        reason = "the value stored under \"" + storageKey(path) + "\" is not the file's bytes in base64";
        return false;
    }
    bytes = std::move(*decoded);
    return true;
}

bool BrowserRecordStorage::makeFolder(const std::string& /*dir*/, std::string& /*reason*/)
{
    return true;
}

bool BrowserRecordStorage::replace(const std::string& path, std::string_view bytes, std::string& reason)
{
    return store_.set(storageKey(path), encodeStoredBytes(bytes), reason);
}

std::unique_ptr<Module1::RecordLock> BrowserRecordStorage::lock(const std::string& /*path*/)
{
    return std::make_unique<NoLock>();
}

std::string BrowserRecordStorage::unavailableReason(const std::string& path) const
{
    std::optional<std::string> value;
    std::string reason;
    return store_.get(storageKey(path), value, reason) ? std::string() : reason;
}

} // namespace webrecords
