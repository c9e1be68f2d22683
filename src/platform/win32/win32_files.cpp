#include <windows.h>

#include <algorithm>
#include <array>
#include <optional>

#include "platform/file_paths.h"
#include "platform/win32/file_identity.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_services.h"

namespace temvik {
namespace {

// Closes a file handle when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() { close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  [[nodiscard]] bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  [[nodiscard]] HANDLE get() const { return h_; }
  bool close() {
    if (!valid()) return true;
    const bool ok = CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

constexpr DWORD kMaxChunk = 1u << 30;

// The system's error code of the last call on this thread that failed, kept
// right after it, before any clean-up call can overwrite GetLastError.
thread_local DWORD lastError = 0;

// Keeps the reason of the call that just failed; false.
bool failed(DWORD error = GetLastError()) {
  lastError = error;
  return false;
}

// Moves `from` over `to`. A file that another program has open only for a
// moment (a virus scanner, an indexer, an editor reading it) cannot be
// replaced meanwhile: such a refusal is tried again for up to half a second
// before it counts as a failure.
bool moveOver(const std::wstring& from, const std::wstring& to) {
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    const DWORD error = GetLastError();
    const bool busy = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
                      error == ERROR_LOCK_VIOLATION;
    if (!busy || attempt == 20) return failed(error);
    Sleep(25);
  }
}

// Fills a string through a call of the Win32 convention: the length written,
// the size needed when the buffer is too small, 0 on failure.
template <class Call>
std::wstring filled(const Call& call) {
  std::wstring out(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = call(out.data(), static_cast<DWORD>(out.size()));
    if (n == 0) return {};
    if (n < out.size()) {
      out.resize(n);
      return out;
    }
    out.resize(n);
  }
}

}  // namespace

std::wstring longFullPath(const std::string& path) {
  // "\\?\C:\x" is "C:\x", which the rules below then see through.
  const std::wstring wide = toUtf16(withoutDevicePrefix(path));
  const std::wstring full = filled([&](wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
  });
  if (full.empty()) return {};
  std::wstring head = full;
  std::wstring tail;  // "\name…" of the components that do not exist
  for (;;) {
    std::wstring found = filled(
        [&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(head.c_str(), buffer, size); });
    if (!found.empty()) {
      if (found.back() == L'\\' && !tail.empty()) found.pop_back();
      return found + tail;
    }
    const size_t slash = head.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash <= 1 || slash + 1 == head.size()) return full;
    tail = head.substr(slash) + tail;
    // A drive's root keeps its separator: "C:" alone is the current folder.
    head.resize(slash == 2 && head[1] == L':' ? slash + 1 : slash);
  }
}

std::optional<std::array<DWORD, 3>> fileIdentity(const std::wstring& path) {
  FileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  // Some file systems give no index; their files are told by name only.
  if (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0) return std::nullopt;
  return std::array<DWORD, 3>{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

std::string Win32Files::programPath() const {
  return toUtf8(filled([](wchar_t* buffer, DWORD size) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer, size);
    // A name cut to the buffer comes back as the buffer's size.
    return n == size ? size + MAX_PATH : n;
  }));
}

std::string Win32Files::programDirectory() const {
  std::string path = programPath();
  const auto slash = path.find_last_of("\\/");
  if (slash != std::string::npos) path.resize(slash);
  return path;
}

bool Win32Files::sameFile(const std::string& a, const std::string& b) const {
  const std::wstring first = longFullPath(a);
  const std::wstring second = longFullPath(b);
  if (first.empty() || second.empty()) return false;
  if (CompareStringOrdinal(first.c_str(), static_cast<int>(first.size()), second.c_str(),
                           static_cast<int>(second.size()), TRUE) == CSTR_EQUAL)
    return true;
  // Two names of one existing file: a link, a junction, a mapped drive.
  const auto identity = fileIdentity(first);
  return identity && identity == fileIdentity(second);
}

bool Win32Files::exists(const std::string& path) const {
  return GetFileAttributesW(toUtf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> Win32Files::read(const std::string& path) const {
  FileHandle file(CreateFileW(toUtf16(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    // A file that is not there reads as nothing, which is no failure.
    const DWORD error = GetLastError();
    failed(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : error);
    return std::nullopt;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) {
    failed();
    return std::nullopt;
  }
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kMaxChunk));
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) {
      failed();
      return std::nullopt;
    }
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

bool Win32Files::writeAtomic(const std::string& path, std::string_view bytes) {
  const std::wstring target = toUtf16(path);
  const std::wstring scratch = target + L".tmp";
  {
    FileHandle file(CreateFileW(scratch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return failed();
    bool ok = true;
    size_t done = 0;
    while (ok && done < bytes.size()) {
      const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kMaxChunk));
      DWORD wrote = 0;
      if (!WriteFile(file.get(), bytes.data() + done, want, &wrote, nullptr))
        ok = failed();
      else if (wrote != want)  // a short write to a disk file: the disk is full
        ok = failed(ERROR_DISK_FULL);
      done += wrote;
    }
    if (ok && !FlushFileBuffers(file.get())) ok = failed();
    if (!file.close() && ok) ok = failed();
    if (!ok) {
      DeleteFileW(scratch.c_str());
      return false;
    }
  }
  if (!moveOver(scratch, target)) {
    DeleteFileW(scratch.c_str());
    return false;
  }
  return true;
}

bool Win32Files::append(const std::string& path, std::string_view bytes) {
  // Readers (a spreadsheet showing the file) may keep it open meanwhile.
  FileHandle file(CreateFileW(toUtf16(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return failed();
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kMaxChunk));
    DWORD wrote = 0;
    if (!WriteFile(file.get(), bytes.data() + done, want, &wrote, nullptr)) return failed();
    if (wrote != want) return failed(ERROR_DISK_FULL);
    done += wrote;
  }
  if (!FlushFileBuffers(file.get())) return failed();
  return file.close() || failed();
}

bool Win32Files::copy(const std::string& from, const std::string& to) {
  return CopyFileW(toUtf16(from).c_str(), toUtf16(to).c_str(), FALSE) != 0 || failed();
}

bool Win32Files::remove(const std::string& path) {
  return DeleteFileW(toUtf16(path).c_str()) != 0 || failed();
}

bool Win32Files::replace(const std::string& from, const std::string& to) {
  return moveOver(toUtf16(from), toUtf16(to));
}

FileFailure Win32Files::lastFailure() const {
  FileFailure failure{lastError, {}};
  if (lastError == 0) return failure;
  // Language 0: the user's language, as the system falls back from it.
  std::array<wchar_t, 512> text{};
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           lastError, 0, text.data(), static_cast<DWORD>(text.size()), nullptr);
  while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' ')) --n;
  failure.text = toUtf8(std::wstring(text.data(), n));
  return failure;
}

}  // namespace temvik
