#include "platform/web/KeyCodes.h"

#include "platform/model/Text.h"
#include "platform/model/Types.h"

#include <algorithm>
#include <utility>

namespace webhost {
namespace {

// The keys of the JIS keyboard by KeyboardEvent.code that are neither a
// letter nor a digit. The symbol keys keep the codes Windows gives them on
// that keyboard: "Equal" is the key of ^, "BracketLeft" the key of @,
// "Quote" the key of :, "Backslash" the key of ].
constexpr std::pair<std::string_view, int> kNamedCodes[] = {
    {"Escape", ui::vk::Escape},       {"Backspace", ui::vk::Backspace}, {"Tab", ui::vk::Tab},
    {"Enter", ui::vk::Enter},         {"NumpadEnter", ui::vk::Enter},   {"Space", ui::vk::Space},
    {"ArrowLeft", ui::vk::Left},      {"ArrowUp", ui::vk::Up},          {"ArrowRight", ui::vk::Right},
    {"ArrowDown", ui::vk::Down},      {"Minus", 0xBD},                  {"Equal", 0xDE},
    {"BracketLeft", 0xC0},            {"BracketRight", 0xDB},           {"Semicolon", 0xBB},
    {"Quote", 0xBA},                  {"Backslash", 0xDD},              {"Comma", 0xBC},
    {"Period", 0xBE},                 {"Slash", 0xBF},                  {"IntlRo", 0xE2},
    {"IntlYen", 0xDC},
};

bool isControlCharacter(char32_t ch)
{
    return ch < 0x20 || ch == 0x7F;
}

bool isAsciiAlnum(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// KeyboardEvent.key names a key without a character ("Shift", "F1") with
// two or more ASCII letters and digits; anything else is the text it typed.
bool isNamedKey(std::string_view key)
{
    return key.size() > 1 && std::all_of(key.begin(), key.end(), isAsciiAlnum);
}

} // namespace

std::optional<int> virtualKeyForCode(std::string_view code)
{
    constexpr std::string_view kKey = "Key";
    constexpr std::string_view kDigit = "Digit";
    if (code.size() == kKey.size() + 1 && code.starts_with(kKey) && code.back() >= 'A' && code.back() <= 'Z') {
        return ui::vk::A + (code.back() - 'A');
    }
    if (code.size() == kDigit.size() + 1 && code.starts_with(kDigit) && code.back() >= '0' && code.back() <= '9') {
        return ui::vk::Digit0 + (code.back() - '0');
    }
    for (const auto& [name, key] : kNamedCodes) {
        if (name == code) {
            return key;
        }
    }
    return std::nullopt;
}

int shiftState(bool shift, bool ctrl, bool alt)
{
    return (shift ? 1 : 0) | (ctrl ? 2 : 0) | (alt ? 4 : 0);
}

std::vector<ui::TypedChar> typedCharsForKey(std::string_view key, bool ctrlOrMeta)
{
    if (key == "Enter") {
        return {ui::TypedChar{ui::vk::Enter, U'\r'}};
    }
    if (key == "Backspace") {
        return {ui::TypedChar{ui::vk::Backspace, U'\b'}};
    }
    if (ctrlOrMeta || isNamedKey(key)) {
        return {};
    }
    return typedCharsForText(key);
}

std::vector<ui::TypedChar> typedCharsForText(std::string_view utf8)
{
    std::vector<ui::TypedChar> typed;
    for (char32_t ch : ui::toU32(utf8)) {
        if (!isControlCharacter(ch)) {
            typed.push_back(ui::TypedChar{ui::keyAsciiFor(ch).value_or('?'), ch});
        }
    }
    return typed;
}

} // namespace webhost
