// Fuzz target: any bytes as the other player's connection line (it comes from a stranger
// through the lobby). The reader either refuses it with a reason, leaving the description
// as it was, or gives one within the limits whose written line reads back to the same.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/ice/ice_description.h"

namespace {

using namespace vx::net::ice;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "ice description fuzz: %s\n", what);
    std::abort();
}

bool Same(const Description& a, const Description& b) {
    if (a.ufrag != b.ufrag || a.pwd != b.pwd || a.candidates.size() != b.candidates.size()) return false;
    for (std::size_t i = 0; i < a.candidates.size(); ++i) {
        const Candidate& x = a.candidates[i];
        const Candidate& y = b.candidates[i];
        if (x.type != y.type || x.address != y.address || x.ipv6 != y.ipv6 || x.port != y.port ||
            x.priority != y.priority || x.foundation != y.foundation)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Description read;
    read.ufrag = "untouched";
    std::string error;
    if (!ReadDescription(text, &read, &error)) {
        Check(!error.empty(), "refused without a reason");
        Check(read.ufrag == "untouched" && read.candidates.empty(), "a refusal changed the description");
        return 0;
    }
    Check(error.empty(), "taken with a reason");
    Check(text.size() <= kMaxDescriptionBytes, "took a line over the limit");
    Check(!read.candidates.empty() && read.candidates.size() <= kMaxCandidates,
          "candidate count out of range");
    for (const Candidate& c : read.candidates) Check(c.port != 0 && c.priority != 0, "zero port or priority");
    // Written again (in priority order), it reads back to the same candidates.
    const std::string line = WriteDescription(read);
    Check(line.size() <= kMaxDescriptionBytes, "wrote a line over the limit");
    Description again;
    Check(ReadDescription(line, &again, &error), "its own line refused");
    Check(WriteDescription(again) == line, "writing is not stable");
    Check(again.candidates.size() == read.candidates.size(), "candidates lost in writing");
    Description twice;
    Check(ReadDescription(WriteDescription(again), &twice, &error) && Same(again, twice),
          "round trip changed it");
    return 0;
}
