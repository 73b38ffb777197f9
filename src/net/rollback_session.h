// Rollback play of one match between two sides: every frame runs at once with the other
// player's input predicted (the last one known); when the true input arrives and
// differs, the state saved before that frame comes back and the frames run again with
// the true inputs. The match's end is taken only from frames whose inputs are both known.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "net/packets.h"

namespace vx::net {

// What the session drives: a match that can save and restore its whole state in a
// numbered slot, step one frame from both players' inputs and tell whether it is over.
class RollbackTarget {
  public:
    virtual ~RollbackTarget() = default;
    virtual void SaveState(int slot) = 0;
    virtual void LoadState(int slot) = 0;
    // rerun: the frame is being run again after a correction; its sounds were heard.
    virtual void StepFrame(InputBits player1, InputBits player2, bool rerun) = 0;
    virtual bool Over() const = 0;
    virtual uint64_t StateHash() const = 0;
};

constexpr int kRollbackSlots = 64;          // saved states; more than any rollback can reach
constexpr uint32_t kMaxPrediction = 8;      // frames run ahead of the other side's inputs
constexpr uint32_t kMaxInputDelay = 4;      // the most a player may fix in the options
constexpr uint32_t kMaxAutoInputDelay = 3;  // the most the round trip chooses by itself
constexpr uint32_t kHashEvery = 30;

class RollbackSession {
  public:
    RollbackSession(RollbackTarget& target, int localPlayer);  // 0 player 1 (host), 1 player 2

    // The local keys read this tick, for frame Frame() + the input delay.
    void AddLocalInput(InputBits keys);
    // One of the other side's inputs (in order; duplicates and gaps are ignored).
    void AddRemoteInput(uint32_t frame, InputBits keys);
    void SetInputDelay(uint32_t frames);  // at most kMaxInputDelay
    uint32_t InputDelay() const { return inputDelay_; }

    enum class Tick { Stepped, Waiting, Over };
    // Corrects mispredicted frames, confirms what can be confirmed, then runs the next
    // frame unless it must wait (no local input yet, the other side too far behind, or
    // a predicted ending not yet confirmed). Over once the ending is confirmed; the
    // target then holds the state just after the last frame of the match.
    Tick Advance();
    // The next frame cannot run until more of the other side's inputs come: it would run
    // too far ahead of them, or the ending it predicts waits for them to be confirmed.
    bool AwaitingRemote() const;
    // The side runs a frame less this tick so the other catches up.
    void HoldBack() { holdBack_ = true; }

    uint32_t Frame() const { return frame_; }                   // frames run (the next to run)
    uint32_t Confirmed() const { return confirmed_; }           // frames with both inputs known
    uint32_t LocalInputEnd() const { return nextLocalFrame_; }  // local inputs known below this
    uint32_t RemoteInputEnd() const { return remoteKnown_; }    // remote inputs known below this
    InputBits LocalInput(uint32_t frame) const { return local_[frame % kRollbackSlots]; }
    InputBits ConfirmedInput(int player, uint32_t frame) const;  // frame < Confirmed()
    std::optional<uint32_t> EndFrame() const { return endFrame_; }
    // The hash of the confirmed state after a multiple of kHashEvery frames, once each.
    std::optional<HashPacket> TakeConfirmedHash();

    uint32_t LargestRollback() const { return largestRollback_; }
    uint64_t RolledBackFrames() const { return rolledBackFrames_; }
    uint32_t Rollbacks() const { return rollbacks_; }

  private:
    void Rollback();
    void Confirm();
    void Step(bool rerun);
    InputBits RemoteFor(uint32_t frame) const;

    RollbackTarget& target_;
    int localPlayer_;
    uint32_t inputDelay_ = 0;
    uint32_t frame_ = 0;
    uint32_t confirmed_ = 0;
    uint32_t nextLocalFrame_ = 0;
    uint32_t remoteKnown_ = 0;
    std::optional<uint32_t> rollbackFrom_;
    std::optional<uint32_t> endFrame_;
    uint32_t nextHashFrame_ = kHashEvery;
    std::optional<HashPacket> pendingHash_;
    bool holdBack_ = false;

    std::array<InputBits, kRollbackSlots> local_{};
    std::array<InputBits, kRollbackSlots> remote_{};
    std::array<InputBits, kRollbackSlots> remoteUsed_{};  // what each run frame assumed
    std::array<bool, kRollbackSlots> overAfter_{};
    std::array<uint64_t, kRollbackSlots> hashAfter_{};

    uint32_t largestRollback_ = 0;
    uint64_t rolledBackFrames_ = 0;
    uint32_t rollbacks_ = 0;
};

}  // namespace vx::net
