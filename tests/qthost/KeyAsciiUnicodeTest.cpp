// The model's key codes for kana, checked against Qt's Unicode tables: what
// an input method or a kana layout delivers as text must count as the key
// the player pressed.

#include "platform/model/Text.h"

#include <QList>
#include <QString>
#include <gtest/gtest.h>

namespace {

// The character a Unicode normalisation form turns `ch` into, or the first
// one of several.
char32_t normalizedFirst(char32_t ch, QString::NormalizationForm form)
{
    const QString text = QString::fromUcs4(&ch, 1).normalized(form);
    return text.toUcs4().front();
}

TEST(KeyAsciiFor, AgreesWithTheFullWidthFormOfEveryHalfWidthCharacter)
{
    for (char32_t half = 0xFF61; half <= 0xFF9F; ++half) {
        const char32_t full = normalizedFirst(half, QString::NormalizationForm_KC);
        ASSERT_NE(full, half);
        EXPECT_EQ(ui::keyAsciiFor(full), ui::keyAsciiFor(half)) << std::hex << static_cast<int>(full);
        EXPECT_EQ(ui::keyAsciiFor(half), ui::cp932Code(half));
    }
}

TEST(KeyAsciiFor, CountsEveryVoicedKanaAsTheKeyOfItsBaseKana)
{
    int composed = 0;
    for (char32_t kana = 0x3041; kana <= 0x30FA; ++kana) {
        const QString decomposed = QString::fromUcs4(&kana, 1).normalized(QString::NormalizationForm_D);
        if (decomposed.size() != 2) {
            continue;
        }
        ++composed;
        const char32_t base = decomposed.toUcs4().front();
        if (ui::keyAsciiFor(base).value_or(0) < 0x100) {
            EXPECT_EQ(ui::keyAsciiFor(kana), ui::keyAsciiFor(base)) << std::hex << static_cast<int>(kana);
        }
    }
    EXPECT_GT(composed, 50);
}

} // namespace
