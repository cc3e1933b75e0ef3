// Qt key events become virtual-key codes for KeyDown and code page 932 codes
// for KeyPress, whatever the letter case or the kana state.

#include "platform/qt/KeyInput.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

using qthost::TypedKey;

namespace {

QKeyEvent press(int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint32 scanCode = 0)
{
    return QKeyEvent(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text);
}

// X11 keycodes of physical keys: evdev code + 8.
constexpr quint32 kKeyA = 30 + 8;
constexpr quint32 kKeyF = 33 + 8;
constexpr quint32 kKey1 = 2 + 8;

} // namespace

TEST(VirtualKeyCode, lettersGiveTheirCapitalCodeInEitherCase)
{
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_A, "a")), 65);
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_A, "A", Qt::ShiftModifier)), 65);
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_F, "f")), 70);
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_J, "j")), 74);
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_Z, "Z", Qt::ShiftModifier)), 90);
}

TEST(VirtualKeyCode, namedKeysGiveTheirWindowsCodes)
{
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_Left, "")), 37);
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_Up, "")), 38);
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_Right, "")), 39);
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_Down, "")), 40);
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_Return, "\r")), 13);
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_Enter, "\r", Qt::KeypadModifier)), 13);
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_Space, " ")), 32);
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_Escape, "\x1b")), 27);
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_Backspace, "\b")), 8);
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_7, "7")), 55);
}

TEST(VirtualKeyCode, aKanaSymbolIsToldByThePhysicalKeyThatTypedIt)
{
    // With kana input on, the A key types "ﾁ" and the F key "ﾊ".
    EXPECT_EQ(qthost::virtualKeyCode(press(0xFF81, "ﾁ", Qt::NoModifier, kKeyA)), 65);
    EXPECT_EQ(qthost::virtualKeyCode(press(0xFF8A, "ﾊ", Qt::NoModifier, kKeyF)), 70);
    EXPECT_EQ(qthost::virtualKeyCode(press(0xFF87, "ﾇ", Qt::NoModifier, kKey1)), 49);
    // A shifted digit reports its symbol; the key is still the digit.
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_Exclam, "!", Qt::ShiftModifier, kKey1)), 49);
}

TEST(VirtualKeyCode, anUnknownKeyHasNoCode)
{
    EXPECT_EQ(qthost::virtualKeyCode(press(Qt::Key_F5, "")), std::nullopt);
    EXPECT_EQ(qthost::virtualKeyForNativeScanCode(0), std::nullopt);
    EXPECT_EQ(qthost::virtualKeyForNativeScanCode(250), std::nullopt);
}

TEST(ShiftState, combinesShiftCtrlAndAltAsKeyDownHandlersReceiveThem)
{
    EXPECT_EQ(qthost::shiftState(Qt::NoModifier), 0);
    EXPECT_EQ(qthost::shiftState(Qt::ShiftModifier), 1);
    EXPECT_EQ(qthost::shiftState(Qt::ControlModifier | Qt::AltModifier), 6);
    EXPECT_EQ(qthost::shiftState(Qt::ShiftModifier | Qt::KeypadModifier), 1);
}

TEST(TypedKeys, asciiCharactersArriveAsTheirOwnCodes)
{
    EXPECT_EQ(qthost::typedKeys(press(Qt::Key_A, "a")), (std::vector<TypedKey>{{97, U'a'}}));
    EXPECT_EQ(qthost::typedKeys(press(Qt::Key_A, "A", Qt::ShiftModifier)), (std::vector<TypedKey>{{65, U'A'}}));
    EXPECT_EQ(qthost::typedKeys(press(Qt::Key_Colon, ":")), (std::vector<TypedKey>{{58, U':'}}));
}

TEST(TypedKeys, enterSpaceAndBackspaceTypeTheirControlCodes)
{
    EXPECT_EQ(qthost::typedKeys(press(Qt::Key_Return, "\r")), (std::vector<TypedKey>{{13, U'\r'}}));
    EXPECT_EQ(qthost::typedKeys(press(Qt::Key_Enter, "")), (std::vector<TypedKey>{{13, U'\r'}}));
    EXPECT_EQ(qthost::typedKeys(press(Qt::Key_Space, " ")), (std::vector<TypedKey>{{32, U' '}}));
    EXPECT_EQ(qthost::typedKeys(press(Qt::Key_Backspace, "\b")), (std::vector<TypedKey>{{8, U'\b'}}));
}

TEST(TypedKeys, keysThatTypeNothingGiveNoKeyPress)
{
    EXPECT_TRUE(qthost::typedKeys(press(Qt::Key_Left, "")).empty());
    EXPECT_TRUE(qthost::typedKeys(press(Qt::Key_Shift, "")).empty());
    EXPECT_TRUE(qthost::typedKeys(press(Qt::Key_A, "\x01", Qt::ControlModifier)).empty());
}

TEST(TypedKeys, kanaArriveAsTheirHalfWidthCodes)
{
    EXPECT_EQ(qthost::typedKeys(press(0xFF71, "ｱ")), (std::vector<TypedKey>{{0xB1, U'ｱ'}}));
    EXPECT_EQ(qthost::typedKeys(press(0, "ア")), (std::vector<TypedKey>{{0xB1, U'ア'}}));
    EXPECT_EQ(qthost::typedKeys(press(0, "ﾝ")), (std::vector<TypedKey>{{0xDD, U'ﾝ'}}));
}

TEST(TypedKeys, otherCharactersArriveAsTheirDoubleByteCodeOrAsAQuestionMark)
{
    EXPECT_EQ(qthost::typedKeys(press(0, "漢")), (std::vector<TypedKey>{{0x8ABF, U'漢'}}));
    EXPECT_EQ(qthost::typedKeys(press(0, QString::fromUcs4(U"\U0001F600"))),
              (std::vector<TypedKey>{{'?', U'\U0001F600'}}));
}

TEST(TypedKeysFor, committedTextGivesOneKeyPressPerCharacter)
{
    EXPECT_EQ(qthost::typedKeysFor("かな"), (std::vector<TypedKey>{{0xB6, U'か'}, {0xC5, U'な'}}));
    EXPECT_EQ(qthost::typedKeysFor("漢字"), (std::vector<TypedKey>{{0x8ABF, U'漢'}, {0x8E9A, U'字'}}));
    EXPECT_TRUE(qthost::typedKeysFor("").empty());
}
