// Browser key events into the model's key codes and typed characters, held
// against what the desktop host makes of the same keys.

#include "platform/qt/KeyInput.h"
#include "platform/web/KeyCodes.h"

#include <QString>

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

namespace {

std::vector<std::pair<int, char32_t>> asPairs(const std::vector<ui::TypedChar>& typed)
{
    std::vector<std::pair<int, char32_t>> pairs;
    for (const ui::TypedChar& c : typed) {
        pairs.emplace_back(c.keyAscii, c.ch);
    }
    return pairs;
}

std::vector<std::pair<int, char32_t>> desktopTyped(const char* utf8)
{
    std::vector<std::pair<int, char32_t>> pairs;
    for (const qthost::TypedKey& key : qthost::typedKeysFor(QString::fromUtf8(utf8))) {
        pairs.emplace_back(key.keyAscii, key.typed);
    }
    return pairs;
}

} // namespace

TEST(WebKeyCodes, lettersAndDigitsAreKnownByTheirPlaceNotWhatTheyType)
{
    EXPECT_EQ(webhost::virtualKeyForCode("KeyA"), 'A');
    EXPECT_EQ(webhost::virtualKeyForCode("KeyZ"), 'Z');
    EXPECT_EQ(webhost::virtualKeyForCode("Digit0"), '0');
    EXPECT_EQ(webhost::virtualKeyForCode("Digit9"), '9');
    for (std::string_view unknown : {"Key", "Keya", "KeyAB", "Key1", "Digit", "DigitA", "Digit10", "F1", "ShiftLeft",
                                     "Numpad1", "Backquote", ""}) {
        EXPECT_EQ(webhost::virtualKeyForCode(unknown), std::nullopt) << unknown;
    }
}

// The desktop tells these keys by their X11 keycode (evdev + 8).
TEST(WebKeyCodes, everyOtherKeyHasTheCodeTheDesktopGivesTheSameKey)
{
    const std::pair<std::string_view, quint32> keys[] = {
        {"Escape", 1},      {"Minus", 12},      {"Equal", 13},      {"Backspace", 14},   {"Tab", 15},
        {"BracketLeft", 26}, {"BracketRight", 27}, {"Enter", 28},    {"Semicolon", 39},   {"Quote", 40},
        {"Backslash", 43},  {"Comma", 51},      {"Period", 52},     {"Slash", 53},       {"Space", 57},
        {"IntlRo", 89},     {"NumpadEnter", 96}, {"ArrowUp", 103},  {"ArrowLeft", 105},  {"ArrowRight", 106},
        {"ArrowDown", 108}, {"IntlYen", 124},   {"KeyQ", 16},       {"KeyM", 50},        {"Digit1", 2},
    };
    for (const auto& [code, evdev] : keys) {
        const std::optional<int> desktop = qthost::virtualKeyForNativeScanCode(evdev + 8);
        ASSERT_TRUE(desktop.has_value()) << code;
        EXPECT_EQ(webhost::virtualKeyForCode(code), desktop) << code;
    }
}

TEST(WebKeyCodes, shiftCtrlAndAltAddUpAsKeyDownHandlersReceiveThem)
{
    EXPECT_EQ(webhost::shiftState(false, false, false), 0);
    EXPECT_EQ(webhost::shiftState(true, false, false), 1);
    EXPECT_EQ(webhost::shiftState(false, true, true), 6);
    EXPECT_EQ(webhost::shiftState(true, true, true), 7);
}

TEST(WebKeyCodes, enterSpaceAndBackspaceTypeTheirCodes)
{
    using Pairs = std::vector<std::pair<int, char32_t>>;
    EXPECT_EQ(asPairs(webhost::typedCharsForKey("Enter", false)), (Pairs{{13, U'\r'}}));
    EXPECT_EQ(asPairs(webhost::typedCharsForKey("Backspace", false)), (Pairs{{8, U'\b'}}));
    EXPECT_EQ(asPairs(webhost::typedCharsForKey(" ", false)), (Pairs{{32, U' '}}));
}

TEST(WebKeyCodes, namedKeysAndCommandsTypeNothing)
{
    for (std::string_view key : {"Shift", "ArrowUp", "Process", "Dead", "Unidentified", "F1", "Escape", "Tab",
                                 "KanaMode", "Hiragana"}) {
        EXPECT_TRUE(webhost::typedCharsForKey(key, false).empty()) << key;
    }
    EXPECT_TRUE(webhost::typedCharsForKey("a", true).empty());
    EXPECT_TRUE(webhost::typedCharsForKey("\x7f", false).empty());
}

TEST(WebKeyCodes, aKanaLayoutsCharacterCountsAsItsKeyAsOnTheDesktop)
{
    using Pairs = std::vector<std::pair<int, char32_t>>;
    EXPECT_EQ(asPairs(webhost::typedCharsForKey("a", false)), (Pairs{{'a', U'a'}}));
    EXPECT_EQ(asPairs(webhost::typedCharsForKey("A", false)), (Pairs{{'A', U'A'}}));
    // Half-width, full-width katakana and hiragana: all the key of ｱ.
    EXPECT_EQ(asPairs(webhost::typedCharsForKey("ｱ", false)), (Pairs{{0xB1, U'ｱ'}}));
    EXPECT_EQ(asPairs(webhost::typedCharsForKey("ア", false)), (Pairs{{0xB1, U'ア'}}));
    EXPECT_EQ(asPairs(webhost::typedCharsForKey("あ", false)), (Pairs{{0xB1, U'あ'}}));
    for (const char* key : {"a", "Z", "7", "ﾁ", "ー", "ﾞ", "@", "\\", "¥"}) {
        EXPECT_EQ(asPairs(webhost::typedCharsForKey(key, false)), desktopTyped(key)) << key;
    }
}

TEST(WebKeyCodes, committedTextGoesThroughTheDesktopsFilters)
{
    for (const char* text : {"山田", "ﾔﾏﾀﾞ ﾀﾛｳ", "ＡＢＣ,\"x\"", "a\tb\r\n", "😀€", ""}) {
        EXPECT_EQ(asPairs(webhost::typedCharsForText(text)), desktopTyped(text)) << text;
    }
    using Pairs = std::vector<std::pair<int, char32_t>>;
    EXPECT_EQ(asPairs(webhost::typedCharsForText("a\tb")), (Pairs{{'a', U'a'}, {'b', U'b'}}));
    EXPECT_EQ(asPairs(webhost::typedCharsForText("😀")), (Pairs{{'?', U'😀'}}));
}
