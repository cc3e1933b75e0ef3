#pragma once

// Numbers as the program writes them, the blanks its readers ignore, code
// page 932 conversion, and the translation of typed characters into the
// single- or double-byte codes the key handlers compare.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

// Plain decimal; doubles in their shortest form of at most 15 significant
// digits, a point as separator, no exponent, no trailing zeros.
std::string numberText(double value);
std::string numberText(std::int64_t value);
inline std::string numberText(int value) { return numberText(static_cast<std::int64_t>(value)); }

// A double written in plain decimal: an optional minus sign, digits with at
// most one point (".5" and "5." included), an optional exponent ("e-3",
// "E+05"), and nothing else: no plus sign, no blanks, no hexadecimal, no
// infinity or NaN. Rounded to the nearest double; nullopt for malformed text
// and for values too large for a double or so small they would round to zero.
std::optional<double> parseNumber(std::string_view text);

// Text as a reader of the program's inputs (replay script lines, the values
// they set, the scores of the records file) takes it: without the spaces,
// tabs, carriage returns and line feeds at either end. Blanks inside stay.
std::string_view trimBlanks(std::string_view text);

// UTF-8 <-> code page 932. toCp932 fails (nullopt) when a character has no
// code page 932 form; fromCp932 fails on bytes that are not valid there.
std::optional<std::string> toCp932(std::string_view utf8);
std::optional<std::string> fromCp932(std::string_view cp932);

std::u32string toU32(std::string_view utf8);
std::string toUtf8(std::u32string_view text);
std::string toUtf8(char32_t ch);

// The code of one character in code page 932: its byte for single-byte
// characters (ASCII, half-width katakana 0xA1..0xDF), lead byte * 256 +
// trail byte for double-byte ones; nullopt when it has none.
std::optional<int> cp932Code(char32_t ch);

// What a typed character means to a KeyPress handler. Full-width katakana,
// hiragana and kana punctuation that have a half-width form count as that
// half-width key (a kana keyboard delivers "ア" for the key of "ｱ"); other
// characters give their code page 932 code; nullopt when there is none.
std::optional<int> keyAsciiFor(char32_t typed);

} // namespace ui
