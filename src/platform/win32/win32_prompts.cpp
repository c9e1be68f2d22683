#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/win32/native.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_ui.h"

namespace temvik {
namespace {

constexpr DWORD kFileBufferChars = 32768;

HWND ownerHwnd(const Window* owner) {
  if (const auto* w = dynamic_cast<const Win32Window*>(owner); w && w->hwnd()) return w->hwnd();
  return GetActiveWindow();
}

std::optional<std::string> fileDialog(bool save, const Window* owner, std::string_view filter,
                                      std::string_view presetName) {
  const std::wstring filterText = toDialogFilter(filter);
  const std::wstring extension = firstFilterExtension(filter);
  const std::wstring preset = toUtf16(presetName);
  std::vector<wchar_t> file(kFileBufferChars, L'\0');

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = ownerHwnd(owner);
  ofn.lpstrFilter = filterText.empty() ? nullptr : filterText.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = kFileBufferChars;
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
              (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  // A name typed without an extension gets the chosen filter's one.
  if (save && !extension.empty()) ofn.lpstrDefExt = extension.c_str();

  const auto show = [&] { return save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn); };
  preset.copy(file.data(), std::min<size_t>(preset.size(), file.size() - 1));
  BOOL chosen = show();
  if (!chosen && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
    // A preset the dialog refuses (a folder that is gone) must not hide it.
    std::fill(file.begin(), file.end(), L'\0');
    chosen = show();
  }
  if (!chosen) return std::nullopt;
  return toUtf8(file.data());
}

}  // namespace

void Win32Prompts::alert(const Window* owner, std::string_view text, std::string_view title) {
  MessageBoxExW(ownerHwnd(owner), toUtf16(text).c_str(), toUtf16(title).c_str(),
                MB_OK | MB_SYSTEMMODAL | MB_SETFOREGROUND, 0);
}

MessageAnswer Win32Prompts::message(const Window* owner, std::string_view text,
                                    std::string_view title, MessageIcon icon,
                                    MessageButtons buttons) {
  UINT flags = MB_SETFOREGROUND;
  MessageAnswer refusal = MessageAnswer::Ok;
  switch (buttons) {
    case MessageButtons::Ok:
      flags |= MB_OK;
      break;
    case MessageButtons::OkCancel:
      flags |= MB_OKCANCEL;
      refusal = MessageAnswer::Cancel;
      break;
    case MessageButtons::YesNo:
      flags |= MB_YESNO;
      refusal = MessageAnswer::No;
      break;
    case MessageButtons::YesNoDefaultNo:
      flags |= MB_YESNO | MB_DEFBUTTON2;
      refusal = MessageAnswer::No;
      break;
    case MessageButtons::YesNoCancel:
      flags |= MB_YESNOCANCEL;
      refusal = MessageAnswer::Cancel;
      break;
  }
  switch (icon) {
    case MessageIcon::None:
      break;
    case MessageIcon::Information:
      flags |= MB_ICONINFORMATION;
      break;
    case MessageIcon::Question:
      flags |= MB_ICONQUESTION;
      break;
    case MessageIcon::Warning:
      flags |= MB_ICONWARNING;
      break;
    case MessageIcon::Error:
      flags |= MB_ICONERROR;
      break;
  }
  const HWND hwnd = ownerHwnd(owner);
  // Without an owner the box still blocks the program's other windows.
  if (!hwnd) flags |= MB_TASKMODAL;
  const std::wstring caption = title.empty() ? std::wstring(kProgramTitle) : toUtf16(title);
  switch (MessageBoxW(hwnd, toUtf16(text).c_str(), caption.c_str(), flags)) {
    case IDOK:
      return MessageAnswer::Ok;
    case IDCANCEL:
      return MessageAnswer::Cancel;
    case IDYES:
      return MessageAnswer::Yes;
    case IDNO:
      return MessageAnswer::No;
    default:
      return refusal;  // the box could not be shown
  }
}

std::optional<std::string> Win32Prompts::openFile(const Window* owner, std::string_view filter,
                                                  std::string_view presetName) {
  return fileDialog(false, owner, filter, presetName);
}

std::optional<std::string> Win32Prompts::saveFile(const Window* owner, std::string_view filter,
                                                  std::string_view presetName) {
  return fileDialog(true, owner, filter, presetName);
}

}  // namespace temvik
