#pragma once

// Records tables told apart by a name, shared by the saving helper program
// and the tests that watch it, so both know the bytes each save must give.

#include "core/Module1.h"
#include "core/RecordFile.h"

#include <string>
#include <string_view>

namespace reliability {

// "a" and "b" are small tables; "huge-a" and "huge-b" have names of 10,000
// characters (a file of about 600 KB, written in many chunks).
inline bool fillTable(std::string_view variant)
{
    const bool huge = variant.starts_with("huge-");
    const std::string_view letter = huge ? variant.substr(5) : variant;
    if (letter != "a" && letter != "b") {
        return false;
    }
    std::string stem = letter == "a" ? "あ" : "ｶﾅ";
    if (huge) {
        std::string long_;
        while (long_.size() < 10000 * stem.size()) {
            long_ += stem;
        }
        stem = long_;
    }
    const std::int32_t base = letter == "a" ? 50000 : -7;
    for (int zone = 0; zone < Module1::kZones; ++zone) {
        for (int rank = 0; rank < Module1::kRanks; ++rank) {
            Module1::RecordName[zone][rank] = stem + std::to_string(zone * 10 + rank);
            Module1::RecordScore[zone][rank] = base - 100 * (zone * 10 + rank);
        }
    }
    return true;
}

// The bytes a save of that table writes.
inline std::string tableBytes(std::string_view variant)
{
    fillTable(variant);
    return Module1::formatRecords();
}

} // namespace reliability
