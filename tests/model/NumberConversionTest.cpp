// The number text and the number reader of the model against the standard
// library's exact conversions (std::to_chars, std::from_chars), which not
// every host the game runs on has for doubles.

#include "platform/model/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

namespace {

std::string withoutTrailingZeros(std::string digits)
{
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    return digits;
}

// "DIGITS e EXPONENT" of `value` rounded to 15 significant digits, as
// std::to_chars gives them, the digits without trailing zeros.
std::string referenceScientific(double value)
{
    std::array<char, 64> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value), std::chars_format::scientific, 14);
    const std::string text(buffer.data(), result.ptr);
    const auto e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    return withoutTrailingZeros(digits) + "e" + std::to_string(std::stoi(text.substr(e + 1)));
}

// The same read from a number text in plain decimal.
std::string scientificOfText(std::string text)
{
    if (text.front() == '-') {
        text.erase(0, 1);
    }
    const auto point = std::min(text.find('.'), text.size());
    std::string all = text;
    if (point < all.size()) {
        all.erase(point, 1);
    }
    const auto firstDigit = all.find_first_not_of('0');
    const auto exponent = static_cast<long>(point) - static_cast<long>(firstDigit) - 1;
    return withoutTrailingZeros(all.substr(firstDigit)) + "e" + std::to_string(exponent);
}

std::optional<double> referenceParse(std::string_view text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

void expectSameParse(const std::string& text)
{
    const auto expected = referenceParse(text);
    const auto got = ui::parseNumber(text);
    ASSERT_EQ(got.has_value(), expected.has_value()) << '"' << text << '"';
    if (expected) {
        ASSERT_EQ(std::bit_cast<std::uint64_t>(*got), std::bit_cast<std::uint64_t>(*expected)) << '"' << text << '"';
    }
}

TEST(NumberConversion, WritesTheDigitsStdToCharsRoundsToForRandomDoubles)
{
    std::mt19937_64 random(15);
    for (int i = 0; i < 300000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isfinite(value) || value == 0) {
            continue;
        }
        const std::string text = ui::numberText(value);
        ASSERT_EQ(scientificOfText(text), referenceScientific(value)) << text;
        ASSERT_EQ(text.front() == '-', value < 0) << text;
    }
}

TEST(NumberConversion, WritesExactHalvesAndNumbersNearPowersOfTenAsStdToChars)
{
    // 16-digit integers ending in 5 are exact ties at 15 digits.
    for (double value : {1234567890123455.0, 1234567890123445.0, 9999999999999995.0, 0.5, 5e-324,
                         1.7976931348623157e308, 999999999999999.5, 99999999999999.95, 0.30000000000000004}) {
        EXPECT_EQ(scientificOfText(ui::numberText(value)), referenceScientific(value)) << value;
        EXPECT_EQ(scientificOfText(ui::numberText(-value)), referenceScientific(value)) << value;
    }
}

TEST(NumberConversion, ReadsRandomDecimalTextToTheSameDoubleAsStdFromChars)
{
    std::mt19937_64 random(97);
    const std::string pieces[] = {"", "-", "0", "00", "1", "9", "97", "3", ".", "e", "E", "+", "-", "5", "123456789",
                                  "0000000000", "99999999999999999999", "e-3", "e+05", "e308", "e-324", "e309", "x"};
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        const int count = 1 + static_cast<int>(random() % 6);
        for (int j = 0; j < count; ++j) {
            text += pieces[random() % std::size(pieces)];
        }
        expectSameParse(text);
    }
    for (int i = 0; i < 200000; ++i) {
        std::array<char, 64> buffer{};
        const double value = std::bit_cast<double>(random());
        const int digits = 1 + static_cast<int>(random() % 20);
        std::snprintf(buffer.data(), buffer.size(), "%.*g", digits, value);
        expectSameParse(buffer.data());
    }
}

TEST(NumberConversion, AcceptsAndRejectsExactlyWhatStdFromCharsDoes)
{
    for (const char* text :
         {"97.3", "-2.5", ".5", "5.", "-.5", "-0", "0", "00012", "1E5", "1e+05", "1e-5", "0e999999999999",
          "1e-400", "2e-324", "2.4703282292062328e-324", "2.4703282292062327e-324", "3e-324", "1e-320",
          "1.7976931348623158e308", "1.7976931348623159e308", "1e309", "inf", "-inf", "nan", "infinity", "+1", "-",
          ".", "e5", "1e", "1e+", "1e-", "0x10", " 1", "1 ", "1.2.3", "--1", "1e5.5", "",
          "0.000000000000000000000000000000000000000000000000000000000000000000000000000000001e-250",
          "123456789012345678901234567890123456789012345678901234567890e-60", "1e-999999999999999999999",
          "1e999999999999999999999", "0.0e99999999999999999999"}) {
        expectSameParse(text);
    }
}

} // namespace
