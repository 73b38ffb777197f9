#include "platform/surface.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>
#include <utility>

namespace vx {

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kLargeSurface = size_t{1} << 20;
}  // namespace

void* AllocatePixels(size_t bytes) {
    if (bytes < kLargeSurface) return ::operator new(bytes);
    const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* pixels = std::aligned_alloc(kHugePage, rounded);
    if (pixels == nullptr) throw std::bad_alloc();
    madvise(pixels, rounded, MADV_HUGEPAGE);  // only a hint: refused, it changes nothing
    return pixels;
}

void FreePixels(void* pixels, size_t bytes) {
    if (bytes < kLargeSurface)
        ::operator delete(pixels);
    else
        std::free(pixels);
}

Surface::Surface(int width, int height, uint32_t fill) {
    Resize(width, height, fill);
}

Surface& Surface::operator=(const Surface& other) {
    width_ = other.width_;
    height_ = other.height_;
    pixels_ = other.pixels_;
    ++writes_;
    return *this;
}

Surface& Surface::operator=(Surface&& other) noexcept {
    width_ = other.width_;
    height_ = other.height_;
    pixels_ = std::move(other.pixels_);
    ++writes_;
    ++other.writes_;
    return *this;
}

void Surface::Resize(int width, int height, uint32_t fill) {
    ++writes_;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<size_t>(width_) * height_, fill | kOpaque);
}

void Surface::Fill(uint32_t colour) {
    ++writes_;
    std::fill(pixels_.begin(), pixels_.end(), colour | kOpaque);
}

namespace {

// Narrows [start, start + len) so that it lies inside [0, limit); returns the amount cut
// from the front so the caller can move the other surface's origin by the same amount.
bool ClipSpan(int& start, int& len, int limit, int& cutFront) {
    cutFront = 0;
    if (start < 0) {
        cutFront = -start;
        len += start;
        start = 0;
    }
    if (start + len > limit) len = limit - start;
    return len > 0;
}

// src is never dest here (BitBlt copies an overlapping source first), so the rows do not
// alias and the compiler may combine several pixels per instruction.
template <typename Op>
void ApplyRows(Surface& dest, int x, int y, int w, int h, const Surface& src, int xs, int ys, Op op) {
    for (int row = 0; row < h; ++row) {
        uint32_t* __restrict d = dest.Row(y + row) + x;
        const uint32_t* __restrict s = src.Row(ys + row) + xs;
        // Erase and invert clear the top byte of opaque words; setting it again costs what
        // masking it off used to.
        for (int col = 0; col < w; ++col) d[col] = op(s[col], d[col]) | kOpaque;
    }
}

// A plain copy: stored words are already opaque, so rows go over as they are.
void CopyRows(Surface& dest, int x, int y, int w, int h, const Surface& src, int xs, int ys) {
    for (int row = 0; row < h; ++row)
        std::memcpy(dest.Row(y + row) + x, src.Row(ys + row) + xs, static_cast<size_t>(w) * sizeof(uint32_t));
}

}  // namespace

void BitBlt(Surface& dest, int x, int y, int w, int h, const Surface* src, int xs, int ys, BlitOp op) {
    if (w <= 0 || h <= 0) return;
    int cut = 0;
    if (op == BlitOp::kBlack) {
        if (!ClipSpan(x, w, dest.Width(), cut) || !ClipSpan(y, h, dest.Height(), cut)) return;
        for (int row = 0; row < h; ++row) std::fill_n(dest.Row(y + row) + x, w, kBlack | kOpaque);
        return;
    }
    if (src == nullptr) return;
    // Clip against the destination, moving the source origin along, then the other way round.
    if (!ClipSpan(x, w, dest.Width(), cut)) return;
    xs += cut;
    if (!ClipSpan(y, h, dest.Height(), cut)) return;
    ys += cut;
    if (!ClipSpan(xs, w, src->Width(), cut)) return;
    x += cut;
    if (!ClipSpan(ys, h, src->Height(), cut)) return;
    y += cut;

    Surface copy;
    if (src == &dest) {
        copy.Resize(w, h);
        CopyRows(copy, 0, 0, w, h, *src, xs, ys);
        src = &copy;
        xs = 0;
        ys = 0;
    }
    switch (op) {
        case BlitOp::kCopy: CopyRows(dest, x, y, w, h, *src, xs, ys); break;
        case BlitOp::kSourceAndNotDest:
            ApplyRows(dest, x, y, w, h, *src, xs, ys, [](uint32_t s, uint32_t d) { return s & ~d; });
            break;
        case BlitOp::kXor:
            ApplyRows(dest, x, y, w, h, *src, xs, ys, [](uint32_t s, uint32_t d) { return s ^ d; });
            break;
        case BlitOp::kBlack: break;
    }
}

namespace {

bool Inside(const Surface& s, int x, int y, int w, int h) {
    return x >= 0 && y >= 0 && w <= s.Width() - x && h <= s.Height() - y;
}

// The one-pass forms apply when no block needs clipping and no surface is read while it
// is written; the separate BitBlt calls then touch the same pixels in the same way.
bool OnePass(const Surface& back, const Surface& front, int x, int y, int w, int h,
             std::initializer_list<const Surface*> sources, int xs, int ys) {
    if (w <= 0 || h <= 0 || &back == &front || !Inside(back, x, y, w, h) || !Inside(front, x, y, w, h))
        return false;
    for (const Surface* s : sources)
        if (s == &back || s == &front || !Inside(*s, xs, ys, w, h)) return false;
    return true;
}

}  // namespace

void CopyThrough(Surface& back, Surface& front, int x, int y, int w, int h, const Surface& src, int xs,
                 int ys) {
    if (!OnePass(back, front, x, y, w, h, {&src}, xs, ys)) {
        BitBlt(back, x, y, w, h, &src, xs, ys, BlitOp::kCopy);
        BitBlt(front, x, y, w, h, &back, x, y, BlitOp::kCopy);
        return;
    }
    const size_t bytes = static_cast<size_t>(w) * sizeof(uint32_t);
    for (int row = 0; row < h; ++row) {
        const uint32_t* s = src.Row(ys + row) + xs;
        std::memcpy(back.Row(y + row) + x, s, bytes);
        std::memcpy(front.Row(y + row) + x, s, bytes);
    }
}

void MaskThrough(Surface& back, Surface& front, int x, int y, int w, int h, const Surface& mask,
                 const Surface& sprite, int xs, int ys) {
    if (!OnePass(back, front, x, y, w, h, {&mask, &sprite}, xs, ys)) {
        BitBlt(back, x, y, w, h, &mask, xs, ys, BlitOp::kSourceAndNotDest);
        BitBlt(back, x, y, w, h, &sprite, xs, ys, BlitOp::kXor);
        BitBlt(front, x, y, w, h, &back, x, y, BlitOp::kCopy);
        return;
    }
    for (int row = 0; row < h; ++row) {
        uint32_t* __restrict b = back.Row(y + row) + x;
        uint32_t* __restrict f = front.Row(y + row) + x;
        const uint32_t* __restrict m = mask.Row(ys + row) + xs;
        const uint32_t* __restrict p = sprite.Row(ys + row) + xs;
        // (mask AND NOT back) | opaque, then XOR sprite | opaque: the low 24 bits are
        // sprite ^ (mask & ~back) and the top byte opaque either way.
        for (int col = 0; col < w; ++col) f[col] = b[col] = (p[col] ^ (m[col] & ~b[col])) | kOpaque;
    }
}

void MakeMask(Surface& dest, const Surface& src, int w, int h, uint32_t transparentColour) {
    w = std::min({w, src.Width(), dest.Width()});
    h = std::min({h, src.Height(), dest.Height()});
    const uint32_t transparentWord = (transparentColour & kWhite) | kOpaque;
    for (int row = 0; row < h; ++row) {
        const uint32_t* s = src.Row(row);
        uint32_t* d = dest.Row(row);
        for (int col = 0; col < w; ++col)
            d[col] = (s[col] == transparentWord) ? kWhite | kOpaque : kBlack | kOpaque;
    }
}

}  // namespace vx
