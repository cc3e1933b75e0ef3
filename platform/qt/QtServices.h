#pragma once

// Fonts, text measuring and pictures for the Qt host.
//
// Designed faces map to fonts Debian installs: "ＭＳ Ｐゴシック" to IPA P Gothic
// (with other Japanese Gothic faces behind it), the three Western faces to
// their metric-compatible Liberation faces. The default user-interface font
// (an empty face) is Liberation Sans 8.25 points, the classic dialog font's
// size: the captions drawn in it (the options panel) then stay inside the
// boxes and cursor bars the designs give them. Every face falls back to the
// Japanese Gothic for kana and kanji, so names typed in kana show in the name
// cells and the name box.
//
// Sizes are converted at a fixed 96 dpi and set in pixels, so a screen's own
// DPI never changes a layout.

#include "platform/model/Services.h"
#include "platform/model/Types.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <string_view>

namespace qthost {

// The installed faces tried, in order, for the Japanese Gothic.
QStringList japaneseGothicFamilies();

QFont qtFont(const ui::Font& font);
QColor qtColor(ui::Color color);

int pixelSizeForPoints(double points);

class QtTextMetrics : public ui::TextMetrics {
public:
    int textWidthPx(const ui::Font& font, std::string_view utf8) const override;
};

// The named picture from the embedded resources (":/pictures/NAME.png"), or
// a clearly marked placeholder of the size `catalog` gives it while its
// artwork is missing. Loaded once, then served from a cache shared by name: a
// program has one catalogue.
QImage loadPicture(const ui::PictureCatalog& catalog, std::string_view name);
// The same picture decoded afresh, for callers that keep it only as long as
// they need it.
QImage decodePicture(const ui::PictureCatalog& catalog, std::string_view name);
// An icon with one size for each of the named pictures.
QIcon iconFromPictures(const ui::PictureCatalog& catalog, std::initializer_list<std::string_view> names);

// True when an installed face draws hiragana, katakana and full-width Latin
// letters and digits.
bool japaneseFontAvailable();

// A sentence naming what is missing among the faces the game needs, or an
// empty string when everything is installed.
QString missingFontsReport();

} // namespace qthost
