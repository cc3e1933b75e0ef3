#include "platform/qt/ActivationArbiter.h"

namespace qthost {

void ActivationArbiter::windowsChanged()
{
    settling_ = Deadline(clock_, graceMs_);
}

void ActivationArbiter::windowGone(std::uint64_t formId)
{
    if (requestedActive_ == formId) {
        requestedActive_ = 0;
    }
    orphaned_.erase(formId);
}

void ActivationArbiter::ownerWentAway(std::uint64_t formId)
{
    orphaned_[formId] = Deadline(clock_, kOrphanedCloseGraceMs);
}

bool ActivationArbiter::shouldActivate(const ActivationFacts& facts)
{
    if (facts.modelActive == 0 || facts.modelActive == requestedActive_) {
        return false;
    }
    requestedActive_ = facts.modelActive;
    if (facts.platformActive == facts.modelActive) {
        return false;
    }
    windowsChanged();
    return true;
}

ActivationVerdict ActivationArbiter::judgeActivation(std::uint64_t activated, const ActivationFacts& facts)
{
    if (facts.syncing || activated == facts.modelActive) {
        return ActivationVerdict::Ignore; // our own doing, or nothing changes
    }
    if (!settling_.passed(clock_)) {
        const bool modelsWindowLost = facts.modelActive != 0 && facts.platformActive != facts.modelActive;
        return modelsWindowLost ? ActivationVerdict::Reassert : ActivationVerdict::Ignore;
    }
    requestedActive_ = activated; // Qt already has it active
    return ActivationVerdict::PlayersChoice;
}

bool ActivationArbiter::closeIsPlayers(std::uint64_t formId) const
{
    auto found = orphaned_.find(formId);
    return found == orphaned_.end() || found->second.passed(clock_);
}

} // namespace qthost
