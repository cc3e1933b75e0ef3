#pragma once

// The records file "qorvl.dat": ranks 0..9 of the three zones, one line per
// record, "name,score" in code page 932 with CR LF line ends, zone by zone.
// The working slot of a zone is never written nor read.

#include "core/Module1.h"

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace Module1 {

inline constexpr int kRecordLines = kZones * kRanks;
inline constexpr const char* kRecordFileName = "qorvl.dat";

// A records file that cannot be read at start-up or written at name entry.
// what() is a whole sentence for an error dialog.
class RecordFileError : public std::runtime_error {
public:
    enum class Action { Read, Write };

    // `line` is the 1-based line of the file, or 0 when no line is concerned.
    RecordFileError(Action action, std::string path, int line, std::string reason);

    Action action() const { return action_; }
    const std::string& path() const { return path_; }
    int line() const { return line_; }
    const std::string& reason() const { return reason_; }

private:
    Action action_;
    std::string path_;
    int line_;
    std::string reason_;
};

// Ranks 0..9 of every zone; names in UTF-8.
struct RecordTable {
    std::array<std::array<std::string, kRanks>, kZones> names; // no braces: clang 14 crashes on them
    std::array<std::array<std::int32_t, kRanks>, kZones> scores{};

    bool operator==(const RecordTable&) const = default;
};

// A record a name entry put into the table, kept until a save has put it
// into the file.
struct EnteredRecord {
    int zone = 0;
    std::int32_t score = 0;
    std::string name; // UTF-8
};

struct RecordParseError {
    int line = 0;
    std::string reason;
};

// The result of reading the file's bytes: either the whole table or the
// first fault found, never part of a table.
struct ParsedTable {
    RecordTable table;
    std::optional<RecordParseError> error;
    bool ok() const { return !error.has_value(); }
};

// Reads thirty records from the bytes of a records file. Fields run to the
// next comma or line end; a line ends with CR LF, a lone LF or a lone CR
// (the game writes CR LF; the others are accepted for hand-edited files),
// and the last field may also end at the end of the file. Blanks around a
// score are skipped; the score is a whole decimal number within 32 bits
// with an optional sign. Whatever follows the thirtieth score is ignored.
// Pure and total: any input gives a table or an error.
ParsedTable parseRecords(std::string_view bytes);

// The file's bytes for ranks 0..9 of RecordName / RecordScore. Each name is
// written in its storable form (see storableName), so the file always reads
// back as the table it was written from.
std::string formatRecords();
// The same for any table.
std::string formatRecords(const RecordTable& table);

// Ranks 0..9 of RecordName / RecordScore, and the other way round.
RecordTable SharedRecordTable();
void SetSharedRecordTable(const RecordTable& table);

// Reads the records file at PATH (by default the start path of
// CurrentRecordPlace()) into ranks 0..9 of every zone. Throws
// RecordFileError (with the line where the file stopped making sense) and
// then leaves the shared tables untouched.
void LoadRecords();
void LoadRecords(const std::string& path);

// Replaces the records file of PLACE (by default CurrentRecordPlace()) in
// one step, making its folder first when it is missing: the new content is
// written beside the file and renamed over it, so a failed save leaves the
// old file as it was. Throws RecordFileError with the system's reason.
void SaveRecords();
void SaveRecords(const RecordPlace& place);

// Ranks ENTRY among its zone of TABLE as the name entry ranks a new score:
// from below the tenth place, one upward pass that exchanges every slot with
// the one above it when its score is strictly greater, so that among equal
// scores the older entry keeps the better rank. Returns the rank the entry
// took, kRanks when it stayed below the ten (and so is left out).
int bubbleIn(RecordTable& table, const EnteredRecord& entry);

// Saving the way the name entry saves, so that two copies of the game
// playing at once keep the records of both. Under the storage's lock, the
// file is read as it stands now. When it is the file this run last read or
// wrote, or there is none, the whole table in memory is saved, as
// SaveRecords does. When another program changed it, every entry this run
// has made since then is bubbled into the file's table, and that table is
// saved and becomes ranks 0..9 of RecordName / RecordScore.
//
// A save that fails (a file that cannot be written, or one that another
// program left unreadable, which is then not overwritten) is told to the
// RecordSaveReport and the run goes on with its table: the next save, or
// SaveUnsavedRecords at the end of the program, tries again.
//
// SaveEnteredRecord first notes the entry at ZONE, RANK (none when RANK is
// not one of the ten) and returns the rank it holds after the save.
int SaveEnteredRecord(int zone, int rank);
// Saves again if the last save failed; true when nothing is left unsaved.
bool SaveUnsavedRecords();
bool HasUnsavedRecords();
// Forgets what the run knew of the file and its entries not yet saved: a
// new run.
void ForgetRecordFile();

// Told of every save that failed. The game shows it; without one, the
// failure is told in one line on stderr (SaveFailureLine).
class RecordSaveReport {
public:
    virtual ~RecordSaveReport() = default;
    virtual void saveFailed(const RecordFileError& error) = 0;
};
// REPORT must outlive the saves; nullptr goes back to the line on stderr.
void UseRecordSaveReport(RecordSaveReport* report);
// "quorvel: " and the error's sentence: the line a failed save prints.
std::string SaveFailureLine(const RecordFileError& error);

// Characters a stored name may hold: those the file carries and reads back
// unchanged. Refused: control characters, line breaks, commas, double quotes,
// and characters without a code page 932 form that decodes to themselves.
bool isAcceptedNameCharacter(char32_t ch);

// The name as it can be stored: refused characters dropped, and blanks
// (ASCII space, ideographic space) at its start dropped. UTF-8 in and out.
std::string storableName(std::string_view utf8);

} // namespace Module1
