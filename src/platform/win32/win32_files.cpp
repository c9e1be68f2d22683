#include <windows.h>

#include <algorithm>

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
    if (!busy || attempt == 20) return false;
    Sleep(25);
  }
}

}  // namespace

std::string Win32Files::programDirectory() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const auto slash = path.find_last_of(L"\\/");
  if (slash != std::wstring::npos) path.resize(slash);
  return toUtf8(path);
}

bool Win32Files::exists(const std::string& path) const {
  return GetFileAttributesW(toUtf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> Win32Files::read(const std::string& path) const {
  FileHandle file(CreateFileW(toUtf16(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kMaxChunk));
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) return std::nullopt;
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
    if (!file.valid()) return false;
    bool ok = true;
    size_t done = 0;
    while (ok && done < bytes.size()) {
      const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kMaxChunk));
      DWORD wrote = 0;
      ok = WriteFile(file.get(), bytes.data() + done, want, &wrote, nullptr) && wrote == want;
      done += wrote;
    }
    ok = ok && FlushFileBuffers(file.get());
    ok = file.close() && ok;
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

bool Win32Files::copy(const std::string& from, const std::string& to) {
  return CopyFileW(toUtf16(from).c_str(), toUtf16(to).c_str(), FALSE) != 0;
}

bool Win32Files::remove(const std::string& path) { return DeleteFileW(toUtf16(path).c_str()) != 0; }

bool Win32Files::replace(const std::string& from, const std::string& to) {
  return moveOver(toUtf16(from), toUtf16(to));
}

}  // namespace temvik
