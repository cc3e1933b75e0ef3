// quorvel-cp932gen OUTPUT: writes the code page 932 table of the window model
// (platform/model/Cp932Table.inc) from the C library's CP932 converter, after
// checking that the table reproduces the converter for every single byte,
// every byte pair and every Unicode scalar value.

#include "tools/cp932gen/Cp932Reference.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char16_t kLeadByte = 0xFFFF;
constexpr char16_t kInvalid = 0xFFFE;
constexpr int kNoCode = -1;
constexpr int kDropped = -2; // converted to nothing, without failing

std::string utf8Of(char32_t ch)
{
    std::string out;
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
    return out;
}

// The one character of the basic plane `utf8` holds, or nullopt.
std::optional<char16_t> singleBmpCharacter(const std::string& utf8)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    if (utf8.size() == 1 && byte(0) < 0x80) {
        return byte(0);
    }
    if (utf8.size() == 2) {
        return static_cast<char16_t>(((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F));
    }
    if (utf8.size() == 3) {
        return static_cast<char16_t>(((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F));
    }
    return std::nullopt;
}

struct Table {
    std::array<char16_t, 256> single{};
    std::array<int, 256> rowOfLead{}; // 0: not a lead byte; n: row n - 1
    int trailFirst = 0xFF;
    int trailLast = 0;
    std::vector<std::array<char16_t, 256>> rows; // by trail byte, 0 = none
    std::map<char32_t, int> encodeExceptions;    // -1 = no code
};

[[noreturn]] void fail(const std::string& why)
{
    std::cerr << "quorvel-cp932gen: " << why << '\n';
    std::exit(1);
}

std::string hex(int value, int width)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%0*X", width, value);
    return buffer;
}

void readBytes(Table& table)
{
    for (int lead = 0; lead < 256; ++lead) {
        const std::string one(1, static_cast<char>(lead));
        if (const auto decoded = cp932gen::systemFromCp932(one)) {
            const auto ch = singleBmpCharacter(*decoded);
            if (!ch || *ch == kLeadByte || *ch == kInvalid) {
                fail("byte " + hex(lead, 2) + " decodes to something other than one character");
            }
            table.single[lead] = *ch;
            continue;
        }
        std::array<char16_t, 256> row{};
        bool anyPair = false;
        for (int trail = 0; trail < 256; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            const auto decoded = cp932gen::systemFromCp932(pair);
            if (!decoded) {
                continue;
            }
            const auto ch = singleBmpCharacter(*decoded);
            if (!ch || *ch == 0) {
                fail("pair " + hex(lead * 256 + trail, 4) + " decodes to something other than one character");
            }
            row[trail] = *ch;
            anyPair = true;
            table.trailFirst = std::min(table.trailFirst, trail);
            table.trailLast = std::max(table.trailLast, trail);
        }
        table.single[lead] = anyPair ? kLeadByte : kInvalid;
        if (anyPair) {
            table.rows.push_back(row);
            table.rowOfLead[lead] = static_cast<int>(table.rows.size());
        }
    }
}

// What the table says of two bytes, decoded as the model decodes them.
std::optional<std::u16string> tableDecode(const Table& table, int first, int second)
{
    const char16_t a = table.single[first];
    if (a == kLeadByte) {
        const char16_t ch = table.rows[table.rowOfLead[first] - 1][second];
        return ch != 0 ? std::optional<std::u16string>(std::u16string(1, ch)) : std::nullopt;
    }
    const char16_t b = table.single[second];
    if (a == kInvalid || b == kInvalid || b == kLeadByte) {
        return std::nullopt;
    }
    return std::u16string{a, b};
}

void checkPairs(const Table& table)
{
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            const std::string pair{static_cast<char>(first), static_cast<char>(second)};
            const auto expected = cp932gen::systemFromCp932(pair);
            const auto got = tableDecode(table, first, second);
            std::string gotUtf8;
            for (char16_t ch : got.value_or(u"")) {
                gotUtf8 += utf8Of(ch);
            }
            if (expected.has_value() != got.has_value() || (expected && *expected != gotUtf8)) {
                fail("the table does not reproduce the bytes " + hex(first * 256 + second, 4));
            }
        }
    }
}

// Lead bytes 0xED and 0xEE repeat characters found elsewhere in the code
// page; a character is encoded there only when it has no other code.
bool isSecondChoiceLead(int lead)
{
    return lead == 0xED || lead == 0xEE;
}

// The model encodes a character as the lowest code that decodes to it,
// second-choice rows last, except where the converter says otherwise.
void readEncodings(Table& table)
{
    std::map<char32_t, int> lowest;
    for (int byte = 0; byte < 256; ++byte) {
        if (table.single[byte] != kLeadByte && table.single[byte] != kInvalid) {
            lowest.emplace(table.single[byte], byte);
        }
    }
    for (bool secondChoice : {false, true}) {
        for (int lead = 0; lead < 256; ++lead) {
            if (table.rowOfLead[lead] == 0 || isSecondChoiceLead(lead) != secondChoice) {
                continue;
            }
            for (int trail = 0; trail < 256; ++trail) {
                if (const char16_t ch = table.rows[table.rowOfLead[lead] - 1][trail]) {
                    lowest.emplace(ch, lead * 256 + trail);
                }
            }
        }
    }
    for (char32_t ch = 0; ch <= 0x10FFFF; ++ch) {
        if (ch >= 0xD800 && ch <= 0xDFFF) {
            continue;
        }
        const auto bytes = cp932gen::systemToCp932(utf8Of(ch));
        int code = kNoCode;
        if (bytes && bytes->empty()) {
            code = kDropped;
        } else if (bytes) {
            if (bytes->size() > 2) {
                fail("character " + hex(static_cast<int>(ch), 4) + " encodes to neither one nor two bytes");
            }
            code = 0;
            for (unsigned char byte : *bytes) {
                code = code * 256 + byte;
            }
        }
        const auto found = lowest.find(ch);
        const int byTable = found == lowest.end() ? kNoCode : found->second;
        if (code != byTable) {
            table.encodeExceptions[ch] = code;
        }
    }
}

std::string render(const Table& table)
{
    std::ostringstream out;
    out << "// Generated by quorvel-cp932gen from the C library's CP932 converter; do not edit.\n"
           "// Regenerate: cmake --build --preset release --target cp932-table\n"
           "// clang-format off\n\n"
           "namespace ui::cp932 {\n\n"
           "// What a byte is on its own: a character, kLeadByte or kInvalid.\n"
           "inline constexpr char16_t kLeadByte = 0xFFFF;\n"
           "inline constexpr char16_t kInvalid = 0xFFFE;\n"
           "inline constexpr char16_t kSingleByte[256] = {\n";
    for (int byte = 0; byte < 256; ++byte) {
        out << (byte % 8 == 0 ? "    " : " ") << hex(table.single[byte], 4) << ',' << (byte % 8 == 7 ? "\n" : "");
    }
    out << "};\n\n// Row of kDoubleByte for a lead byte, plus one; 0 for other bytes.\n"
           "inline constexpr unsigned char kRowOfLead[256] = {\n";
    for (int byte = 0; byte < 256; ++byte) {
        out << (byte % 16 == 0 ? "    " : " ") << table.rowOfLead[byte] << ',' << (byte % 16 == 15 ? "\n" : "");
    }
    const int trails = table.trailLast - table.trailFirst + 1;
    out << "};\n\ninline constexpr unsigned char kTrailFirst = " << hex(table.trailFirst, 2)
        << ";\ninline constexpr unsigned char kTrailLast = " << hex(table.trailLast, 2)
        << ";\n\n// The character of lead and trail byte; 0 where the pair is not valid.\n"
           "inline constexpr char16_t kDoubleByte["
        << table.rows.size() << "][" << trails << "] = {\n";
    for (const auto& row : table.rows) {
        out << "    {";
        for (int i = 0; i < trails; ++i) {
            out << (i == 0 ? "" : i % 12 == 0 ? ",\n     " : ", ") << hex(row[table.trailFirst + i], 4);
        }
        out << "},\n";
    }
    out << "};\n\n// A character is encoded as the lowest code that decodes to it, codes\n"
           "// with these lead bytes last, unless kEncodeExceptions says otherwise.\n"
           "inline constexpr unsigned char kSecondChoiceLeads[] = {";
    for (int lead = 0; lead < 256; ++lead) {
        if (isSecondChoiceLead(lead)) {
            out << hex(lead, 2) << ", ";
        }
    }
    out << "};\n\n// Characters whose code is not the lowest code that decodes to them.\n"
           "inline constexpr int kNoCode = -1;\n"
           "struct EncodeException {\n    char32_t ch;\n    int code;\n};\n"
           "inline constexpr EncodeException kEncodeExceptions[] = {\n";
    std::vector<std::pair<char32_t, char32_t>> dropped;
    for (const auto& [ch, code] : table.encodeExceptions) {
        if (code == kDropped) {
            if (!dropped.empty() && dropped.back().second + 1 == ch) {
                dropped.back().second = ch;
            } else {
                dropped.emplace_back(ch, ch);
            }
            continue;
        }
        out << "    {" << hex(static_cast<int>(ch), 4) << ", "
            << (code == kNoCode ? std::string("kNoCode") : hex(code, 4)) << "},\n";
    }
    out << "};\n\n// Characters converted to nothing, without failing: first and last of each run.\n"
           "struct CharacterRange {\n    char32_t first;\n    char32_t last;\n};\n"
           "inline constexpr CharacterRange kDroppedCharacters[] = {\n";
    for (const auto& [first, last] : dropped) {
        out << "    {" << hex(static_cast<int>(first), 4) << ", " << hex(static_cast<int>(last), 4) << "},\n";
    }
    out << "};\n\n} // namespace ui::cp932\n";
    return out.str();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: quorvel-cp932gen OUTPUT\n";
        return 2;
    }
    if (!cp932gen::systemToCp932("A")) {
        fail("the C library has no CP932 converter");
    }
    Table table;
    readBytes(table);
    checkPairs(table);
    readEncodings(table);
    std::ofstream file(argv[1], std::ios::binary);
    file << render(table);
    file.close();
    if (!file) {
        fail(std::string("cannot write ") + argv[1]);
    }
    std::cout << "wrote " << argv[1] << ": " << table.rows.size() << " lead bytes, "
              << table.encodeExceptions.size() << " encoding exceptions\n";
    return 0;
}
