#include "platform/model/StateDump.h"

#include "platform/model/Text.h"

namespace ui {

void StateDump::add(std::string key, std::string value)
{
    lines_.emplace_back(std::move(key), std::move(value));
}

void StateDump::add(std::string key, double value)
{
    add(std::move(key), numberText(value));
}

void StateDump::add(std::string key, std::int64_t value)
{
    add(std::move(key), numberText(value));
}

std::string StateDump::text() const
{
    std::string out;
    for (const auto& [key, value] : lines_) {
        out += key;
        out += '=';
        out += value;
        out += '\n';
    }
    return out;
}

} // namespace ui
