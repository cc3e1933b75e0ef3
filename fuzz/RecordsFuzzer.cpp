// libFuzzer target for the records file reader. Whatever the bytes, reading
// them must give either the whole table of thirty records or an error with
// a line and a reason, and never a crash, a hang or part of a table. A table
// that was read must also survive being written and read again.

#include "core/RecordFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using Module1::kRanks;
using Module1::kRecordLines;
using Module1::kZones;
using Module1::ParsedTable;
using Module1::RecordTable;

// A line end separates fields just as a comma does, so a record may take two
// lines, and the last field read can stand on line 2 × 30.
constexpr int kLastLineAnErrorCanName = 2 * kRecordLines;
// An error message quotes only an excerpt of the bytes, never a whole field.
constexpr std::size_t kLongestReason = 300;

[[noreturn]] void fault(const char* what, const std::string& detail = {})
{
    std::fprintf(stderr, "records-fuzzer: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
    std::abort();
}

bool isEmptyTable(const RecordTable& table)
{
    return table.names == RecordTable{}.names && table.scores == RecordTable{}.scores;
}

void checkRefusal(const ParsedTable& parsed)
{
    const int line = parsed.error->line;
    if (line < 1 || line > kLastLineAnErrorCanName) {
        fault("an error names a line outside the file's records", std::to_string(line));
    }
    if (parsed.error->reason.empty()) {
        fault("an error without a reason");
    }
    if (parsed.error->reason.size() > kLongestReason) {
        fault("an error reason quotes too much", std::to_string(parsed.error->reason.size()) + " bytes");
    }
    if (!isEmptyTable(parsed.table)) {
        fault("a refused file still gave part of a table");
    }
}

// Commas and line ends (CR LF counted once) in the bytes.
int separatorCount(std::string_view bytes)
{
    int count = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == ',' || c == '\n' || (c == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) {
            ++count;
        }
    }
    return count;
}

// Each score's digits occur in the bytes, one after another in table order:
// every record was taken from the file, none left at its default.
void checkScoresComeFromTheBytesInOrder(const RecordTable& table, std::string_view bytes)
{
    std::size_t from = 0;
    for (int zone = 0; zone < kZones; ++zone) {
        for (int rank = 0; rank < kRanks; ++rank) {
            const std::int64_t score = table.scores[zone][rank];
            const std::string digits = std::to_string(score < 0 ? -score : score);
            const std::size_t at = bytes.find(digits, from);
            if (at == std::string_view::npos) {
                fault("a score that is not in the file", std::to_string(score));
            }
            from = at + digits.size();
        }
    }
}

void loadIntoSharedState(const RecordTable& table)
{
    for (int zone = 0; zone < kZones; ++zone) {
        for (int rank = 0; rank < kRanks; ++rank) {
            Module1::RecordName[zone][rank] = table.names[zone][rank];
            Module1::RecordScore[zone][rank] = table.scores[zone][rank];
        }
    }
}

// Writing the table and reading it back gives the same scores and each name
// in its storable form; writing that again gives the same bytes.
void checkRoundTrip(const RecordTable& table)
{
    loadIntoSharedState(table);
    const std::string written = Module1::formatRecords();
    const ParsedTable reread = Module1::parseRecords(written);
    if (!reread.ok()) {
        fault("a written table cannot be read back", reread.error->reason);
    }
    for (int zone = 0; zone < kZones; ++zone) {
        for (int rank = 0; rank < kRanks; ++rank) {
            if (reread.table.scores[zone][rank] != table.scores[zone][rank]) {
                fault("a score changed on its way through the file");
            }
            if (reread.table.names[zone][rank] != Module1::storableName(table.names[zone][rank])) {
                fault("a name came back other than its storable form", table.names[zone][rank]);
            }
        }
    }
    loadIntoSharedState(reread.table);
    if (Module1::formatRecords() != written) {
        fault("writing the table read back gives other bytes");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ParsedTable parsed = Module1::parseRecords(bytes);
    if (!parsed.ok()) {
        checkRefusal(parsed);
        return 0;
    }
    if (separatorCount(bytes) < 2 * kRecordLines - 1) {
        fault("a table was read from fewer than 59 separators");
    }
    checkScoresComeFromTheBytesInOrder(parsed.table, bytes);
    checkRoundTrip(parsed.table);
    return 0;
}
