// The store's INI engine and GBK codec against the Win32 routines they stand
// in for. Every step runs twice: once through IniDocument, reading and
// writing the file with plain C++ I/O, and once through
// GetPrivateProfileStringA / WritePrivateProfileStringA. The values read and
// the bytes left in the files must be the same.
//
// Needs the ANSI code page 936 (under wine: LC_ALL=zh_CN.UTF-8).

#include <windows.h>

#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "store/gbk.h"
#include "store/ini.h"

namespace temvik {
namespace {

// --- conversions done by the system, independent of the store's codec

std::wstring wideFrom(UINT codePage, std::string_view s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string narrowTo(UINT codePage, std::wstring_view w, DWORD flags = 0,
                     BOOL* usedDefault = nullptr) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(codePage, flags, w.data(), static_cast<int>(w.size()), nullptr,
                                    0, nullptr, usedDefault);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(codePage, flags, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      usedDefault);
  return s;
}

std::string ansi(std::string_view utf8) { return narrowTo(CP_ACP, wideFrom(CP_UTF8, utf8)); }
std::string utf8(std::string_view ansiText) {
  return narrowTo(CP_UTF8, wideFrom(CP_ACP, ansiText));
}

bool underWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// File bytes made readable for a failure message.
std::string shown(const std::optional<std::string>& bytes) {
  if (!bytes) return "<no file>";
  std::string out;
  for (const char c : utf8(*bytes)) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n\n";
    else
      out += c;
  }
  return out;
}

std::optional<std::string> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void putBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

constexpr std::string_view kAbsent = "<缺省>";  // the default of every read

// --- the two sides

class IniContract : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 936u) << "the contract needs code page 936";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string base = std::string(temp) + "temvik-ini-" +
                             std::to_string(GetCurrentProcessId()) + "-" + info->name();
    modelDir_ = base + "-model";
    win32Dir_ = base + "-win32";
    CreateDirectoryA(modelDir_.c_str(), nullptr);
    CreateDirectoryA(win32Dir_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const auto& dir : {modelDir_, win32Dir_}) {
      for (const auto& name : used_) DeleteFileA((dir + "\\" + name).c_str());
      RemoveDirectoryA(dir.c_str());
    }
  }

  std::string modelPath(const std::string& file) { return modelDir_ + "\\" + use(file); }
  std::string win32Path(const std::string& file) { return win32Dir_ + "\\" + use(file); }

  // Both files must hold the same bytes.
  void expectSameFile(const std::string& file, const std::string& step) {
    const auto model = fileBytes(modelPath(file));
    const auto win32 = fileBytes(win32Path(file));
    EXPECT_EQ(model, win32) << "after " << step << "\nIniDocument:\n"
                            << shown(model) << "\nWin32:\n"
                            << shown(win32);
  }

  // A hand-written file, given as UTF-8 text or as raw bytes.
  void put(const std::string& file, std::string_view text, bool raw = false) {
    const std::string bytes = raw ? std::string(text) : ansi(text);
    putBytes(modelPath(file), bytes);
    putBytes(win32Path(file), bytes);
  }

  IniDocument loadModel(const std::string& file) {
    const auto bytes = fileBytes(modelPath(file));
    return IniDocument::parse(bytes ? gbkToUtf8(*bytes) : std::string());
  }

  // WritePrivateProfileStringA; no key removes the section, no value the key.
  void write(const std::string& file, const std::string& section, std::optional<std::string> key,
             std::optional<std::string> value) {
    IniDocument doc = loadModel(file);
    const bool changed = !key     ? doc.removeSection(section)
                         : !value ? doc.removeKey(section, *key)
                                  : doc.set(section, *key, *value);
    if (changed) putBytes(modelPath(file), utf8ToGbk(doc.serialize()));

    const std::string s = ansi(section);
    const std::string k = key ? ansi(*key) : std::string();
    const std::string v = value ? ansi(*value) : std::string();
    WritePrivateProfileStringA(s.c_str(), key ? k.c_str() : nullptr, value ? v.c_str() : nullptr,
                               win32Path(file).c_str());
    expectSameFile(file,
                   "[" + section + "] " + key.value_or("<none>") + "=" + value.value_or("<none>"));
  }

  void read(const std::string& file, const std::string& section, const std::string& key) {
    const std::string model = loadModel(file).get(section, key).value_or(std::string(kAbsent));
    std::vector<char> buffer(65536);
    const DWORD n = GetPrivateProfileStringA(
        ansi(section).c_str(), ansi(key).c_str(), ansi(kAbsent).c_str(), buffer.data(),
        static_cast<DWORD>(buffer.size()), win32Path(file).c_str());
    EXPECT_EQ(model, utf8(std::string(buffer.data(), n))) << "reading [" << section << "] " << key;
  }

  // GetPrivateProfileStringA(NULL, NULL, ...): the names, each ended by NUL.
  void sections(const std::string& file) {
    std::vector<std::string> model = loadModel(file).sectionNames();
    std::vector<char> buffer(65536);
    const DWORD n =
        GetPrivateProfileStringA(nullptr, nullptr, "", buffer.data(),
                                 static_cast<DWORD>(buffer.size()), win32Path(file).c_str());
    std::vector<std::string> win32;
    for (std::size_t i = 0; i < n;) {
      const std::string name(buffer.data() + i);
      win32.push_back(utf8(name));
      i += name.size() + 1;
    }
    EXPECT_EQ(model, win32) << "section names of " << file;
  }

 private:
  const std::string& use(const std::string& file) {
    for (const auto& name : used_)
      if (name == file) return name;
    used_.push_back(file);
    return used_.back();
  }
  std::string modelDir_;
  std::string win32Dir_;
  std::vector<std::string> used_;
};

TEST_F(IniContract, BuildingAPlanFile) {
  write("time.ini", "背单词", "内容", "背单词");
  write("time.ini", "背单词", "时", "0");
  write("time.ini", "背单词", "分", "25");
  write("time.ini", "做练习", "内容", "做练习");
  write("time.ini", "背单词", "断点1名", "休息");  // a new key in an earlier section
  write("time.ini", "背单词", "分", "30");         // overwritten in place
  write("time.ini", "背单词", "分", "30");         // unchanged
  write("time.ini", "Win", "Key", "a");
  write("time.ini", "WIN", "KEY", "b");  // the same section and key
  write("time.ini", "密码", "密码", "");
  write("time.ini", "做练习", "播放", "  10");
  write("time.ini", "做练习", "提示音名", "\"D:\\铃声\\a.mp3\"");
  write("time.ini", "做练习", "执行名", "€ ² 😀 ｘ");  // best fit and what has none
  for (int i = 0; i < 30; ++i) {                      // far more than 256 bytes of names
    const std::string name = "第" + std::to_string(i) + "项很长很长的任务内容";
    write("time.ini", name, "内容", name);
  }
  write("marks.ini", "背单词", "win", "已完成--");

  sections("time.ini");
  sections("marks.ini");
  sections("none.ini");
  read("time.ini", "背单词", "分");
  read("time.ini", "win", "key");
  read("time.ini", "做练习", "提示音名");
  read("time.ini", "做练习", "播放");
  read("time.ini", "做练习", "执行名");
  read("time.ini", "密码", "密码");
  read("time.ini", "没有", "内容");
  read("time.ini", "背单词", "没有");
  read("marks.ini", "背单词", "WIN");
  read("none.ini", "a", "b");
}

TEST_F(IniContract, HandEditedFiles) {
  put("odd.ini",
      "top line\n; comment\n\n\n[Sec]  \n  k1  =  v1  \nk2=\"quoted\"\nk3='single'\n"
      "k4=\"half\nk5=\"\nk6=\"\"\nnovalue\n=noname\n\n\n[ spaced ]\nk=1\n[junk] after\nk=2\n"
      "[bad\nk=3\n[sec]\nk=dup\n\t　任务　=　值　\n\x0b v \x0c= \x1a x \x0b\n"
      "[a]b]\n[ c ] d ]\n k = = v \n[g]\rk=1\rj=2\r");
  sections("odd.ini");
  for (const char* key : {"k1", "K2", "k3", "k4", "k5", "k6", "novalue", "", "k", "　任务　"})
    read("odd.ini", "sec", key);
  for (const char* section :
       {"spaced", " spaced ", "junk", "junk] after", "bad", "a]b", "c ] d", "g"}) {
    read("odd.ini", section, "k");
    read("odd.ini", section, "j");
  }
  read("odd.ini", "c ] d", "v");
  write("odd.ini", "sec", "k1", "v1");  // unchanged: the file keeps its layout
  write("odd.ini", "SEC", "K9", "new");
  sections("odd.ini");

  put("bytes.ini", "[\xC8\xCE]\r\nk=\xFF\x80\x81\x30\xA1\x7F\xA2\xE3\x81\r\n", true);
  read("bytes.ini", "任", "k");
  write("bytes.ini", "任", "j", "2");

  put("crlf.ini", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2");
  write("crlf.ini", "a", "z", "3");
  write("crlf.ini", "c", "k", "v");
  put("lf.ini", "x=1\n");
  write("lf.ini", "b", "k", "v");
}

// Windows reads "[]" as a section of its own, named "", and keeps its header
// when the file is written back; the lines before the first header belong
// to no section. wine folds "[]" into those lines (its own conformance
// tests mark the read as not yet matching Windows), so this runs on
// Windows only.
TEST_F(IniContract, ASectionWithAnEmptyName) {
  if (underWine()) GTEST_SKIP() << "wine reads [] as the text before the first header";
  put("e.ini", "\r\nkey=before\r\n[]\r\nkey=unnamed\r\n[s]\r\nk=1\r\n");
  // Only the W function takes an empty section name on every Windows.
  wchar_t value[64] = {};
  const std::wstring path = wideFrom(CP_ACP, win32Path("e.ini"));
  GetPrivateProfileStringW(L"", L"key", L"", value, 64, path.c_str());
  EXPECT_EQ(loadModel("e.ini").get("", "key"), narrowTo(CP_UTF8, value));
  read("e.ini", "s", "k");
  write("e.ini", "s", "j", "2");  // the header [] stays
}

TEST_F(IniContract, RemovingKeysAndSections) {
  put("d.ini", "[a]\r\nx=1\r\nz=3\r\n[b]\r\ny=2\r\n[A]\r\nw=4\r\nx=5\r\n");
  write("d.ini", "zz", std::nullopt, std::nullopt);  // nothing to remove
  write("d.ini", "a", "nothing", std::nullopt);
  write("d.ini", "a", "X", std::nullopt);
  write("d.ini", "a", "w", std::nullopt);  // held by the second [A]
  write("d.ini", "B", std::nullopt, std::nullopt);
  read("d.ini", "a", "x");
  sections("d.ini");
  write("d.ini", "a", std::nullopt, std::nullopt);
  write("d.ini", "a", std::nullopt, std::nullopt);
  sections("d.ini");
}

TEST_F(IniContract, NamesAndValuesWithBlanks) {
  write("s.ini", " 段 ", " 键 ", "  值");
  write("s.ini", "段", "键", "值  ");
  write("s.ini", "段", "新", "\"  引号  \"");
  read("s.ini", "段", "键");
  read("s.ini", " 段", "键 ");
  read("s.ini", "段", "新");
  sections("s.ini");
}

TEST_F(IniContract, CaseOfLettersBeyondAscii) {
  if (underWine()) GTEST_SKIP() << "wine compares profile names by ASCII case only";
  write("c.ini", "Ёлка", "ＡＢ", "1");
  write("c.ini", "ёЛКА", "ａｂ", "2");
  write("c.ini", "ΑΒΓ", "Ⅻ", "3");
  write("c.ini", "αβγ", "ⅻ", "4");
  read("c.ini", "ЁЛКА", "ａＢ");
  sections("c.ini");
}

// --- the codec against MultiByteToWideChar / WideCharToMultiByte (936)

TEST(GbkContract, DecodesEveryByteSequenceAsWindows) {
  ASSERT_EQ(GetACP(), 936u);
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    ASSERT_EQ(gbkToUtf8(one), narrowTo(CP_UTF8, wideFrom(936, one))) << std::hex << b;
  }
  for (int lead = 0x80; lead < 0x100; ++lead) {
    for (int trail = 0; trail < 0x100; ++trail) {
      const std::string two{static_cast<char>(lead), static_cast<char>(trail), 'x'};
      ASSERT_EQ(gbkToUtf8(two), narrowTo(CP_UTF8, wideFrom(936, two)))
          << std::hex << lead << ' ' << trail;
    }
  }
}

TEST(GbkContract, EncodesEveryCharacterAsWindows) {
  for (unsigned c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c < 0xE000) continue;
    const std::wstring w(1, static_cast<wchar_t>(c));
    const std::string text = narrowTo(CP_UTF8, w);
    bool lossless = false;
    ASSERT_EQ(utf8ToGbk(text, &lossless), narrowTo(936, w)) << std::hex << c;
    BOOL usedDefault = FALSE;
    const std::string exact = narrowTo(936, w, WC_NO_BEST_FIT_CHARS, &usedDefault);
    ASSERT_EQ(lossless, !usedDefault && wideFrom(936, exact) == w) << std::hex << c;
  }
  // Malformed UTF-8. (For an encoded surrogate or a code point above
  // U+10FFFF wine gives one "?" fewer than the store, which follows the
  // Unicode recommendation of one replacement per maximal subpart.)
  for (const char* text : {"😀a", "a\xC3", "\xE4\xB8z", "\xC0\xAF", "\xF0\x9F\x98"})
    EXPECT_EQ(utf8ToGbk(text), narrowTo(936, wideFrom(CP_UTF8, text))) << text;
}

}  // namespace
}  // namespace temvik
