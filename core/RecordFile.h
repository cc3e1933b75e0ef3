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

// Characters a stored name may hold: those the file carries and reads back
// unchanged. Refused: control characters, line breaks, commas, double quotes,
// and characters without a code page 932 form that decodes to themselves.
bool isAcceptedNameCharacter(char32_t ch);

// The name as it can be stored: refused characters dropped, and blanks
// (ASCII space, ideographic space) at its start dropped. UTF-8 in and out.
std::string storableName(std::string_view utf8);

} // namespace Module1
