#include "net/rollback_session.h"

#include <algorithm>

namespace vx::net {

namespace {

int Slot(uint32_t frame) {
    return static_cast<int>(frame % kRollbackSlots);
}

}  // namespace

RollbackSession::RollbackSession(RollbackTarget& target, int localPlayer)
    : target_(target), localPlayer_(localPlayer) {}

void RollbackSession::SetInputDelay(uint32_t frames) {
    inputDelay_ = std::min(frames, kMaxInputDelay);
}

void RollbackSession::AddLocalInput(InputBits keys) {
    const uint32_t target = frame_ + inputDelay_;
    // A longer delay leaves frames between the last input and this one: they repeat the
    // keys. A shorter one finds the frame already given: this tick's keys wait for the
    // next, so the delay shrinks by dropping one reading, never by changing a sent input.
    while (nextLocalFrame_ <= target && nextLocalFrame_ < confirmed_ + kRollbackSlots - 1)
        local_[Slot(nextLocalFrame_++)] = keys & 3u;
}

void RollbackSession::AddRemoteInput(uint32_t frame, InputBits keys) {
    if (frame != remoteKnown_ || frame >= confirmed_ + kRollbackSlots - 1) return;
    remote_[Slot(frame)] = keys & 3u;
    ++remoteKnown_;
    if (frame < frame_ && remoteUsed_[Slot(frame)] != (keys & 3u))
        rollbackFrom_ = std::min(rollbackFrom_.value_or(frame), frame);
}

InputBits RollbackSession::RemoteFor(uint32_t frame) const {
    if (frame < remoteKnown_) return remote_[Slot(frame)];
    return remoteKnown_ == 0 ? 0 : remote_[Slot(remoteKnown_ - 1)];
}

InputBits RollbackSession::ConfirmedInput(int player, uint32_t frame) const {
    return player == localPlayer_ ? local_[Slot(frame)] : remote_[Slot(frame)];
}

void RollbackSession::Step(bool rerun) {
    target_.SaveState(Slot(frame_));
    const InputBits mine = local_[Slot(frame_)];
    const InputBits theirs = RemoteFor(frame_);
    remoteUsed_[Slot(frame_)] = theirs;
    if (localPlayer_ == 0)
        target_.StepFrame(mine, theirs, rerun);
    else
        target_.StepFrame(theirs, mine, rerun);
    overAfter_[Slot(frame_)] = target_.Over();
    hashAfter_[Slot(frame_)] = target_.StateHash();
    ++frame_;
}

void RollbackSession::Rollback() {
    const uint32_t from = *rollbackFrom_;
    rollbackFrom_.reset();
    const uint32_t upTo = frame_;
    target_.LoadState(Slot(from));
    frame_ = from;
    while (frame_ < upTo) Step(true);
    const uint32_t length = upTo - from;
    largestRollback_ = std::max(largestRollback_, length);
    rolledBackFrames_ += length;
    ++rollbacks_;
}

void RollbackSession::Confirm() {
    const uint32_t known = std::min({frame_, remoteKnown_, nextLocalFrame_});
    while (confirmed_ < known && !endFrame_) {
        const bool over = overAfter_[Slot(confirmed_)];
        ++confirmed_;
        if (confirmed_ == nextHashFrame_) {
            pendingHash_ = HashPacket{0, confirmed_, hashAfter_[Slot(confirmed_ - 1)]};
            nextHashFrame_ += kHashEvery;
        }
        if (over) endFrame_ = confirmed_;
    }
}

std::optional<HashPacket> RollbackSession::TakeConfirmedHash() {
    auto hash = pendingHash_;
    pendingHash_.reset();
    return hash;
}

bool RollbackSession::AwaitingRemote() const {
    if (endFrame_) return false;
    const bool predictedOver = frame_ > 0 && overAfter_[Slot(frame_ - 1)];
    return predictedOver || frame_ >= remoteKnown_ + kMaxPrediction;
}

RollbackSession::Tick RollbackSession::Advance() {
    if (endFrame_) return Tick::Over;
    if (rollbackFrom_) Rollback();
    Confirm();
    if (endFrame_) {
        // Frames predicted past the confirmed ending are undone: the match ends where
        // both sides know it ends.
        if (frame_ > *endFrame_) {
            target_.LoadState(Slot(*endFrame_));
            frame_ = *endFrame_;
        }
        return Tick::Over;
    }
    const bool predictedOver = frame_ > 0 && overAfter_[Slot(frame_ - 1)];
    const bool holdBack = holdBack_;
    holdBack_ = false;
    if (predictedOver || holdBack || frame_ >= nextLocalFrame_ || frame_ >= remoteKnown_ + kMaxPrediction)
        return Tick::Waiting;
    Step(false);
    return Tick::Stepped;
}

}  // namespace vx::net
