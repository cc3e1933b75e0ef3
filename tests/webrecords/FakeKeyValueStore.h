#pragma once

// The page's storage for tests: a map, which can be made to refuse reading
// or writing with the words a browser uses.

#include "app/web/BrowserRecordStorage.h"

#include <map>

class FakeKeyValueStore : public webrecords::KeyValueStore {
public:
    bool get(const std::string& key, std::optional<std::string>& value, std::string& reason) override
    {
        if (!readRefusal.empty()) {
            reason = readRefusal;
            return false;
        }
        const auto found = values.find(key);
        value = found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
        return true;
    }

    bool set(const std::string& key, const std::string& value, std::string& reason) override
    {
        if (!writeRefusal.empty()) {
            reason = writeRefusal;
            return false;
        }
        values[key] = value;
        return true;
    }

    std::map<std::string, std::string> values;
    std::string readRefusal;
    std::string writeRefusal;
};
