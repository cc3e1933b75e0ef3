#include "core/RecordFile.h"

#include "platform/model/Text.h"

#include <mutex>
#include <unordered_map>

namespace Module1 {

namespace {

constexpr std::size_t kExcerptBytes = 24;

enum class FieldEnd { Comma, LineEnd, EndOfFile };

struct Field {
    std::string_view text;
    int line = 1;            // 1-based
    bool startsLine = true;  // nothing but a line end (or nothing) before it
    FieldEnd end = FieldEnd::EndOfFile;
};

// Splits the file into fields: each runs to the next comma or line end, and
// that separator is consumed with it. Tracks the 1-based line it stands on.
class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}

    bool atEnd() const { return pos_ >= bytes_.size(); }
    int line() const { return line_; }

    Field next()
    {
        const std::size_t stop = bytes_.find_first_of(",\r\n", pos_);
        const std::size_t end = stop == std::string_view::npos ? bytes_.size() : stop;
        Field field{bytes_.substr(pos_, end - pos_), line_, startsLine_, FieldEnd::EndOfFile};
        pos_ = end;
        field.end = consumeSeparator();
        startsLine_ = field.end != FieldEnd::Comma;
        return field;
    }

private:
    FieldEnd consumeSeparator()
    {
        if (atEnd()) {
            return FieldEnd::EndOfFile;
        }
        const char separator = bytes_[pos_++];
        if (separator == ',') {
            return FieldEnd::Comma;
        }
        if (separator == '\r' && !atEnd() && bytes_[pos_] == '\n') {
            ++pos_;
        }
        ++line_;
        return FieldEnd::LineEnd;
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool startsLine_ = true;
};

std::optional<std::int32_t> parseScore(std::string_view field)
{
    // A field never holds a line end: the reader splits there.
    std::string_view text = ui::trimBlanks(field);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        magnitude = std::min(magnitude * 10 + (c - '0'), kLimit + 1);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < -kLimit || value > kLimit - 1) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

// A short, printable rendering of raw bytes for an error message.
std::string excerpt(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes.substr(0, kExcerptBytes)) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    if (bytes.size() > kExcerptBytes) {
        out += "...";
    }
    return out;
}

ParsedTable failure(int line, std::string reason)
{
    ParsedTable result;
    result.error = RecordParseError{line, std::move(reason)};
    return result;
}

// A record whose score cannot be read, told by the line that caused it when
// a comma is missing or one too many: a name that ends at its line end has
// no comma after it, and a name that begins after a score on the same line
// (or a score followed by a comma) stands on a line of two commas. The
// reader stumbles only later, on the field the fault shifted.
std::optional<ParsedTable> commaFault(const Field& name, const Field* score)
{
    const auto onLine = [](int line, const char* fault) {
        return failure(line, "line " + std::to_string(line) + " has " + fault);
    };
    constexpr const char* kSecondComma = "a second comma; only one may stand between the name and the score";
    if (!name.startsLine) {
        return onLine(name.line, kSecondComma);
    }
    if (name.end == FieldEnd::LineEnd) {
        return onLine(name.line, "no comma between the name and the score");
    }
    if (score != nullptr && score->end == FieldEnd::Comma) {
        return onLine(score->line, kSecondComma);
    }
    return std::nullopt;
}

std::string endsEarlyReason(int recordsRead, const char* missing)
{
    return "the file ends where " + std::string(missing) + " of record " + std::to_string(recordsRead + 1) +
           " is expected; it must hold " + std::to_string(kRecordLines) + " records of a name, a comma and a score";
}

bool isBlankCharacter(char32_t ch) { return ch == U' ' || ch == U'\u3000'; }

bool isControlCharacter(char32_t ch) { return ch < 0x20 || (ch >= 0x7F && ch <= 0x9F); }

bool decodesToItself(char32_t ch, int code)
{
    std::string bytes;
    if (code > 0xFF) {
        bytes += static_cast<char>(code >> 8);
    }
    bytes += static_cast<char>(code & 0xFF);
    const auto decoded = ui::fromCp932(bytes);
    return decoded && *decoded == ui::toUtf8(ch);
}

bool carriesUnchanged(char32_t ch)
{
    const auto code = ui::cp932Code(ch);
    if (!code) {
        return false;
    }
    static std::mutex mutex;
    static std::unordered_map<char32_t, bool> cache;
    const std::lock_guard lock(mutex);
    const auto found = cache.find(ch);
    if (found != cache.end()) {
        return found->second;
    }
    const bool result = decodesToItself(ch, *code);
    cache.emplace(ch, result);
    return result;
}

std::string errorText(RecordFileError::Action action, const std::string& path, int line, const std::string& reason)
{
    std::string text = "The records file \"" + path + "\" cannot be ";
    text += action == RecordFileError::Action::Read ? "read: " : "written: ";
    // A reason that names its line already ("line 3 has no comma...") is
    // not prefixed with it a second time.
    const std::string linePrefix = "line " + std::to_string(line);
    if (line > 0 && !reason.starts_with(linePrefix + " ")) {
        text += linePrefix + ": ";
    }
    text += reason;
    if (text.back() != '.') {
        text += '.';
    }
    return text;
}

} // namespace

RecordFileError::RecordFileError(Action action, std::string path, int line, std::string reason)
    : std::runtime_error(errorText(action, path, line, reason)),
      action_(action),
      path_(std::move(path)),
      line_(line),
      reason_(std::move(reason))
{
}

ParsedTable parseRecords(std::string_view bytes)
{
    ParsedTable result;
    FieldReader reader(bytes);
    int recordsRead = 0;
    for (int zone = 0; zone < kZones; ++zone) {
        for (int rank = 0; rank < kRanks; ++rank, ++recordsRead) {
            if (reader.atEnd()) {
                return failure(reader.line(), endsEarlyReason(recordsRead, "the name"));
            }
            const Field nameField = reader.next();
            const auto name = ui::fromCp932(nameField.text);
            if (!name) {
                return failure(nameField.line, "the name is not valid code page 932 text");
            }
            if (reader.atEnd()) {
                return commaFault(nameField, nullptr)
                    .value_or(failure(reader.line(), endsEarlyReason(recordsRead, "the score")));
            }
            const Field scoreField = reader.next();
            const auto score = parseScore(scoreField.text);
            if (!score) {
                return commaFault(nameField, &scoreField)
                    .value_or(failure(scoreField.line,
                                      "expected a score, a whole number from -2147483648 to 2147483647, but found \"" +
                                          excerpt(scoreField.text) + "\""));
            }
            result.table.names[zone][rank] = *name;
            result.table.scores[zone][rank] = *score;
        }
    }
    return result;
}

RecordTable SharedRecordTable()
{
    RecordTable table;
    for (int zone = 0; zone < kZones; ++zone) {
        for (int rank = 0; rank < kRanks; ++rank) {
            table.names[zone][rank] = RecordName[zone][rank];
            table.scores[zone][rank] = RecordScore[zone][rank];
        }
    }
    return table;
}

void SetSharedRecordTable(const RecordTable& table)
{
    for (int zone = 0; zone < kZones; ++zone) {
        for (int rank = 0; rank < kRanks; ++rank) {
            RecordName[zone][rank] = table.names[zone][rank];
            RecordScore[zone][rank] = table.scores[zone][rank];
        }
    }
}

std::string formatRecords()
{
    return formatRecords(SharedRecordTable());
}

std::string formatRecords(const RecordTable& table)
{
    std::string out;
    for (int zone = 0; zone < kZones; ++zone) {
        for (int rank = 0; rank < kRanks; ++rank) {
            // storableName keeps only characters with a code page 932 form.
            out += ui::toCp932(storableName(table.names[zone][rank])).value();
            out += ',';
            const std::int32_t score = table.scores[zone][rank];
            if (score >= 0) {
                out += ' ';
            }
            out += std::to_string(score);
            out += "\r\n";
        }
    }
    return out;
}

bool isAcceptedNameCharacter(char32_t ch)
{
    if (isControlCharacter(ch) || ch == U',' || ch == U'"') {
        return false;
    }
    return carriesUnchanged(ch);
}

std::string storableName(std::string_view utf8)
{
    std::u32string kept;
    for (char32_t ch : ui::toU32(utf8)) {
        if (isAcceptedNameCharacter(ch) && !(kept.empty() && isBlankCharacter(ch))) {
            kept += ch;
        }
    }
    return ui::toUtf8(kept);
}

} // namespace Module1
