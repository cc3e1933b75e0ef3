#pragma once

// Which Qt platform the game asks for, and a clear word when it cannot start.
//
// The game's road needs windows at exact places relative to each other: the
// menu's side panels beside it, the certificate over its opener. Only on X11
// can a client place its windows, so where an X display is offered (XWayland
// in a Wayland session included) the game runs on xcb, unless the player has
// chosen a platform with QT_QPA_PLATFORM. With no X display it runs natively
// on Wayland, where the compositor decides where windows open.

#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

namespace platformchoice {

struct Environment {
    QString qpaPlatform;    // QT_QPA_PLATFORM
    QString display;        // DISPLAY
    QString waylandDisplay; // WAYLAND_DISPLAY
};

Environment currentEnvironment();

// The platform to ask Qt for; nullopt leaves Qt its own (or the player's)
// choice.
std::optional<QString> platformToRequest(const Environment& environment);

// False when nothing the game could open a window on is there.
bool displayAvailable(const Environment& environment);

// The platform Qt is about to start: the player's choice, else ours.
QString platformName(const Environment& environment);

// An X client of a Wayland session: the X server is XWayland, its window
// manager the compositor's.
bool xClientOfWaylandSession(const Environment& environment);

// While it lives, Qt's messages are held back. When the platform cannot
// start, Qt would abort with a page of advice; instead the game prints one
// line naming the platform and Qt's reason and exits with status 2. Messages
// of a start that succeeded are passed on when the guard ends.
class StartGuard {
public:
    explicit StartGuard(QString platform);
    ~StartGuard();
    StartGuard(const StartGuard&) = delete;
    StartGuard& operator=(const StartGuard&) = delete;

    // The one line printed when the platform fails with these messages.
    static QString failureLine(const QString& platform, const std::vector<QString>& messages);

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);

    struct Held {
        QtMsgType type;
        QString category;
        QString message;
    };
    QString platform_;
    QtMessageHandler previous_;
    std::vector<Held> held_;
};

inline constexpr int kNoDisplayExitCode = 2;

} // namespace platformchoice
