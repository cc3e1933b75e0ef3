// The model's code page 932 table against the C library's converter it was
// generated from, both ways, over the whole input space that matters: every
// Unicode scalar value, every byte and byte pair, and malformed UTF-8.

#include "platform/model/Text.h"
#include "tools/cp932gen/Cp932Reference.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

using cp932gen::systemFromCp932;
using cp932gen::systemToCp932;

std::string bytesOf(std::initializer_list<int> values)
{
    std::string out;
    for (int value : values) {
        out += static_cast<char>(value);
    }
    return out;
}

std::optional<int> codeOfBytes(const std::optional<std::string>& bytes)
{
    if (!bytes || bytes->empty() || bytes->size() > 2) {
        return std::nullopt;
    }
    int code = 0;
    for (unsigned char byte : *bytes) {
        code = code * 256 + byte;
    }
    return code;
}

TEST(Cp932Table, TheSystemConverterIsThere)
{
    ASSERT_EQ(systemToCp932("\xE6\xBC\xA2"), "\x8A\xBF") << "glibc's CP932 converter is needed to check the table";
}

TEST(Cp932Table, EncodesEveryUnicodeScalarValueAsTheSystemDoes)
{
    int mismatches = 0;
    for (char32_t ch = 0; ch <= 0x10FFFF && mismatches < 10; ++ch) {
        if (ch >= 0xD800 && ch <= 0xDFFF) {
            continue;
        }
        const std::string utf8 = ui::toUtf8(ch);
        const auto expected = systemToCp932(utf8);
        const bool same = ui::toCp932(utf8) == expected && ui::cp932Code(ch) == codeOfBytes(expected);
        if (!same) {
            ++mismatches;
            ADD_FAILURE() << "U+" << std::hex << static_cast<std::uint32_t>(ch);
        }
    }
}

TEST(Cp932Table, DecodesEverySingleByteAndBytePairAsTheSystemDoes)
{
    int mismatches = 0;
    for (int first = 0; first < 256; ++first) {
        EXPECT_EQ(ui::fromCp932(bytesOf({first})), systemFromCp932(bytesOf({first}))) << first;
        for (int second = 0; second < 256 && mismatches < 10; ++second) {
            const std::string pair = bytesOf({first, second});
            if (ui::fromCp932(pair) != systemFromCp932(pair)) {
                ++mismatches;
                ADD_FAILURE() << std::hex << first << ' ' << second;
            }
        }
    }
}

TEST(Cp932Table, DecodesLeadBytesInTheMiddleAndAtTheEndAsTheSystemDoes)
{
    std::mt19937 random(932);
    const std::string interesting = bytesOf({0x00, 0x3F, 0x40, 0x5C, 0x7E, 0x7F, 0x80, 0x81, 0x85, 0x9F, 0xA0, 0xA1,
                                             0xDF, 0xE0, 0xEB, 0xED, 0xEF, 0xF0, 0xFA, 0xFC, 0xFD, 0xFF});
    for (int i = 0; i < 100000; ++i) {
        std::string bytes;
        const int length = 1 + static_cast<int>(random() % 7);
        for (int j = 0; j < length; ++j) {
            bytes += random() % 2 == 0 ? interesting[random() % interesting.size()] : static_cast<char>(random());
        }
        ASSERT_EQ(ui::fromCp932(bytes), systemFromCp932(bytes)) << testing::PrintToString(bytes);
    }
}

TEST(Cp932Table, RejectsMalformedUtf8AsTheSystemDoes)
{
    // Every one- and two-byte input, every three-byte input that starts with
    // a lead byte, and four-byte inputs around the edges of the valid forms.
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const std::string two = bytesOf({a, b});
            ASSERT_EQ(ui::toCp932(two), systemToCp932(two)) << a << ' ' << b;
        }
    }
    for (int a = 0xC0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            for (int c = 0; c < 256; c += (b & 0xC0) == 0x80 ? 1 : 51) {
                const std::string three = bytesOf({a, b, c});
                ASSERT_EQ(ui::toCp932(three), systemToCp932(three)) << a << ' ' << b << ' ' << c;
            }
        }
    }
    std::mt19937 random(8);
    for (int i = 0; i < 200000; ++i) {
        const std::string four = bytesOf({0xF0 + static_cast<int>(random() % 16), 0x80 + static_cast<int>(random() % 64),
                                          0x80 + static_cast<int>(random() % 64), static_cast<int>(random() % 256)});
        ASSERT_EQ(ui::toCp932(four), systemToCp932(four)) << testing::PrintToString(four);
    }
}

TEST(Cp932Table, SkipsTagCharactersAndKeepsOneWayMappingsAsTheSystemDoes)
{
    EXPECT_EQ(ui::toCp932("A\xF3\xA0\x80\x81" "B"), "AB") << "U+E0001 converts to nothing";
    EXPECT_EQ(ui::cp932Code(U'\U000E0001'), std::nullopt);
    EXPECT_EQ(ui::toCp932("¥‾"), "\\~") << "yen sign and overline have no code of their own";
    EXPECT_EQ(ui::fromCp932("\\~"), "\\~");
    EXPECT_EQ(ui::toCp932("ⅰ"), "\xFA\x40") << "small roman numerals only in the IBM rows";
    EXPECT_EQ(ui::fromCp932("\xEE\xEF"), "ⅰ") << "the NEC-selected duplicate decodes, but is never written";
}

} // namespace
