#pragma once

// The state every screen shares, start-up, and the two helpers CenterForm
// and AppDir. Screens never pass arguments to each other: whatever the next
// screen needs, it finds here.

#include "core/RecordPlace.h"
#include "platform/model/Application.h"
#include "platform/model/StateDump.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace Module1 {

inline constexpr int kZones = 3;
// A table keeps the ten best of each zone in slots 0..9 (their rank) and
// the score and name of the play being judged in the working slot after them.
inline constexpr int kRanks = 10;
inline constexpr int kWorkingSlot = kRanks;
inline constexpr int kSlots = kRanks + 1;
inline constexpr int kTableLength = 81;

// Every value below but CharTable has its row in the table of shared values
// in Module1.cpp, which resets, dumps and sets it, and a place in
// SavedState: a new value needs both.

// Zone being played: 0 Alphabetic, 1 Kana, 2 All kinds.
inline std::int16_t CurrentZone = 0;
inline std::int32_t LastScore = 0;
inline std::array<std::array<std::int32_t, kSlots>, kZones> RecordScore{};
inline std::array<std::array<std::string, kSlots>, kZones> RecordName; // UTF-8; no braces: clang 14 crashes on them
inline double AvgResponse = 0;
inline double HitRate = 0;
inline std::int16_t NewRecord = 0;
// Five texts of 81 characters; tables 0..2 are single bytes in code page 932.
inline std::array<std::u32string, 5> CharTable{};
inline std::int16_t SidePanel = 0;
inline std::int16_t MenuCursor = 0;
inline std::int16_t KeepCursor = 0;
inline std::int16_t OptSpeed = 0;
inline std::int16_t OptCase = 0;
inline std::int16_t OptKana = 0;

// The directory AppDir reports; set by the replay driver and the tests
// before Main runs. Empty means "the executable's directory". When it is
// set, the records file is always in it.
inline std::string AppDirOverride;

// Every shared value back to zero and empty, as at program start, and the
// records file's memory of the run forgotten (ForgetRecordFile).
void ResetSharedState();

// Every shared value as it stands, put back when this goes: a game played
// beside the running one (a play checked or watched) leaves no trace in it.
class SavedState {
public:
    SavedState();
    ~SavedState();
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    struct Values;
    std::unique_ptr<Values> values_;
};

// Start-up: records (file or default table), character tables, options,
// then the title screen centred and shown. Throws RecordFileError when a
// records file exists but cannot be read as the table.
void Main(ui::Application& app);

void CenterForm(ui::Form& form);

// The directory of the running executable, ending in exactly one "/".
std::string AppDir();

// Where the records file is read at start-up and saved: in AppDirOverride
// when that is set, else by the rule of InstalledRecordPlace or
// ChooseRecordPlace for this program.
RecordPlace CurrentRecordPlace();

// The file every save replaces: AppDir() followed by "qorvl.dat" when the
// program is a portable copy in a folder it may write, else "qorvl.dat" in
// the player's data folder.
std::string RecordFilePath();

void FillDefaultRecords();
void FillCharTables();

// The shared state as `Module1.NAME=value` lines (CharTable left out).
void DumpSharedState(ui::StateDump& out);

// Sets one value of the dump by its name ("CurrentZone", "HitRate",
// "RecordScore(0,10)", "RecordName(1,3)"; the "Module1." prefix is
// optional). `value` is a number, or UTF-8 text for RecordName. Integers
// must fit their field. On failure returns false, leaves the state as it
// was and says why in `error`.
bool SetSharedValue(std::string_view name, std::string_view value, std::string& error);

} // namespace Module1
