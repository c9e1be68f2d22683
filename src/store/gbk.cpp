#include "store/gbk.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace temvik {
namespace {

#include "store/gbk_table.inc"

constexpr char32_t kEuro = 0x20AC;      // single byte 0x80
constexpr char32_t kLastByte = 0xF8F5;  // single byte 0xFF
constexpr char32_t kReplacement = 0xFFFD;

// Writes `c` as UTF-8 at `out` and returns the end of what it wrote.
char* putUtf8(char* out, char32_t c) {
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (c >> 18));
    *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

char32_t nextCodePoint(std::string_view s, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  int length = 0;
  char32_t c = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
    c = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    c = b0 & 0x0F;
    if (b0 == 0xE0) low = 0xA0;   // no overlong forms
    if (b0 == 0xED) high = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    c = b0 & 0x07;
    if (b0 == 0xF0) low = 0x90;
    if (b0 == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    ++pos;
    return kReplacement;
  }
  ++pos;
  for (int i = 1; i < length; ++i) {
    if (pos >= s.size()) return kReplacement;
    const unsigned char b = byte(pos);
    if (b < low || b > high) return kReplacement;
    low = 0x80;
    high = 0xBF;
    c = (c << 6) | (b & 0x3F);
    ++pos;
  }
  return c;
}

struct ReverseEntry {
  char16_t unicode;
  std::uint16_t bytes;  // one byte when below 0x100
  bool exact;
};

// Unicode -> code page, sorted by code point. Built on first use.
const std::vector<ReverseEntry>& reverseMap() {
  static const std::vector<ReverseEntry> map = [] {
    std::vector<ReverseEntry> m;
    m.reserve(std::size(kGbkCells) + std::size(kGbkBestFit) + 2);
    for (int lead = 0; lead < kGbkLeadCount; ++lead) {
      for (int trail = 0; trail < kGbkTrailCount; ++trail) {
        const std::uint16_t c = kGbkCells[lead * kGbkTrailCount + trail];
        if (c == 0) continue;
        const auto bytes = static_cast<std::uint16_t>(((0x81 + lead) << 8) | (0x40 + trail));
        m.push_back({static_cast<char16_t>(c), bytes, true});
      }
    }
    m.push_back({static_cast<char16_t>(kEuro), 0x80, true});
    m.push_back({static_cast<char16_t>(kLastByte), 0xFF, true});
    for (const auto& pair : kGbkBestFit)
      m.push_back({static_cast<char16_t>(pair[0]), pair[1], false});
    std::sort(m.begin(), m.end(),
              [](const ReverseEntry& a, const ReverseEntry& b) { return a.unicode < b.unicode; });
    return m;
  }();
  return map;
}

// Every code point of the Basic Multilingual Plane -> its entry, or none:
// one step per character instead of a search (a plan file holds millions).
const std::vector<const ReverseEntry*>& directMap() {
  static const std::vector<const ReverseEntry*> direct = [] {
    std::vector<const ReverseEntry*> d(0x10000, nullptr);
    for (const auto& e : reverseMap()) d[e.unicode] = &e;
    return d;
  }();
  return direct;
}

const ReverseEntry* lookup(char32_t c) { return c < 0x10000 ? directMap()[c] : nullptr; }

}  // namespace

std::string utf8ToGbk(std::string_view utf8, bool* lossless) {
  // Never longer than the UTF-8: every sequence becomes at most as many bytes.
  std::string out(utf8.size(), '\0');
  char* to = out.data();
  bool exact = true;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const char32_t c = nextCodePoint(utf8, pos);
    if (c < 0x80) {
      *to++ = static_cast<char>(c);
      continue;
    }
    if (c >= 0x10000) {  // a surrogate pair in UTF-16: one "?" per half
      *to++ = '?';
      *to++ = '?';
      exact = false;
      continue;
    }
    const ReverseEntry* e = lookup(c);  // U+FFFD has no entry
    if (e == nullptr) {
      *to++ = '?';
      exact = false;
      continue;
    }
    if (e->bytes >= 0x100) *to++ = static_cast<char>(e->bytes >> 8);
    *to++ = static_cast<char>(e->bytes & 0xFF);
    exact = exact && e->exact;
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
  if (lossless != nullptr) *lossless = exact;
  return out;
}

std::string gbkToUtf8(std::string_view gbk) {
  // At most three bytes of UTF-8 for each byte (0x80 and 0xFF alone).
  std::string out(3 * gbk.size(), '\0');
  char* to = out.data();
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    const auto b = static_cast<unsigned char>(gbk[i]);
    if (b < 0x80) {
      *to++ = static_cast<char>(b);
    } else if (b == 0x80) {
      to = putUtf8(to, kEuro);
    } else if (b == 0xFF) {
      to = putUtf8(to, kLastByte);
    } else if (i + 1 >= gbk.size() || gbk[i + 1] == '\0') {
      *to++ = '?';  // a lead byte without a partner; a NUL stays a NUL
    } else {
      const auto trail = static_cast<unsigned char>(gbk[++i]);
      const std::uint16_t c = trail >= 0x40 && trail <= 0xFE
                                  ? kGbkCells[(b - 0x81) * kGbkTrailCount + (trail - 0x40)]
                                  : 0;
      if (c == 0)
        *to++ = '?';
      else
        to = putUtf8(to, c);
    }
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
  return out;
}

bool gbkCanEncode(std::string_view utf8) {
  bool lossless = false;
  (void)utf8ToGbk(utf8, &lossless);
  return lossless;
}

}  // namespace temvik
