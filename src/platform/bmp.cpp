#include "platform/bmp.h"

#include <algorithm>
#include <cstdlib>

namespace temvik {

namespace {

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  put16(out, at, v & 0xFFFFu);
  put16(out, at + 2, v >> 16);
}

std::uint32_t get16(std::span<const std::uint8_t> in, std::size_t at) {
  return std::uint32_t{in[at]} | (std::uint32_t{in[at + 1]} << 8);
}

std::uint32_t get32(std::span<const std::uint8_t> in, std::size_t at) {
  return get16(in, at) | (get16(in, at + 2) << 16);
}

// Pictures this large are refused rather than allocated.
constexpr std::int64_t kMaxPixels = std::int64_t{32768} * 32768;

}  // namespace

std::size_t bmpRowBytes(std::int32_t width, std::uint16_t bitCount) {
  if (width <= 0) return 0;
  const auto bits = static_cast<std::uint64_t>(width) * bitCount;
  return static_cast<std::size_t>((bits + 31) / 32 * 4);
}

std::vector<std::uint8_t> bmpFile(const BmpInfo& info, std::span<const std::uint8_t> rows) {
  std::vector<std::uint8_t> out(kBmpPixelOffset + info.imageSize, 0);
  out[0] = 'B';
  out[1] = 'M';
  put32(out, 2, static_cast<std::uint32_t>(out.size()));
  // Two reserved words stay zero.
  put32(out, 10, static_cast<std::uint32_t>(kBmpPixelOffset));
  const std::size_t h = kBmpFileHeaderSize;
  put32(out, h + 0, static_cast<std::uint32_t>(kBmpInfoHeaderSize));
  put32(out, h + 4, static_cast<std::uint32_t>(info.width));
  put32(out, h + 8, static_cast<std::uint32_t>(info.height));
  put16(out, h + 12, 1);  // planes
  put16(out, h + 14, info.bitCount);
  put32(out, h + 16, 0);  // uncompressed
  put32(out, h + 20, info.imageSize);
  put32(out, h + 24, static_cast<std::uint32_t>(info.xPelsPerMeter));
  put32(out, h + 28, static_cast<std::uint32_t>(info.yPelsPerMeter));
  put32(out, h + 32, info.colorsUsed);
  put32(out, h + 36, info.colorsImportant);
  // Bytes 40..43: the one colour entry, zero.
  const std::size_t n = std::min<std::size_t>(rows.size(), info.imageSize);
  std::copy_n(rows.begin(), n, out.begin() + static_cast<std::ptrdiff_t>(kBmpPixelOffset));
  return out;
}

std::vector<std::uint8_t> bmpFromPicture(const Picture& picture) {
  BmpInfo info;
  if (picture.empty()) return bmpFile(info, {});
  info.width = picture.width;
  info.height = picture.height;
  info.bitCount = 32;
  const std::size_t stride = bmpRowBytes(picture.width, 32);
  info.imageSize = static_cast<std::uint32_t>(stride * static_cast<std::size_t>(picture.height));
  std::vector<std::uint8_t> rows(info.imageSize);
  std::size_t at = 0;
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const Pixel p = picture.at(x, y);
      rows[at++] = static_cast<std::uint8_t>(p);
      rows[at++] = static_cast<std::uint8_t>(p >> 8);
      rows[at++] = static_cast<std::uint8_t>(p >> 16);
      rows[at++] = 0;
    }
  }
  return bmpFile(info, rows);
}

Picture pictureFromBmp(std::span<const std::uint8_t> file) {
  const std::size_t h = kBmpFileHeaderSize;
  if (file.size() < h + 40 || file[0] != 'B' || file[1] != 'M') return {};
  const std::uint32_t offset = get32(file, 10);
  const std::uint32_t headerSize = get32(file, h);
  const auto width = static_cast<std::int32_t>(get32(file, h + 4));
  const auto height = static_cast<std::int32_t>(get32(file, h + 8));
  const std::uint32_t bits = get16(file, h + 14);
  const std::uint32_t compression = get32(file, h + 16);
  if (headerSize < 40 || compression != 0 || (bits != 16 && bits != 24 && bits != 32)) return {};
  if (width <= 0 || height == 0 || height == INT32_MIN) return {};
  const std::int32_t rowsCount = std::abs(height);
  if (std::int64_t{width} * rowsCount > kMaxPixels) return {};
  const std::size_t stride = bmpRowBytes(width, static_cast<std::uint16_t>(bits));
  if (offset < h + headerSize || offset > file.size() ||
      (file.size() - offset) / stride < static_cast<std::size_t>(rowsCount))
    return {};
  Picture picture(width, rowsCount);
  const std::size_t bytesPerPixel = bits / 8;
  for (std::int32_t row = 0; row < rowsCount; ++row) {
    const std::size_t start = offset + static_cast<std::size_t>(row) * stride;
    const int y = height > 0 ? rowsCount - 1 - row : row;
    for (std::int32_t x = 0; x < width; ++x) {
      const std::size_t at = start + static_cast<std::size_t>(x) * bytesPerPixel;
      if (bits == 16) {
        const std::uint32_t v = get16(file, at);
        const auto expand = [](std::uint32_t five) {
          return static_cast<std::uint8_t>((five << 3) | (five >> 2));
        };
        picture.set(x, y, rgb(expand((v >> 10) & 31), expand((v >> 5) & 31), expand(v & 31)));
      } else {
        picture.set(x, y, rgb(file[at + 2], file[at + 1], file[at]));
      }
    }
  }
  return picture;
}

}  // namespace temvik
