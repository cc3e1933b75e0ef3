#pragma once

// Decides whose an activation is. After we open, close or activate a window,
// the window manager goes on handing the focus around by itself for a while;
// those moves are undone, and only later ones are the player's. It also tells
// a close the player asked for from one the platform sends a window whose
// owner has just gone.

#include "platform/qt/Deadline.h"

#include <cstdint>
#include <map>

namespace qthost {

// How long a window manager may go on moving the focus by itself after we
// opened, closed or activated a window: when a panel closes, the focus first
// falls back to the window beneath it, and only then reaches the one we asked
// for; sometimes in the other order.
inline constexpr int kActivationGraceMs = 750;

// How long after a window went away the platform may still close the windows
// that were transient for it.
inline constexpr int kOrphanedCloseGraceMs = 1000;

// What the host knows when it asks; forms by instance id, 0 for none.
struct ActivationFacts {
    std::uint64_t modelActive = 0;    // the form the model has active
    std::uint64_t platformActive = 0; // the form whose window Qt reports active
    bool syncing = false;             // the host itself is changing the windows
};

enum class ActivationVerdict {
    Ignore,         // nothing to do
    Reassert,       // the window manager's doing: activate the model's form again
    PlayersChoice,  // the player picked that window: the model activates its form
};

class ActivationArbiter {
public:
    explicit ActivationArbiter(const ui::Clock& clock) : clock_(clock) {}

    void setGraceMs(int milliseconds) { graceMs_ = milliseconds; }

    // A window was opened, closed or activated by us.
    void windowsChanged();
    // The window of that form is gone: nothing asked of it or said about it
    // holds any more.
    void windowGone(std::uint64_t formId);
    // The window that form's window was transient for is going away.
    void ownerWentAway(std::uint64_t formId);

    // After a sync, with the model's active form shown: whether its window
    // must be raised and activated. Asks once for each form the model makes
    // active.
    bool shouldActivate(const ActivationFacts& facts);
    // Qt reports the window of an open form `activated` active.
    ActivationVerdict judgeActivation(std::uint64_t activated, const ActivationFacts& facts);
    // Whether a close request for that form's window comes from the player.
    bool closeIsPlayers(std::uint64_t formId) const;

private:
    const ui::Clock& clock_;
    int graceMs_ = kActivationGraceMs;
    Deadline settling_;
    std::uint64_t requestedActive_ = 0;
    std::map<std::uint64_t, Deadline> orphaned_;
};

} // namespace qthost
