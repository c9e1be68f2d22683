// The in-memory BMP a window capture is handed over as: its header bytes,
// and the way back to a picture at every depth a capture may have.

#include "platform/bmp.h"

#include <gtest/gtest.h>

namespace temvik {
namespace {

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

TEST(Bmp, TheHeadersHaveTheFileAndThe44ByteInfoLayout) {
  Picture p(3, 2, rgb(10, 20, 30));
  const auto file = bmpFromPicture(p);
  const std::uint32_t image = 3 * 4 * 2;
  ASSERT_EQ(file.size(), 14u + 44u + image);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(u32(file, 2), 14u + 44u + image) << "total size";
  EXPECT_EQ(u32(file, 6), 0u) << "two reserved words";
  EXPECT_EQ(u32(file, 10), 58u) << "pixel offset";
  EXPECT_EQ(u32(file, 14), 44u) << "info header size field";
  EXPECT_EQ(u32(file, 18), 3u);
  EXPECT_EQ(u32(file, 22), 2u);
  EXPECT_EQ(file[26] | (file[27] << 8), 1) << "planes";
  EXPECT_EQ(file[28] | (file[29] << 8), 32) << "the bitmap's own depth";
  EXPECT_EQ(u32(file, 30), 0u) << "uncompressed";
  EXPECT_EQ(u32(file, 34), image);
  EXPECT_EQ(u32(file, 54), 0u) << "the one colour entry";
  EXPECT_EQ(file[58], 30) << "blue first";
  EXPECT_EQ(file[59], 20);
  EXPECT_EQ(file[60], 10);
}

TEST(Bmp, PicturesComeBackAtEveryCaptureDepthBottomRowFirst) {
  Picture p(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      p.set(x, y, rgb(static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 80), 8));
  EXPECT_EQ(pictureFromBmp(bmpFromPicture(p)), p);

  // 24 bits: rows padded to 4 bytes (5 * 3 = 15 -> 16).
  BmpInfo info{.width = 2, .height = 2, .bitCount = 24, .imageSize = 16};
  const std::vector<std::uint8_t> rows24 = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  const Picture q = pictureFromBmp(bmpFile(info, rows24));
  ASSERT_FALSE(q.empty());
  EXPECT_EQ(q.at(0, 1), rgb(3, 2, 1)) << "the first row is the bottom one";
  EXPECT_EQ(q.at(1, 0), rgb(12, 11, 10));

  // 16 bits, 5-5-5: pure red.
  info = {.width = 1, .height = -1, .bitCount = 16, .imageSize = 4};
  const std::vector<std::uint8_t> rows16 = {0x00, 0x7C, 0, 0};
  EXPECT_EQ(pictureFromBmp(bmpFile(info, rows16)).at(0, 0), rgb(255, 0, 0));
}

TEST(Bmp, MalformedFilesGiveAnEmptyPicture) {
  auto file = bmpFromPicture(Picture(4, 4, rgb(1, 1, 1)));
  EXPECT_TRUE(pictureFromBmp({file.data(), 20}).empty());
  EXPECT_TRUE(pictureFromBmp({file.data(), file.size() - 1}).empty()) << "cut short";
  auto bad = file;
  bad[28] = 8;  // a palette depth
  EXPECT_TRUE(pictureFromBmp(bad).empty());
  bad = file;
  bad[10] = 0xFF;  // pixels beyond the end
  bad[11] = 0xFF;
  EXPECT_TRUE(pictureFromBmp(bad).empty());
  EXPECT_TRUE(pictureFromBmp(std::vector<std::uint8_t>{}).empty());
}

}  // namespace
}  // namespace temvik
