#pragma once

// The end of the session reaching the game from outside: SIGTERM and SIGHUP
// (a logout, a shutdown, a terminal that goes away) and the session
// manager's last call before a logout. Each is turned into one call of
// CLOSE_EVERYTHING from the event loop, where the model may run, and the
// game then ends as if the player had closed its windows.

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace qthost {

class SessionEnd : public QObject {
public:
    explicit SessionEnd(std::function<void()> closeEverything, QObject* parent = nullptr);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

private:
    void ended();

    std::function<void()> closeEverything_;
    QSocketNotifier* notifier_ = nullptr;
    bool done_ = false;
};

} // namespace qthost
