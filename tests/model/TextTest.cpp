#include "platform/model/Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

int byteCode(std::string_view bytes)
{
    int code = 0;
    for (unsigned char byte : bytes) {
        code = code * 256 + byte;
    }
    return code;
}

TEST(NumberText, WritesTheFiguresOfTheScreensInPlainDecimal)
{
    EXPECT_EQ(ui::numberText(833.3), "833.3");
    EXPECT_EQ(ui::numberText(66.6), "66.6");
    EXPECT_EQ(ui::numberText(100.0), "100");
    EXPECT_EQ(ui::numberText(0.0), "0");
    EXPECT_EQ(ui::numberText(523.4), "523.4");
    EXPECT_EQ(ui::numberText(1250.0), "1250");
    EXPECT_EQ(ui::numberText(133.3), "133.3");
    EXPECT_EQ(ui::numberText(2662.5), "2662.5");
    EXPECT_EQ(ui::numberText(-2.5), "-2.5");
}

TEST(NumberText, NeverUsesAnExponentForTinyOrHugeValues)
{
    EXPECT_EQ(ui::numberText(1e-7), "0.0000001");
    EXPECT_EQ(ui::numberText(-1.5e-10), "-0.00000000015");
    EXPECT_EQ(ui::numberText(1e20), "100000000000000000000");
    EXPECT_EQ(ui::numberText(1.25e17), "125000000000000000");
}

TEST(NumberText, RoundsToFifteenSignificantDigitsAndDropsTrailingZeros)
{
    EXPECT_EQ(ui::numberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(ui::numberText(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(ui::numberText(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(ui::numberText(123456789012345678.0), "123456789012346000");
    EXPECT_EQ(ui::numberText(std::nextafter(10.0, 0.0)), "10");
    EXPECT_EQ(ui::numberText(100.10), "100.1");
}

TEST(NumberText, WritesNegativeZeroAsZero)
{
    EXPECT_EQ(ui::numberText(-0.0), "0");
    EXPECT_EQ(ui::numberText(-1e-300 * 1e-300), "0");
}

TEST(NumberText, ReadsBackAsTheSameDoubleWheneverFifteenDigitsSuffice)
{
    for (double value : {0.5, 12.75, 1234.5, 0.001, 98765.4321, 3.14159265358979}) {
        EXPECT_EQ(std::stod(ui::numberText(value)), value) << value;
        EXPECT_EQ(std::stod(ui::numberText(-value)), -value) << value;
    }
}

TEST(NumberText, WritesWholeNumbersWithoutSeparators)
{
    EXPECT_EQ(ui::numberText(std::int64_t{0}), "0");
    EXPECT_EQ(ui::numberText(-15), "-15");
    EXPECT_EQ(ui::numberText(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(ui::numberText(std::int64_t{1234567}), "1234567");
}

TEST(TrimBlanks, DropsSpacesTabsAndLineEndsAtEitherEndOnly)
{
    EXPECT_EQ(ui::trimBlanks(" \t 12 34\t\r\n"), "12 34");
    EXPECT_EQ(ui::trimBlanks("\r\nseed 7"), "seed 7");
    EXPECT_EQ(ui::trimBlanks(" \t\r\n "), "");
    EXPECT_EQ(ui::trimBlanks("\v5\f"), "\v5\f");
    EXPECT_EQ(ui::trimBlanks("ＡＢ　"), "ＡＢ　") << "an ideographic space is text";
}

TEST(Cp932Conversion, EncodesKanaKanjiAndAsciiAsTheirCodePageBytes)
{
    EXPECT_EQ(ui::toCp932("ABC"), "ABC");
    EXPECT_EQ(ui::toCp932("ｱ"), "\xB1");
    EXPECT_EQ(ui::toCp932("漢字"), "\x8A\xBF\x8E\x9A");
    EXPECT_EQ(ui::toCp932("あ"), "\x82\xA0");
    EXPECT_EQ(ui::toCp932("\\~"), "\\~");
    EXPECT_EQ(ui::toCp932(""), "");
}

TEST(Cp932Conversion, FailsInsteadOfSubstitutingCharactersItCannotCarry)
{
    EXPECT_EQ(ui::toCp932("A😀B"), std::nullopt);
    EXPECT_EQ(ui::toCp932("한국"), std::nullopt);
    EXPECT_EQ(ui::toCp932("\xFF\xFE"), std::nullopt) << "invalid UTF-8";
}

TEST(Cp932Conversion, RejectsByteSequencesThatAreNotCodePage932)
{
    EXPECT_EQ(ui::fromCp932("\x81"), std::nullopt) << "lead byte without trail";
    EXPECT_EQ(ui::fromCp932("A\x81\x20"), std::nullopt) << "trail byte out of range";
    EXPECT_EQ(ui::fromCp932("\x8A\xBF\x8E\x9A"), "漢字");
    EXPECT_EQ(ui::fromCp932(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp932Conversion, RoundTripsLongMixedText)
{
    std::string text;
    for (int i = 0; i < 5000; ++i) {
        text += "ｶﾅ かな カナ 漢字 ASCII!";
    }
    const auto encoded = ui::toCp932(text);
    ASSERT_TRUE(encoded.has_value());
    EXPECT_EQ(ui::fromCp932(*encoded), text);
}

TEST(Utf32Conversion, RoundTripsEveryPlaneAndReplacesMalformedInput)
{
    const std::u32string text = U"Aé漢😀ｱ";
    EXPECT_EQ(ui::toU32(ui::toUtf8(text)), text);
    EXPECT_EQ(ui::toUtf8(U'漢'), "漢");
    EXPECT_EQ(ui::toU32("a\xC3"), U"a\uFFFD");
    EXPECT_EQ(ui::toU32("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD") << "an encoded surrogate is not a character";
    EXPECT_EQ(ui::toU32("\xC0\xAF"), U"\uFFFD\uFFFD") << "overlong form";
    EXPECT_EQ(ui::toUtf8(char32_t{0xD800}), "\xEF\xBF\xBD");
}

TEST(Cp932Code, GivesSingleBytesForAsciiAndHalfWidthKatakana)
{
    EXPECT_EQ(ui::cp932Code(U'A'), 0x41);
    EXPECT_EQ(ui::cp932Code(U'\r'), 13);
    EXPECT_EQ(ui::cp932Code(U'ｱ'), 0xB1);
    EXPECT_EQ(ui::cp932Code(U'｡'), 0xA1);
    EXPECT_EQ(ui::cp932Code(U'ﾟ'), 0xDF);
}

TEST(Cp932Code, GivesLeadTimes256PlusTrailForDoubleByteCharacters)
{
    for (const char* text : {"漢", "あ", "ア", "Ａ", "ー", "、", "＼", "①"}) {
        const std::u32string ch = ui::toU32(text);
        const auto bytes = ui::toCp932(text);
        ASSERT_TRUE(bytes.has_value()) << text;
        EXPECT_EQ(ui::cp932Code(ch.front()), byteCode(*bytes)) << text;
    }
    EXPECT_EQ(ui::cp932Code(U'漢'), 0x8ABF);
}

TEST(Cp932Code, HasNoneForCharactersOutsideTheCodePage)
{
    EXPECT_EQ(ui::cp932Code(U'😀'), std::nullopt);
    EXPECT_EQ(ui::cp932Code(U'한'), std::nullopt);
    EXPECT_EQ(ui::cp932Code(char32_t{0xD800}), std::nullopt);
    EXPECT_EQ(ui::cp932Code(char32_t{0x110000}), std::nullopt);
}

TEST(KeyAsciiFor, CountsFullWidthKanaAsTheirHalfWidthKey)
{
    EXPECT_EQ(ui::keyAsciiFor(U'ア'), 0xB1);
    EXPECT_EQ(ui::keyAsciiFor(U'あ'), 0xB1);
    EXPECT_EQ(ui::keyAsciiFor(U'ｱ'), 0xB1);
    EXPECT_EQ(ui::keyAsciiFor(U'゛'), 0xDE);
    EXPECT_EQ(ui::keyAsciiFor(U'゜'), 0xDF);
    EXPECT_EQ(ui::keyAsciiFor(U'ー'), 0xB0);
    EXPECT_EQ(ui::keyAsciiFor(U'ヲ'), 0xA6);
    EXPECT_EQ(ui::keyAsciiFor(U'を'), 0xA6);
    EXPECT_EQ(ui::keyAsciiFor(U'ン'), 0xDD);
    EXPECT_EQ(ui::keyAsciiFor(U'ん'), 0xDD);
}

TEST(KeyAsciiFor, CountsKanaPunctuationAndSmallKanaAsTheirKeys)
{
    const std::u32string punctuation = U"。「」、・";
    for (std::size_t i = 0; i < punctuation.size(); ++i) {
        EXPECT_EQ(ui::keyAsciiFor(punctuation[i]), 0xA1 + static_cast<int>(i));
    }
    const std::u32string smallKatakana = U"ァィゥェォャュョッ";
    const std::u32string smallHiragana = U"ぁぃぅぇぉゃゅょっ";
    for (std::size_t i = 0; i < smallKatakana.size(); ++i) {
        EXPECT_EQ(ui::keyAsciiFor(smallKatakana[i]), 0xA7 + static_cast<int>(i));
        EXPECT_EQ(ui::keyAsciiFor(smallHiragana[i]), 0xA7 + static_cast<int>(i));
    }
}

TEST(KeyAsciiFor, CountsVoicedKanaAsTheKeyOfTheirBaseKana)
{
    EXPECT_EQ(ui::keyAsciiFor(U'ガ'), ui::keyAsciiFor(U'ｶ'));
    EXPECT_EQ(ui::keyAsciiFor(U'ぱ'), ui::keyAsciiFor(U'ﾊ'));
    EXPECT_EQ(ui::keyAsciiFor(U'ヴ'), ui::keyAsciiFor(U'ｳ'));
}

TEST(KeyAsciiFor, GivesOtherCharactersTheirCodePageCode)
{
    EXPECT_EQ(ui::keyAsciiFor(U'a'), 0x61);
    EXPECT_EQ(ui::keyAsciiFor(U'\\'), 0x5C);
    EXPECT_EQ(ui::keyAsciiFor(U'漢'), 0x8ABF);
    EXPECT_EQ(ui::keyAsciiFor(U'Ａ'), ui::cp932Code(U'Ａ'));
    EXPECT_EQ(ui::keyAsciiFor(U'ヰ'), ui::cp932Code(U'ヰ')) << "no half-width form";
    EXPECT_EQ(ui::keyAsciiFor(U'😀'), std::nullopt);
}

} // namespace
