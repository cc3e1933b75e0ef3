// The yardstick for start-up: the least a Qt Widgets program does to show a
// window of the title's size and paint it once. It prints "first-frame-ms N"
// (milliseconds since the process started, measured as the game measures
// it) after its first paint and quits.

#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include "app/ProcessClock.h"

#include <cstdio>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {


class BareWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(192, 192, 192));
        if (!reported_) {
            reported_ = true;
            std::printf("first-frame-ms %.1f\n", probes::msSinceProcessStart());
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }

private:
    bool reported_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    BareWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(324, 244);
    window.show();
    return QApplication::exec();
}
