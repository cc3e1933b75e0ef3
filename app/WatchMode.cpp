#include "app/WatchMode.h"

#include "app/Probes.h"
#include "app/plays/PlayWatch.h"
#include "platform/qt/QtHost.h"
#include "platform/qt/QtServices.h"
#include "resources/PictureCatalog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTimer>

#include <iostream>

namespace watchmode {

namespace {

// How often the window catches up with the play: a frame of a 60 Hz screen.
constexpr int kFrameMs = 16;

// Keys go to the watch, never to the replayed game.
class WatchKeys : public QObject {
public:
    WatchKeys(playgame::PlayWatch& watch, const QElapsedTimer& clock) : watch_(watch), clock_(clock) {}

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyRelease ||
            event->type() == QEvent::InputMethod) {
            return true;
        }
        if (event->type() != QEvent::KeyPress) {
            return QObject::eventFilter(object, event);
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && !key->isAutoRepeat()) {
            watch_.togglePause(clock_.elapsed());
        } else if (key->key() == Qt::Key_Escape) {
            QApplication::exit(0);
        }
        return true;
    }

private:
    playgame::PlayWatch& watch_;
    const QElapsedTimer& clock_;
};

std::optional<std::string> readPlayFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::cerr << "quorvel: cannot read " << path.toStdString() << ": " << file.errorString().toStdString()
                  << '\n';
        return std::nullopt;
    }
    return file.readAll().toStdString();
}

} // namespace

int watch(const QString& playFile)
{
    const auto text = readPlayFile(playFile);
    if (!text) {
        return 2;
    }
    auto opened = playgame::PlayWatch::open(*text);
    if (auto* refusal = std::get_if<std::string>(&opened)) {
        std::cerr << "quorvel: " << playFile.toStdString() << " is not watched: " << *refusal << '\n';
        return 1;
    }
    playgame::PlayWatch& watch = *std::get<std::unique_ptr<playgame::PlayWatch>>(opened);
    ui::Application& model = watch.app();
    pictures::Catalog catalog;
    const qthost::AppIdentity identity{
        QApplication::applicationName(), qthost::iconFromPictures(catalog, {pictures::kIcon32, pictures::kIcon16})};
    qthost::SteadyClock hostClock;
    qthost::QtHost host(model, hostClock, identity);
    host.leaveTimersAlone();
    probes::install(host, model);

    QElapsedTimer clock;
    clock.start();
    WatchKeys keys(watch, clock);
    qApp->installEventFilter(&keys);
    QTimer frames;
    QObject::connect(&frames, &QTimer::timeout, [&] {
        try {
            watch.showAt(clock.elapsed());
        } catch (const std::exception& error) {
            // It verified, so this is the game's fault, not the play's.
            std::cerr << "quorvel: the watched play stopped: " << error.what() << '\n';
            QApplication::exit(1);
            return;
        }
        host.sync();
        if (host.exitCode()) {
            QApplication::exit(*host.exitCode());
        }
    });
    frames.start(kFrameMs);
    host.sync();
    return QApplication::exec();
}

} // namespace watchmode
