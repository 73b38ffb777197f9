// Fuzz target: any bytes as a picture file. The decoder either refuses with a reason
// and leaves the surface alone, or gives a picture of a sane size.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/picture_file.h"
#include "platform/surface.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "picture fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vx::Surface out(3, 2, 0x123456);
    std::string error;
    const bool ok = vx::DecodeBmp(std::span<const uint8_t>(data, size), out, error);
    if (!ok) {
        Check(!error.empty(), "a refusal without a reason");
        Check(out.Width() == 3 && out.Height() == 2 && out.Pixel(2, 1) == 0x123456,
              "a refusal changed the surface");
        return 0;
    }
    Check(out.Width() > 0 && out.Height() > 0, "an empty picture accepted");
    // Every pixel is readable (ASan sees any short buffer), and the picture survives a
    // round trip through the encoder.
    uint32_t sum = 0;
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x) sum += out.Pixel(x, y);
    const std::vector<uint8_t> again = vx::EncodeBmp(out);
    vx::Surface back(1, 1);
    Check(vx::DecodeBmp(again, back, error), "an encoded picture does not decode");
    Check(back.Width() == out.Width() && back.Height() == out.Height(), "the round trip changed the size");
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x)
            Check((back.Pixel(x, y) & 0xFFFFFF) == (out.Pixel(x, y) & 0xFFFFFF),
                  "the round trip changed a pixel");
    return static_cast<int>(sum & 0);
}
