#pragma once

// Helpers for the Qt host tests: a window model with real text metrics, a
// blank form to build test layouts on, and pixel reading.

#include "platform/model/Application.h"
#include "platform/qt/QtServices.h"
#include "resources/PictureCatalog.h"

#include <QApplication>
#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

namespace qthost_test {

struct ModelRig {
    ui::VirtualClock clock;
    qthost::QtTextMetrics metrics;
    pictures::Catalog catalog;
    ui::Application app{clock, metrics, catalog};
};

// A form with nothing on it; each test adds the controls it draws.
class SketchForm : public ui::Form {
public:
    explicit SketchForm(ui::Application& app) : Form(app, "frmSketch") {}
};

inline ui::Color pixelAt(const QImage& image, int x, int y)
{
    const QRgb rgb = image.pixel(x, y);
    return ui::rgb(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// The smallest rectangle inside `area` holding every pixel that differs from
// `background`; empty when there is none.
inline QRect inkBounds(const QImage& image, QRect area, ui::Color background)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!(pixelAt(image, x, y) == background)) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

// Windows need a QApplication; text and images only a QGuiApplication.
inline bool widgetsAvailable()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace qthost_test

namespace ui {
inline void PrintTo(const Color& color, std::ostream* out)
{
    *out << "rgb(" << int(color.r) << ", " << int(color.g) << ", " << int(color.b) << ")";
}
} // namespace ui
