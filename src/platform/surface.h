// Surface: a w x h picture of 32-bit pixels, and the raster operations the game
// composes everything with (BitBlt, MakeMask). Colours go in and come out as 0x00RRGGBB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vx {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
// Stored words carry an opaque top byte (0xFFRRGGBB, what Qt's Format_RGB32 requires), so
// the window hands the picture to any compositor as it is; every write keeps it, every
// read of a colour drops it.
constexpr uint32_t kOpaque = 0xFF000000;

// How BitBlt combines the source with what the destination holds.
enum class BlitOp : uint8_t {
    kCopy,              // dest = src
    kSourceAndNotDest,  // dest = src AND NOT dest
    kXor,               // dest = src XOR dest
    kBlack,             // dest = 0, src ignored
};

// Pixel memory. Surfaces of a megabyte and more ask the kernel for huge pages: the first
// touch of a big picture then costs a few page faults rather than hundreds (start-up
// makes about 11 MB of surfaces before the title shows). Without huge pages nothing
// changes.
void* AllocatePixels(size_t bytes);
void FreePixels(void* pixels, size_t bytes);

template <class T>
struct PixelAllocator {
    using value_type = T;
    PixelAllocator() = default;
    template <class U>
    PixelAllocator(const PixelAllocator<U>&) {}
    T* allocate(size_t n) { return static_cast<T*>(AllocatePixels(n * sizeof(T))); }
    void deallocate(T* p, size_t n) { FreePixels(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const PixelAllocator<U>&) const {
        return true;
    }
};

using PixelVector = std::vector<uint32_t, PixelAllocator<uint32_t>>;

class Surface {
  public:
    Surface() = default;
    Surface(int width, int height, uint32_t fill = kWhite);
    Surface(const Surface&) = default;
    Surface(Surface&&) noexcept = default;
    // Replacing the pixels counts as a write (see Writes).
    Surface& operator=(const Surface& other);
    Surface& operator=(Surface&& other) noexcept;

    void Resize(int width, int height, uint32_t fill = kWhite);
    void Fill(uint32_t colour);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x] & kWhite; }
    void SetPixel(int x, int y, uint32_t colour) {
        ++writes_;
        pixels_[static_cast<size_t>(y) * width_ + x] = colour | kOpaque;
    }
    // Stored words (0xFFRRGGBB): whoever writes a row directly keeps the top byte opaque.
    uint32_t* Row(int y) {
        ++writes_;
        return pixels_.data() + static_cast<size_t>(y) * width_;
    }
    const uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
    const PixelVector& Pixels() const { return pixels_; }

    // Goes up with every access that may change pixels (and never comes back down): a
    // drawing that noted it knows, by comparing, whether the picture is as it left it.
    uint64_t Writes() const { return writes_; }

    bool operator==(const Surface& other) const {
        return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
    }

  private:
    int width_ = 0;
    int height_ = 0;
    PixelVector pixels_;
    uint64_t writes_ = 0;
};

// Copies the w x h block at (xs, ys) of src to (x, y) of dest with op. The block is
// clipped against both surfaces; nothing outside either is read or written. src may be
// the destination itself (overlapping blocks behave as if copied through a temporary).
// Blackness ignores src, which may then be null.
void BitBlt(Surface& dest, int x, int y, int w, int h, const Surface* src, int xs, int ys, BlitOp op);

// The two compositions every frame of a match is made of, each in one pass over the rows
// instead of one pass per BitBlt, and with exactly the result of the BitBlt calls written
// beside them (clipping and shared surfaces included):
//   CopyThrough: BitBlt(back, x, y, w, h, &src, xs, ys, kCopy), then back's block to front.
//   MaskThrough: BitBlt(back, ..., &mask, xs, ys, kSourceAndNotDest), then the same from
//                sprite with kXor, then back's block to front.
void CopyThrough(Surface& back, Surface& front, int x, int y, int w, int h, const Surface& src, int xs,
                 int ys);
void MaskThrough(Surface& back, Surface& front, int x, int y, int w, int h, const Surface& mask,
                 const Surface& sprite, int xs, int ys);

// Writes at (0, 0) of dest a w x h mask of src: white where src's pixel equals
// transparentColour, black everywhere else.
void MakeMask(Surface& dest, const Surface& src, int w, int h, uint32_t transparentColour);

}  // namespace vx
