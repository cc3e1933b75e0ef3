#pragma once

// Collects `key=value` lines for the replay driver's dump, in the order they
// are added. Numbers are written as the program shows numbers.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ui {

class StateDump {
public:
    void add(std::string key, std::string value);
    void add(std::string key, const char* value) { add(std::move(key), std::string(value)); }
    void add(std::string key, double value);
    void add(std::string key, std::int64_t value);
    void add(std::string key, int value) { add(std::move(key), static_cast<std::int64_t>(value)); }
    void add(std::string key, std::int16_t value) { add(std::move(key), static_cast<std::int64_t>(value)); }
    void add(std::string key, bool value) { add(std::move(key), static_cast<std::int64_t>(value ? 1 : 0)); }

    const std::vector<std::pair<std::string, std::string>>& lines() const { return lines_; }
    // All lines joined, each "key=value\n".
    std::string text() const;

private:
    std::vector<std::pair<std::string, std::string>> lines_;
};

} // namespace ui
