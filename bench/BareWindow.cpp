// The yardstick for start-up: the least a Qt Widgets program does to show a
// window of the title's size and paint it once. It prints "first-frame-ms N"
// (milliseconds since the process started, measured as the game measures
// it) after its first paint and quits.

#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

// Milliseconds since the kernel started this process: the same reading of
// /proc as the game's probe, so the two figures compare.
double msSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string field;
    for (int i = 0; i < 22 && stat >> field; ++i) {
    }
    const double startTicks = std::stod(field);
    std::ifstream uptimeFile("/proc/uptime");
    double uptimeSeconds = 0;
    uptimeFile >> uptimeSeconds;
    return (uptimeSeconds - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK))) * 1000.0;
}

class BareWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(192, 192, 192));
        if (!reported_) {
            reported_ = true;
            std::printf("first-frame-ms %.1f\n", msSinceProcessStart());
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
