#pragma once

// Every call into the model goes through here. A handler that throws leaves
// the model half-way through an event, so it is never touched again: the
// error is shown and the event loop exits with status 1.

#include <QString>

#include <exception>
#include <functional>
#include <optional>

namespace qthost {

class FatalGuard {
public:
    using Reporter = std::function<void(const QString& message)>;

    // Errors are shown in a message box headed with the program's name.
    explicit FatalGuard(const QString& programName);

    void setReporter(Reporter reporter) { report_ = std::move(reporter); }
    // Runs as soon as an error is caught, before it is shown: whatever could
    // call into the model while the message is up has to stop first.
    void setOnFailure(std::function<void()> stop) { stop_ = std::move(stop); }

    template <class Action>
    void run(Action&& action);

    bool failed() const { return failed_; }
    // Set once the program is over: 0 when it finished, 1 on an error.
    std::optional<int> exitCode() const { return exitCode_; }
    // The model has nothing left to show: the event loop exits with status 0.
    void finish();

private:
    void fail(const QString& message);

    Reporter report_;
    std::function<void()> stop_;
    bool failed_ = false;
    std::optional<int> exitCode_;
};

template <class Action>
void FatalGuard::run(Action&& action)
{
    if (failed_) {
        return;
    }
    try {
        action();
    } catch (const std::exception& error) {
        fail(QString::fromUtf8(error.what()));
    } catch (...) {
        fail(QStringLiteral("An unknown error ended the program."));
    }
}

} // namespace qthost
