#include "platform/picture_file.h"

#include <fstream>
#include <iterator>

namespace vx {

namespace {

// Far above any picture of the game, low enough that a hostile header cannot ask for gigabytes.
constexpr int32_t kMaxSide = 4096;

uint32_t Le32(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Le16(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

bool DecodeBmp(std::span<const uint8_t> b, Surface& out, std::string& error) {
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') return error = "not a BMP picture", false;
    const uint32_t dataOffset = Le32(b, 10);
    const uint32_t headerSize = Le32(b, 14);
    if (headerSize < 12 || 14 + static_cast<uint64_t>(headerSize) > b.size())
        return error = "damaged BMP header", false;

    int64_t width = 0, height = 0;
    uint16_t bpp = 0;
    uint32_t compression = 0, paletteCount = 0;
    size_t paletteEntrySize = 4;
    if (headerSize == 12) {  // OS/2 core header
        width = Le16(b, 18);
        height = static_cast<int16_t>(Le16(b, 20));
        bpp = Le16(b, 24);
        paletteEntrySize = 3;
    } else {
        if (headerSize < 40) return error = "damaged BMP header", false;
        width = static_cast<int32_t>(Le32(b, 18));
        height = static_cast<int32_t>(Le32(b, 22));
        bpp = Le16(b, 28);
        compression = Le32(b, 30);
        paletteCount = Le32(b, 46);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return error = "BMP picture size out of range", false;
    const bool bitfields32 = compression == 3 && bpp == 32;
    if (compression != 0 && !bitfields32) return error = "compressed BMP pictures are not supported", false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return error = "unsupported BMP colour depth", false;

    std::vector<uint32_t> palette;
    if (bpp <= 8) {
        const uint32_t maxColours = 1u << bpp;
        if (paletteCount == 0 || paletteCount > maxColours) paletteCount = maxColours;
        const uint64_t paletteAt = 14 + static_cast<uint64_t>(headerSize);
        if (paletteAt + paletteCount * paletteEntrySize > b.size())
            return error = "damaged BMP palette", false;
        for (uint32_t i = 0; i < paletteCount; ++i) {
            const size_t at = static_cast<size_t>(paletteAt + i * paletteEntrySize);
            palette.push_back((static_cast<uint32_t>(b[at + 2]) << 16) |
                              (static_cast<uint32_t>(b[at + 1]) << 8) | b[at]);
        }
    }

    const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
    if (dataOffset > b.size() || stride * static_cast<uint64_t>(height) > b.size() - dataOffset)
        return error = "BMP pixel data is cut short", false;

    // Every pixel is written below, so a surface of the right size keeps its memory:
    // fresh pages cost more than decoding into them.
    if (out.Width() != width || out.Height() != height)
        out.Resize(static_cast<int>(width), static_cast<int>(height), kBlack);
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* src = b.data() + dataOffset + row * stride;
        const int y = static_cast<int>(topDown ? row : height - 1 - row);
        uint32_t* dst = out.Row(y);
        for (int64_t x = 0; x < width; ++x) {
            uint32_t colour = 0;
            if (bpp == 24 || bpp == 32) {
                const uint8_t* p = src + x * (bpp / 8);
                colour = (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
            } else {
                const uint64_t bit = static_cast<uint64_t>(x) * bpp;
                const uint8_t byte = src[bit / 8];
                const unsigned shift = 8 - bpp - static_cast<unsigned>(bit % 8);
                const uint32_t index = (byte >> shift) & ((1u << bpp) - 1);
                colour = index < palette.size() ? palette[index] : kBlack;
            }
            dst[x] = colour | kOpaque;
        }
    }
    return true;
}

std::vector<uint8_t> EncodeBmp(const Surface& s) {
    const uint32_t stride = ((static_cast<uint32_t>(s.Width()) * 24 + 31) / 32) * 4;
    const uint32_t dataSize = stride * static_cast<uint32_t>(s.Height());
    std::vector<uint8_t> b;
    b.reserve(54 + dataSize);
    b.push_back('B');
    b.push_back('M');
    Put32(b, 54 + dataSize);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(s.Width()));
    Put32(b, static_cast<uint32_t>(s.Height()));
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);
    Put32(b, dataSize);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = s.Height() - 1; y >= 0; --y) {
        const uint32_t* row = s.Row(y);
        for (int x = 0; x < s.Width(); ++x) {
            b.push_back(static_cast<uint8_t>(row[x]));
            b.push_back(static_cast<uint8_t>(row[x] >> 8));
            b.push_back(static_cast<uint8_t>(row[x] >> 16));
        }
        for (uint32_t pad = static_cast<uint32_t>(s.Width()) * 3; pad < stride; ++pad) b.push_back(0);
    }
    return b;
}

bool IsPng(std::span<const uint8_t> b) {
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return b.size() >= 8 && std::equal(kSignature, kSignature + 8, b.begin());
}

bool PictureLoader::Load(const std::filesystem::path& path, Surface& out, std::string& error) const {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open the picture " + path.string();
        return false;
    }
    // In one read: the sprite sheet is megabytes, and byte-wise reading showed in start-up.
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    std::vector<uint8_t> bytes(size > 0 ? static_cast<size_t>(size) : 0);
    const auto wanted = static_cast<std::streamsize>(bytes.size());
    if (!bytes.empty() && !in.read(reinterpret_cast<char*>(bytes.data()), wanted)) {
        error = "cannot read the picture " + path.string();
        return false;
    }
    std::string reason;
    bool ok = false;
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        ok = DecodeBmp(bytes, out, reason);
    } else if (other_) {
        ok = other_(bytes, out, reason);
    } else {
        reason = IsPng(bytes) ? "PNG pictures need the window's decoder" : "not a picture this game can read";
    }
    if (!ok) error = "cannot read the picture " + path.string() + ": " + reason;
    return ok;
}

}  // namespace vx
