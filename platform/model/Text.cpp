#include "platform/model/Text.h"

#include "platform/model/Cp932Table.inc"

#include <array>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace ui {

namespace {

constexpr int kMaxSignificantDigits = 15;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits "d1d2...dn" meaning 0.d1d2...dn * 10^(exponent + 1), written out in
// plain decimal however large or small the exponent.
std::string plainDecimal(std::string_view digits, int exponent)
{
    std::string out;
    const int integerDigits = exponent + 1;
    if (integerDigits <= 0) {
        out = "0.";
        out.append(static_cast<std::size_t>(-integerDigits), '0');
        out += digits;
        return out;
    }
    const auto split = static_cast<std::size_t>(integerDigits);
    if (digits.size() <= split) {
        out = digits;
        out.append(split - digits.size(), '0');
        return out;
    }
    out = digits.substr(0, split);
    out += '.';
    out += digits.substr(split);
    return out;
}

// Rounding to 15 significant digits first and then dropping trailing zeros
// gives the shortest form of at most 15 digits: a double that needs 16 or 17
// digits to round-trip is shown the way a 15-digit display shows it. The C
// library's printf rounds exactly (to the nearest, ties to even) on every
// host the game runs on; the point it writes depends on the locale, so only
// the digits are taken.
std::string finiteNumberText(double value)
{
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*e", kMaxSignificantDigits - 1, std::fabs(value));
    const std::string_view text(buffer.data());
    const auto e = text.find_first_of("eE");
    std::string digits;
    for (char c : text.substr(0, e)) {
        if (isDigit(c)) {
            digits += c;
        }
    }
    int exponent = 0;
    for (char c : text.substr(e + 2)) {
        exponent = exponent * 10 + (c - '0');
    }
    if (text[e + 1] == '-') {
        exponent = -exponent;
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    std::string out = value < 0 ? "-" : "";
    return out + plainDecimal(digits, exponent);
}

// A decimal number taken apart: the integer of its significant digits
// (without leading or trailing zeros; empty for zero) times 10^exponent.
struct DecimalParts {
    bool negative = false;
    std::string digits;
    std::int64_t exponent = 0;
};

// Saturates far beyond any exponent a double can use.
constexpr std::int64_t kExponentLimit = 1'000'000'000;

std::size_t skipDigits(std::string_view text, std::size_t pos)
{
    while (pos < text.size() && isDigit(text[pos])) {
        ++pos;
    }
    return pos;
}

// Reads an exponent "e" ["+" | "-"] digits at `pos` to the end of `text`.
std::optional<std::int64_t> readExponent(std::string_view text, std::size_t pos)
{
    if (pos == text.size()) {
        return 0;
    }
    if (text[pos] != 'e' && text[pos] != 'E') {
        return std::nullopt;
    }
    ++pos;
    const bool negative = pos < text.size() && text[pos] == '-';
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        ++pos;
    }
    const std::size_t end = skipDigits(text, pos);
    if (end == pos || end != text.size()) {
        return std::nullopt;
    }
    std::int64_t exponent = 0;
    for (char c : text.substr(pos)) {
        exponent = std::min(kExponentLimit, exponent * 10 + (c - '0'));
    }
    return negative ? -exponent : exponent;
}

std::optional<DecimalParts> splitDecimal(std::string_view text)
{
    DecimalParts parts;
    std::size_t pos = 0;
    if (pos < text.size() && text[pos] == '-') {
        parts.negative = true;
        ++pos;
    }
    const std::size_t integerEnd = skipDigits(text, pos);
    std::string_view integer = text.substr(pos, integerEnd - pos);
    std::string_view fraction;
    pos = integerEnd;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fractionEnd = skipDigits(text, pos + 1);
        fraction = text.substr(pos + 1, fractionEnd - pos - 1);
        pos = fractionEnd;
    }
    if (integer.empty() && fraction.empty()) {
        return std::nullopt;
    }
    const auto exponent = readExponent(text, pos);
    if (!exponent) {
        return std::nullopt;
    }
    parts.digits = std::string(integer) + std::string(fraction);
    parts.exponent = *exponent - static_cast<std::int64_t>(fraction.size());
    const auto first = parts.digits.find_first_not_of('0');
    if (first == std::string::npos) {
        parts.digits.clear();
        return parts;
    }
    const auto last = parts.digits.find_last_not_of('0');
    parts.exponent += static_cast<std::int64_t>(parts.digits.size() - last - 1);
    parts.digits = parts.digits.substr(first, last - first + 1);
    return parts;
}

bool isAscii(char32_t ch) { return ch < 0x80; }

constexpr char32_t kHalfWidthFirst = 0xFF61;
constexpr char32_t kHalfWidthLast = 0xFF9F;
constexpr int kHalfWidthFirstCode = 0xA1;

// The full-width characters of U+FF61..U+FF9F, in that order.
constexpr std::u32string_view kFullWidthOfHalfWidth =
    U"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";

// Kana a half-width keyboard types as a base kana plus a sound mark, and
// kana with no half-width form of their own: the key pressed for them is the
// base kana's key, so they count as that key.
constexpr std::u32string_view kComposedKana = U"ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポヴヵヶヮヷヺ";
constexpr std::u32string_view kBaseOfComposed = U"カキクケコサシスセソタチツテトハヒフヘホハヒフヘホウカケワワヲ";
static_assert(kComposedKana.size() == kBaseOfComposed.size());
static_assert(kFullWidthOfHalfWidth.size() == kHalfWidthLast - kHalfWidthFirst + 1);

constexpr char32_t kKanaBlockFirst = 0x3000;
constexpr std::size_t kKanaBlockSize = 0x100;
constexpr char32_t kHiraganaFirst = 0x3041;
constexpr char32_t kHiraganaLast = 0x3096;
constexpr char32_t kHiraganaToKatakana = 0x60;

// Codes of U+3000..U+30FF that count as a half-width key; 0 where none.
using KanaKeyTable = std::array<std::uint8_t, kKanaBlockSize>;

KanaKeyTable buildKanaKeyTable()
{
    KanaKeyTable table{};
    auto set = [&table](char32_t ch, int code) {
        if (ch >= kKanaBlockFirst && ch < kKanaBlockFirst + kKanaBlockSize) {
            table[ch - kKanaBlockFirst] = static_cast<std::uint8_t>(code);
        }
    };
    auto setWithHiragana = [&set](char32_t katakana, int code) {
        set(katakana, code);
        const char32_t hiragana = katakana - kHiraganaToKatakana;
        if (hiragana >= kHiraganaFirst && hiragana <= kHiraganaLast) {
            set(hiragana, code);
        }
    };
    for (std::size_t i = 0; i < kFullWidthOfHalfWidth.size(); ++i) {
        const int code = kHalfWidthFirstCode + static_cast<int>(i);
        const char32_t full = kFullWidthOfHalfWidth[i];
        if (full >= 0x30A1 && full <= 0x30F6) {
            setWithHiragana(full, code);
        } else {
            set(full, code);
        }
    }
    const KanaKeyTable plain = table;
    for (std::size_t i = 0; i < kComposedKana.size(); ++i) {
        setWithHiragana(kComposedKana[i], plain[kBaseOfComposed[i] - kKanaBlockFirst]);
    }
    // The combining sound marks are the same keys as the spacing ones.
    set(0x3099, plain[0x309B - kKanaBlockFirst]);
    set(0x309A, plain[0x309C - kKanaBlockFirst]);
    return table;
}

const KanaKeyTable& kanaKeyTable()
{
    static const KanaKeyTable table = buildKanaKeyTable();
    return table;
}

bool isValidScalar(char32_t ch) { return ch <= 0x10FFFF && (ch < 0xD800 || ch > 0xDFFF); }

void appendUtf8(std::string& out, char32_t ch)
{
    if (!isValidScalar(ch)) {
        ch = 0xFFFD;
    }
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (ch >> 18));
        out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

struct Utf8Lead {
    int length = 0;
    char32_t bits = 0;
    char32_t minimum = 0; // smaller values are overlong forms
};

std::optional<Utf8Lead> utf8Lead(unsigned char lead)
{
    if ((lead & 0xE0) == 0xC0) {
        return Utf8Lead{2, static_cast<char32_t>(lead & 0x1F), 0x80};
    }
    if ((lead & 0xF0) == 0xE0) {
        return Utf8Lead{3, static_cast<char32_t>(lead & 0x0F), 0x800};
    }
    if ((lead & 0xF8) == 0xF0) {
        return Utf8Lead{4, static_cast<char32_t>(lead & 0x07), 0x10000};
    }
    return std::nullopt;
}

// One character decoded from `text` at `pos`, advancing it; a malformed
// sequence gives U+FFFD and skips one byte.
char32_t decodeUtf8(std::string_view text, std::size_t& pos)
{
    const auto first = static_cast<unsigned char>(text[pos]);
    if (first < 0x80) {
        ++pos;
        return first;
    }
    const auto lead = utf8Lead(first);
    const auto length = lead ? static_cast<std::size_t>(lead->length) : 0;
    if (!lead || pos + length > text.size()) {
        ++pos;
        return 0xFFFD;
    }
    char32_t ch = lead->bits;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        ch = (ch << 6) | (next & 0x3F);
    }
    if (ch < lead->minimum || !isValidScalar(ch)) {
        ++pos;
        return 0xFFFD;
    }
    pos += length;
    return ch;
}

// One character of well-formed UTF-8 at `pos`, advancing it; nullopt for a
// malformed or cut-off sequence (which decodeUtf8 replaces by U+FFFD, one
// byte long, where a real U+FFFD is three).
std::optional<char32_t> decodeStrictUtf8(std::string_view text, std::size_t& pos)
{
    const std::size_t start = pos;
    const char32_t ch = decodeUtf8(text, pos);
    if (ch == 0xFFFD && pos - start == 1) {
        return std::nullopt;
    }
    return ch;
}

constexpr std::uint16_t kNoCode = 0xFFFF; // no lead byte is 0xFF

bool isSecondChoiceLead(int lead)
{
    for (unsigned char second : cp932::kSecondChoiceLeads) {
        if (second == lead) {
            return true;
        }
    }
    return false;
}

// Code of every character of the basic plane; characters beyond it have none.
using EncodeTable = std::vector<std::uint16_t>;

EncodeTable buildEncodeTable()
{
    EncodeTable table(0x10000, kNoCode);
    auto offer = [&table](char16_t ch, int code) {
        if (table[ch] == kNoCode) {
            table[ch] = static_cast<std::uint16_t>(code);
        }
    };
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t ch = cp932::kSingleByte[byte];
        if (ch != cp932::kLeadByte && ch != cp932::kInvalid) {
            offer(ch, byte);
        }
    }
    for (bool secondChoice : {false, true}) {
        for (int lead = 0; lead < 256; ++lead) {
            const int row = cp932::kRowOfLead[lead];
            if (row == 0 || isSecondChoiceLead(lead) != secondChoice) {
                continue;
            }
            for (int trail = cp932::kTrailFirst; trail <= cp932::kTrailLast; ++trail) {
                if (const char16_t ch = cp932::kDoubleByte[row - 1][trail - cp932::kTrailFirst]) {
                    offer(ch, lead * 256 + trail);
                }
            }
        }
    }
    for (const auto& exception : cp932::kEncodeExceptions) {
        table[exception.ch] = exception.code == cp932::kNoCode ? kNoCode : static_cast<std::uint16_t>(exception.code);
    }
    return table;
}

const EncodeTable& encodeTable()
{
    static const EncodeTable table = buildEncodeTable();
    return table;
}

bool isDropped(char32_t ch)
{
    for (const auto& range : cp932::kDroppedCharacters) {
        if (ch >= range.first && ch <= range.last) {
            return true;
        }
    }
    return false;
}

std::optional<int> tableCode(char32_t ch)
{
    if (ch > 0xFFFF || encodeTable()[ch] == kNoCode) {
        return std::nullopt;
    }
    return encodeTable()[ch];
}

// The character of the code at `pos`, advancing past it; nullopt when the
// bytes there are not a character of code page 932.
std::optional<char16_t> decodeCp932(std::string_view bytes, std::size_t& pos)
{
    const auto first = static_cast<unsigned char>(bytes[pos++]);
    const char16_t single = cp932::kSingleByte[first];
    if (single == cp932::kInvalid) {
        return std::nullopt;
    }
    if (single != cp932::kLeadByte) {
        return single;
    }
    if (pos == bytes.size()) {
        return std::nullopt;
    }
    const auto trail = static_cast<unsigned char>(bytes[pos++]);
    if (trail < cp932::kTrailFirst || trail > cp932::kTrailLast) {
        return std::nullopt;
    }
    const char16_t ch = cp932::kDoubleByte[cp932::kRowOfLead[first] - 1][trail - cp932::kTrailFirst];
    return ch != 0 ? std::optional<char16_t>(ch) : std::nullopt;
}

} // namespace

std::string numberText(double value)
{
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Infinity" : "Infinity";
    }
    if (value == 0) {
        return "0"; // also for -0
    }
    return finiteNumberText(value);
}

std::string numberText(std::int64_t value)
{
    return std::to_string(value);
}

std::optional<double> parseNumber(std::string_view text)
{
    const auto parts = splitDecimal(text);
    if (!parts) {
        return std::nullopt;
    }
    if (parts->digits.empty()) {
        return parts->negative ? -0.0 : 0.0;
    }
    // A double lies between 10^-324 and 10^309: beyond that nothing is left
    // to round, and the exponent stays small enough to write.
    const auto magnitude = parts->exponent + static_cast<std::int64_t>(parts->digits.size());
    constexpr std::int64_t kSmallest = -330;
    constexpr std::int64_t kLargest = 310;
    if (magnitude < kSmallest || magnitude > kLargest) {
        return std::nullopt;
    }
    // Without a point strtod reads the same in every locale.
    const std::string plain = parts->digits + "e" + std::to_string(parts->exponent);
    const double value = std::strtod(plain.c_str(), nullptr);
    if (value == 0 || std::isinf(value)) {
        return std::nullopt;
    }
    return parts->negative ? -value : value;
}

std::string_view trimBlanks(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t\r\n";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::optional<std::string> toCp932(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto ch = decodeStrictUtf8(utf8, pos);
        if (!ch) {
            return std::nullopt;
        }
        if (isDropped(*ch)) {
            continue;
        }
        const auto code = tableCode(*ch);
        if (!code) {
            return std::nullopt;
        }
        if (*code > 0xFF) {
            out += static_cast<char>(*code >> 8);
        }
        out += static_cast<char>(*code & 0xFF);
    }
    return out;
}

std::optional<std::string> fromCp932(std::string_view cp932)
{
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    std::size_t pos = 0;
    while (pos < cp932.size()) {
        const auto ch = decodeCp932(cp932, pos);
        if (!ch) {
            return std::nullopt;
        }
        appendUtf8(out, *ch);
    }
    return out;
}

std::u32string toU32(std::string_view utf8)
{
    std::u32string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        out += decodeUtf8(utf8, pos);
    }
    return out;
}

std::string toUtf8(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t ch : text) {
        appendUtf8(out, ch);
    }
    return out;
}

std::string toUtf8(char32_t ch)
{
    std::string out;
    appendUtf8(out, ch);
    return out;
}

std::optional<int> cp932Code(char32_t ch)
{
    if (isAscii(ch)) {
        return static_cast<int>(ch);
    }
    if (ch >= kHalfWidthFirst && ch <= kHalfWidthLast) {
        return kHalfWidthFirstCode + static_cast<int>(ch - kHalfWidthFirst);
    }
    return tableCode(ch);
}

std::optional<int> keyAsciiFor(char32_t typed)
{
    if (typed >= kKanaBlockFirst && typed < kKanaBlockFirst + kKanaBlockSize) {
        const int key = kanaKeyTable()[typed - kKanaBlockFirst];
        if (key != 0) {
            return key;
        }
    }
    return cp932Code(typed);
}

} // namespace ui
