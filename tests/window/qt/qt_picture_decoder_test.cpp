#include "window/qt_picture_decoder.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include "support/files.h"

#include "support/test_game.h"

namespace vx {
namespace {

std::vector<uint8_t> PngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return {bytes.begin(), bytes.end()};
}

TEST(QtPictureDecoderTest, PngReachesTheLoaderWithExactPixels) {
    QImage image(5, 3, QImage::Format_ARGB32);
    image.fill(QColor(10, 20, 30));
    image.setPixel(4, 2, qRgb(255, 128, 1));
    image.setPixel(0, 1, qRgba(255, 255, 255, 0));  // transparent: over black
    const auto png = PngOf(image);
    ASSERT_TRUE(IsPng(png));

    testing::TempFolder folder;
    const auto path = folder.Path() / "title";  // the game's pictures carry no extension
    testing::WriteBytes(path, png);
    PictureLoader loader;
    InstallQtPictureDecoder(loader);
    Surface out;
    std::string error;
    ASSERT_TRUE(loader.Load(path, out, error)) << error;
    EXPECT_EQ(out.Width(), 5);
    EXPECT_EQ(out.Height(), 3);
    EXPECT_EQ(out.Pixel(0, 0), 0x0A141Eu);
    EXPECT_EQ(out.Pixel(4, 2), 0xFF8001u);
    EXPECT_EQ(out.Pixel(0, 1), 0x000000u);
}

TEST(QtPictureDecoderTest, GarbageIsRefusedAndLeavesTheSurfaceAlone) {
    Surface out(2, 2, 0x111111);
    std::string error;
    const std::vector<uint8_t> garbage = {0x89, 'P', 'N', 'G', 1, 2, 3};
    EXPECT_FALSE(DecodeWithQt(garbage, out, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(out, Surface(2, 2, 0x111111));
    EXPECT_FALSE(DecodeWithQt({}, out, error));
}

}  // namespace
}  // namespace vx
