#include "app/web/StoredBytes.h"

#include <array>
#include <cstdint>

namespace webrecords {

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kNotADigit = -1;

constexpr std::array<int, 256> digitValues()
{
    std::array<int, 256> values{};
    values.fill(kNotADigit);
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int>(i);
    }
    return values;
}

constexpr std::array<int, 256> kDigitValues = digitValues();

} // namespace

std::string encodeStoredBytes(std::string_view bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            group = (group << 8) | (k < count ? static_cast<unsigned char>(bytes[i + k]) : 0U);
        }
        for (std::size_t k = 0; k < 4; ++k) {
            text += k <= count ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
        }
    }
    return text;
}

std::optional<std::string> decodeStoredBytes(std::string_view text)
{
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const std::size_t padding = last ? (text[i + 3] == '=' ? (text[i + 2] == '=' ? 2 : 1) : 0) : 0;
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const int digit = k < 4 - padding ? kDigitValues[static_cast<unsigned char>(text[i + k])] : 0;
            if (digit == kNotADigit) {
                return std::nullopt;
            }
            group = (group << 6) | static_cast<std::uint32_t>(digit);
        }
        for (std::size_t k = 0; k < 3 - padding; ++k) {
            bytes += static_cast<char>((group >> (16 - 8 * k)) & 0xFF);
        }
        // Bits below the last byte must be zero, or two texts would give one file.
        if (padding > 0 && (group & ((1U << (8 * padding)) - 1)) != 0) {
            return std::nullopt;
        }
    }
    return bytes;
}

} // namespace webrecords
