#pragma once

// The in-memory BMP file a window capture is handed over as: the 14-byte
// file header, a 44-byte info header (the 40 bytes of a device-independent
// bitmap's header and one zero colour entry, with 44 in its size field),
// then the rows, bottom row first, each padded to 4 bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/picture.h"

namespace temvik {

inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::size_t kBmpInfoHeaderSize = 44;
inline constexpr std::size_t kBmpPixelOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize;

// The fields of the info header that a capture fills in; the rest are fixed
// (one plane, uncompressed).
struct BmpInfo {
  std::int32_t width = 0;
  std::int32_t height = 0;  // > 0: rows from the bottom; < 0: from the top
  std::uint16_t bitCount = 32;
  std::uint32_t imageSize = 0;  // bytes of pixel rows
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t colorsUsed = 0;
  std::uint32_t colorsImportant = 0;
};

// Bytes of one pixel row at this width and depth, padded to 4.
[[nodiscard]] std::size_t bmpRowBytes(std::int32_t width, std::uint16_t bitCount);

// The BMP file of `info` and its rows (info.imageSize bytes of them are
// used; missing bytes are zero).
[[nodiscard]] std::vector<std::uint8_t> bmpFile(const BmpInfo& info,
                                                std::span<const std::uint8_t> rows);
// A picture as a 32-bit BMP file, bottom row first.
[[nodiscard]] std::vector<std::uint8_t> bmpFromPicture(const Picture& picture);
// The picture in a BMP file of 16 (5-5-5), 24 or 32 bits a pixel,
// uncompressed; an empty picture for anything else or a file cut short.
[[nodiscard]] Picture pictureFromBmp(std::span<const std::uint8_t> file);

}  // namespace temvik
