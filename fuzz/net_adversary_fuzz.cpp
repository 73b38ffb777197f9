// Fuzz target: any bytes as the tape that steers the channel between two honest sides of
// a network match (fuzz/net_adversary.h): packets lost, doubled, reordered,
// changed and forged. A finding is an out-of-range access (the sanitizers), or a run
// whose confirmed inputs changed, that neither moved on nor ended once the channel was
// clean, or whose replay does not read back and check.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/net_adversary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;  // longer tapes only take longer
    vx::testing::NetAdversary adversary;
    const std::string failure = adversary.Run(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "net adversary: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
