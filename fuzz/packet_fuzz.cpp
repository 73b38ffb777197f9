// Fuzz target: any bytes as a received network packet. The reader either refuses them,
// counting exactly one reason, or gives a packet whose values are in range and which
// the writer turns back into the very same bytes; then the packet, taken, is fed to a
// rollback session the way the peer feeds inputs, which must keep its bounds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "net/packets.h"
#include "net/rollback_session.h"

namespace {

using namespace vx::net;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "packet fuzz: %s\n", what);
    std::abort();
}

// A match of one counter: enough for the session's bookkeeping to be exercised.
class CountingTarget : public RollbackTarget {
  public:
    void SaveState(int slot) override { saved_[static_cast<std::size_t>(slot)] = value_; }
    void LoadState(int slot) override { value_ = saved_[static_cast<std::size_t>(slot)]; }
    void StepFrame(InputBits p1, InputBits p2, bool) override { value_ = value_ * 31 + p1 * 4 + p2; }
    bool Over() const override { return false; }
    uint64_t StateHash() const override { return value_; }

  private:
    uint64_t value_ = 0;
    uint64_t saved_[kRollbackSlots]{};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DropCounts drops;
    const auto packet = ReadPacket(data, size, 0, drops);
    if (!packet) {
        Check(drops.Total() == 1, "a refused packet counts one reason");
        return 0;
    }
    Check(drops.Total() == 0, "a taken packet counts nothing");
    const PacketBytes again = Encode(*packet);
    Check(again.size() == size, "the writer gives the same length back");
    // Inputs' last byte may carry unused bits past the count; all else is exact.
    for (std::size_t i = 0; i + 1 < size; ++i)
        Check(again[i] == data[i], "the writer gives the same bytes back");
    if (packet->type == packet_type::kInputs) {
        Check(packet->inputs.count >= 1 && packet->inputs.count <= kMaxInputsPerPacket,
              "input count in bounds");
        CountingTarget target;
        RollbackSession session(target, 1);
        for (int f = 0; f < 12; ++f) {
            session.AddLocalInput(static_cast<InputBits>(f & 3));
            for (uint32_t i = 0; i < packet->inputs.count; ++i)
                session.AddRemoteInput(packet->inputs.firstFrame + i, packet->inputs.inputs[i]);
            session.Advance();
            Check(session.Frame() <= session.RemoteInputEnd() + kMaxPrediction,
                  "never predicts past the limit");
        }
    }
    return 0;
}
