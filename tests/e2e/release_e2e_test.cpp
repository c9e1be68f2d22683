// What a release shows of itself: the version resource and the icon of the
// built temvik.exe (TEMVIK_EXE when set, so scripts/release-check.sh asks the
// shipped one), and a release folder (the unpacked zip or the installed
// program, TEMVIK_RELEASE_DIR) in which the program runs and keeps its plan.

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "platform/win32/resource_ids.h"
#include "temvik_version.h"
#include "ui/main/main_window_ids.h"

#ifndef TEMVIK_EXPECTED_COMPANY
#error "the build passes the version resource's texts (tests/e2e/CMakeLists.txt)"
#endif

namespace temvik::e2e {
namespace {

// The file's version resource, or nothing.
std::vector<char> versionResource(const std::wstring& exe) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  std::vector<char> data(size);
  if (size == 0 || !GetFileVersionInfoW(exe.c_str(), 0, size, data.data())) data.clear();
  return data;
}

std::string versionString(std::vector<char>& resource, const std::string& name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = L"\\StringFileInfo\\080404b0\\" + widen(name);
  if (!VerQueryValueW(resource.data(), path.c_str(), &value, &length) || length == 0)
    return "<absent>";
  return narrow(static_cast<const wchar_t*>(value));  // the length counts the final zero
}

TEST(ProgramFile, VersionResourceSaysWhatTheBuildIs) {
  const std::wstring exe = temvikExePath();
  std::vector<char> resource = versionResource(exe);
  ASSERT_FALSE(resource.empty()) << "no version resource in " << narrow(exe);

  // The numbers: CMake's MAJOR.MINOR as MAJOR,MINOR,0,0.
  const std::string version = TEMVIK_VERSION;
  const unsigned major = std::stoul(version);
  const unsigned minor = std::stoul(version.substr(version.find('.') + 1));
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(resource.data(), L"\\", &value, &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, major << 16 | minor);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, major << 16 | minor);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  // One translation, Chinese (PRC) in Unicode, and its block says it all.
  ASSERT_TRUE(VerQueryValueW(resource.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  const auto* translation = static_cast<const WORD*>(value);
  EXPECT_EQ(translation[0], 0x0804);
  EXPECT_EQ(translation[1], 1200);
  EXPECT_EQ(versionString(resource, "ProductName"), "Temvik");
  EXPECT_EQ(versionString(resource, "ProductVersion"), version);
  EXPECT_EQ(versionString(resource, "FileVersion"), version);
  EXPECT_EQ(versionString(resource, "OriginalFilename"), "temvik.exe");
  EXPECT_EQ(versionString(resource, "FileDescription"), TEMVIK_EXPECTED_DESCRIPTION);
  EXPECT_EQ(versionString(resource, "CompanyName"), TEMVIK_EXPECTED_COMPANY);
  EXPECT_EQ(versionString(resource, "LegalCopyright"), TEMVIK_EXPECTED_COPYRIGHT);
}

// An icon group entry as resources store it (GRPICONDIRENTRY).
#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST(ProgramFile, IconHasASharp256PixelImage) {
  const std::wstring exe = temvikExePath();
  const HMODULE module = LoadLibraryExW(exe.c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr) << "cannot open " << narrow(exe);
  const HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(TEMVIK_APP_ICON), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  const auto* dir = static_cast<const WORD*>(LockResource(LoadResource(module, group)));
  ASSERT_NE(dir, nullptr);
  const WORD count = dir[2];
  const auto* entries = reinterpret_cast<const IconGroupEntry*>(dir + 3);
  const IconGroupEntry* large = nullptr;
  for (WORD i = 0; i < count; ++i)
    if (entries[i].width == 0 && entries[i].height == 0) large = &entries[i];  // 0 means 256
  ASSERT_NE(large, nullptr) << "no 256 x 256 image among " << count;
  EXPECT_EQ(large->bitCount, 32);

  // Stored as a PNG of 256 x 256 pixels with alpha.
  const HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(large->id), RT_ICON);
  ASSERT_NE(image, nullptr);
  const auto* png = static_cast<const unsigned char*>(LockResource(LoadResource(module, image)));
  ASSERT_EQ(SizeofResource(module, image), large->bytes);
  ASSERT_GE(large->bytes, 26u);
  ASSERT_EQ(std::memcmp(png, "\x89PNG\r\n\x1a\n", 8), 0);
  const auto be32 = [&](int at) {
    return std::uint32_t{png[at]} << 24 | std::uint32_t{png[at + 1]} << 16 |
           std::uint32_t{png[at + 2]} << 8 | png[at + 3];
  };
  EXPECT_EQ(be32(16), 256u);  // IHDR width
  EXPECT_EQ(be32(20), 256u);  // and height
  EXPECT_EQ(png[25], 6);      // RGBA

  // And the system makes a 256-pixel icon of it.
  const auto icon = static_cast<HICON>(
      LoadImageW(module, MAKEINTRESOURCEW(TEMVIK_APP_ICON), IMAGE_ICON, 256, 256, 0));
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP bitmap{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  EXPECT_EQ(bitmap.bmWidth, 256);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
  FreeLibrary(module);
}

std::wstring releaseDir() {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD n = GetEnvironmentVariableW(L"TEMVIK_RELEASE_DIR", buffer, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return {};
  return windowsPath(narrow(std::wstring_view(buffer, n)));
}

// The program started from where the release put it (a path with blanks and
// Chinese characters in the release check) keeps what it is given beside
// itself, and finds it there at its next start.
TEST(ReleaseFolder, ProgramRunsInPlaceAndKeepsItsPlanBesideItself) {
  using namespace main_ids;
  const std::wstring dir = releaseDir();
  if (dir.empty()) GTEST_SKIP() << "TEMVIK_RELEASE_DIR names no release folder";
  PlanFolder folder(dir);
  const std::string item = "发布检查";
  {
    E2E_START(app, folder);
    EXPECT_EQ(app.title().rfind("Temvikv" TEMVIK_VERSION " -- ", 0), 0u) << app.title();
    app.type(kContent, item);
    app.type(kHours, "0");
    app.type(kMinutes, "25");
    app.type(kSeconds, "0");
    ASSERT_TRUE(app.click(kAddItem));
    ASSERT_EQ(app.rows(kSequentialList), std::vector<std::string>{item});
    app.close();
    ASSERT_TRUE(app.waitForExit());
  }
  ASSERT_TRUE(folder.exists("time.ini"));
  const auto sections = parseIni(folder.readText("time.ini"));
  ASSERT_FALSE(sections.empty());
  EXPECT_EQ(sections.front().name, item);
  EXPECT_EQ(sections.front().value("分"), "25");

  E2E_START(again, folder);
  EXPECT_EQ(again.rows(kSequentialList), std::vector<std::string>{item});
}

}  // namespace
}  // namespace temvik::e2e
