// A child process for the shell and process tests, without a window or console:
//
//   temvik_test_child.exe SECONDS [FILE TEXT]
//
// writes TEXT (UTF-8) into FILE when given, then waits SECONDS and ends, so a
// child a failed test leaves behind goes away by itself.

#include <windows.h>

#include <shellapi.h>

#include <cwchar>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return 2;
  const unsigned long seconds = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 30;
  if (argc > 3) {
    const int length = static_cast<int>(std::wcslen(argv[3]));
    const int size = WideCharToMultiByte(CP_UTF8, 0, argv[3], length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, argv[3], length, text.data(), size, nullptr, nullptr);
    const HANDLE out = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(out);
  }
  LocalFree(argv);
  Sleep(static_cast<DWORD>(seconds * 1000));
  return 0;
}
