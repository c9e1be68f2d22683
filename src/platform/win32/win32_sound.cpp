#include <windows.h>

#include <mmsystem.h>

#include <atomic>
#include <cwctype>

#include "platform/win32/native.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_system.h"

namespace temvik {
namespace {

constexpr wchar_t kNotifyClass[] = L"TemvikSoundNotify";

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

// Every device gets an alias no other device of the process has.
std::wstring uniqueAlias(std::wstring_view kind) {
  static std::atomic<unsigned> next{0};
  return L"temvik_" + std::wstring(kind) + L"_" + std::to_wstring(++next);
}

MCIERROR mci(const std::wstring& command, HWND notify = nullptr) {
  return mciSendStringW(command.c_str(), nullptr, 0, notify);
}

// The MCI device type for a file: MIDI and WAV by name; for anything else MCI
// picks one by the extension.
std::wstring typeClause(const std::wstring& path) {
  const auto dot = path.find_last_of(L".\\/");
  if (dot == std::wstring::npos || path[dot] != L'.') return {};
  std::wstring ext = path.substr(dot + 1);
  for (auto& c : ext) c = static_cast<wchar_t>(std::towlower(c));
  if (ext == L"mid" || ext == L"midi" || ext == L"rmi") return L" type sequencer";
  if (ext == L"wav") return L" type waveaudio";
  return {};
}

// Paths go in double quotes; a Windows path cannot hold one itself.
std::wstring openCommand(const std::wstring& path, const std::wstring& alias) {
  return L"open \"" + path + L"\"" + typeClause(path) + L" alias " + alias;
}

}  // namespace

// ---------------------------------------------------------------- media player

Win32MediaPlayer::Win32MediaPlayer() : alias_(uniqueAlias(L"media")) {}

Win32MediaPlayer::~Win32MediaPlayer() { stop(); }

bool Win32MediaPlayer::play(const std::string& path) {
  stop();
  if (path.empty() || mci(openCommand(toUtf16(path), alias_)) != 0) return false;
  open_ = true;
  if (mci(L"play " + alias_ + L" from 0") == 0) return true;
  stop();
  return false;
}

void Win32MediaPlayer::stop() {
  if (!open_) return;
  mci(L"stop " + alias_);
  mci(L"close " + alias_);
  open_ = false;
}

// ---------------------------------------------------------------- music channel

Win32Sound::Win32Sound() : Win32Sound(std::wstring()) {}

Win32Sound::Win32Sound(std::wstring musicFile)
    : file_(std::move(musicFile)), alias_(uniqueAlias(L"music")) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &Win32Sound::notifyProc;
  wc.hInstance = instance();
  wc.lpszClassName = kNotifyClass;
  RegisterClassExW(&wc);  // a second instance finds it there already
  notify_ = CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance(),
                            nullptr);
  if (notify_) SetWindowLongPtrW(notify_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Sound::~Win32Sound() {
  closeMusic();
  if (notify_) DestroyWindow(notify_);
  if (ownsFile_) DeleteFileW(file_.c_str());
}

std::unique_ptr<MediaPlayer> Win32Sound::createPlayer() {
  return std::make_unique<Win32MediaPlayer>();
}

bool Win32Sound::writeEndTune() {
  if (!file_.empty()) return true;
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(kEndTuneId), RT_RCDATA);
  const HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = found ? SizeofResource(nullptr, found) : 0;
  if (!bytes || size == 0) return false;

  wchar_t temp[MAX_PATH + 1] = {};
  if (!GetTempPathW(MAX_PATH + 1, temp)) return false;
  const std::wstring path =
      std::wstring(temp) + L"temvik_end_tune_" + std::to_wstring(GetCurrentProcessId()) + L".mid";
  const HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool complete = WriteFile(out, bytes, size, &written, nullptr) && written == size;
  CloseHandle(out);
  if (!complete) {
    DeleteFileW(path.c_str());
    return false;
  }
  file_ = path;
  ownsFile_ = true;
  return true;
}

void Win32Sound::playMusicLoop() {
  closeMusic();
  passes_ = 0;
  if (!notify_ || !writeEndTune() || mci(openCommand(file_, alias_)) != 0) return;
  open_ = true;
  device_ = mciGetDeviceIDW(alias_.c_str());
  if (mci(L"play " + alias_ + L" from 0 notify", notify_) != 0) {
    closeMusic();
    return;
  }
  playing_ = true;
  ++passes_;
}

void Win32Sound::stopMusic() { closeMusic(); }

void Win32Sound::closeMusic() {
  if (open_) {
    mci(L"stop " + alias_);
    mci(L"close " + alias_);
  }
  open_ = false;
  playing_ = false;
  device_ = 0;
}

LRESULT CALLBACK Win32Sound::notifyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == MM_MCINOTIFY) {
    if (auto* self = reinterpret_cast<Win32Sound*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
      self->passEnded(wp, lp);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Win32Sound::passEnded(WPARAM how, LPARAM device) {
  // Notes of a device closed since, or of a command a newer one replaced
  // (MCI_NOTIFY_SUPERSEDED, MCI_NOTIFY_ABORTED), change nothing.
  if (!playing_ || static_cast<UINT>(device) != device_) return;
  if (how == MCI_NOTIFY_SUCCESSFUL) {
    mci(L"seek " + alias_ + L" to start");
    if (mci(L"play " + alias_ + L" notify", notify_) == 0) {
      ++passes_;
      return;
    }
    closeMusic();
  } else if (how == MCI_NOTIFY_FAILURE) {
    closeMusic();
  }
}

}  // namespace temvik
