#include "platform/qt/QtServices.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QRawFont>

#include <cmath>

namespace qthost {
namespace {

constexpr const char* kGothicFace = "ＭＳ Ｐゴシック";

// The size of the desktop's dialog font; a font without a face is that font,
// whatever size the model's default carries.
constexpr double kDefaultFontPoints = 8.25;

// One glyph of every class the targets use: full-width Latin, hiragana,
// katakana, full-width digits.
constexpr char32_t kJapaneseProbe[] = {U'Ａ', U'あ', U'ア', U'１'};

QStringList familiesFor(const std::string& face)
{
    QStringList families;
    if (face == "Times New Roman") {
        families << "Liberation Serif";
    } else if (face == "Arial" || face.empty()) {
        families << "Liberation Sans";
    } else if (face == "Courier New") {
        families << "Liberation Mono";
    } else if (!face.empty() && face != kGothicFace) {
        families << QString::fromStdString(face);
    }
    // Western faces fall back to the Gothic for anything Japanese in a caption.
    families << japaneseGothicFamilies();
    return families;
}

bool familyDrawsJapanese(const QString& family)
{
    QFont font(family);
    font.setPixelSize(16);
    if (QFontInfo(font).family().compare(family, Qt::CaseInsensitive) != 0) {
        return false; // fontconfig substituted something else
    }
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) {
        return false;
    }
    for (char32_t ch : kJapaneseProbe) {
        if (!raw.supportsCharacter(static_cast<uint>(ch))) {
            return false;
        }
    }
    return true;
}

bool familyInstalled(const QString& family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

QImage placeholderPicture(const ui::PictureCatalog& catalog, const QString& name)
{
    QSize size(32, 32);
    if (auto info = catalog.find(name.toStdString())) {
        size = QSize(info->width, info->height);
    }
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, QColor(176, 176, 184));
    gradient.setColorAt(1, QColor(96, 96, 104));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QColor(255, 0, 255));
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    painter.setPen(Qt::white);
    QFont font("Liberation Sans");
    font.setPixelSize(std::max(6, std::min(12, size.height() / 3)));
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter | Qt::TextWrapAnywhere, name);
    return image;
}

} // namespace

QStringList japaneseGothicFamilies()
{
    return {"IPAPGothic", "IPAGothic", "Noto Sans CJK JP", "VL PGothic", "TakaoPGothic", "Droid Sans Fallback"};
}

int pixelSizeForPoints(double points)
{
    return std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0)));
}

QFont qtFont(const ui::Font& font)
{
    QFont result;
    result.setFamilies(familiesFor(font.face));
    result.setPixelSize(pixelSizeForPoints(font.face.empty() ? kDefaultFontPoints : font.points));
    result.setBold(font.bold);
    result.setItalic(font.italic);
    // Full hinting snaps stems to the pixel grid: small captions stay sharp.
    result.setHintingPreference(QFont::PreferFullHinting);
    result.setKerning(false);
    return result;
}

QColor qtColor(ui::Color color)
{
    return QColor(color.r, color.g, color.b);
}

int QtTextMetrics::textWidthPx(const ui::Font& font, std::string_view utf8) const
{
    const QFontMetrics metrics(qtFont(font));
    return metrics.horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

QImage loadPicture(const ui::PictureCatalog& catalog, std::string_view name)
{
    static QHash<QString, QImage> cache;
    const QString key = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    auto found = cache.constFind(key);
    if (found != cache.constEnd()) {
        return *found;
    }
    const QImage image = decodePicture(catalog, name);
    cache.insert(key, image);
    return image;
}

QImage decodePicture(const ui::PictureCatalog& catalog, std::string_view name)
{
    const QString key = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    QImage image(QStringLiteral(":/pictures/%1.png").arg(key));
    if (image.isNull()) {
        image = placeholderPicture(catalog, key);
    }
    return image;
}

QIcon iconFromPictures(const ui::PictureCatalog& catalog, std::initializer_list<std::string_view> names)
{
    QIcon icon;
    for (std::string_view name : names) {
        icon.addPixmap(QPixmap::fromImage(loadPicture(catalog, name)));
    }
    return icon;
}

bool japaneseFontAvailable()
{
    for (const QString& family : japaneseGothicFamilies()) {
        if (familyDrawsJapanese(family)) {
            return true;
        }
    }
    return false;
}

QString missingFontsReport()
{
    QStringList missing;
    if (!japaneseFontAvailable()) {
        missing << QStringLiteral("no Japanese Gothic font that draws kana and full-width letters is installed "
                                  "(looked for %1), so the kana targets cannot be shown; "
                                  "install the package fonts-ipafont-gothic")
                       .arg(japaneseGothicFamilies().join(", "));
    }
    QStringList liberation;
    for (const char* family : {"Liberation Serif", "Liberation Sans", "Liberation Mono"}) {
        if (!familyInstalled(family)) {
            liberation << family;
        }
    }
    if (!liberation.isEmpty()) {
        missing << QStringLiteral("%1 %2 not installed, so captions will be drawn in another face and may not fit "
                                  "their places; install the package fonts-liberation2")
                       .arg(liberation.join(", "), liberation.size() == 1 ? "is" : "are");
    }
    if (missing.isEmpty()) {
        return {};
    }
    QString sentence = missing.join("; and ");
    sentence[0] = sentence[0].toUpper();
    return sentence + '.';
}

} // namespace qthost
