#pragma once

// Whether the captions of a window of the program fit their controls,
// measured from another process: the width of each caption in the program's
// UI font against the room its control gives text.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/window_design.h"

namespace temvik::e2e {

// The screen's DPI, as the program sees it.
[[nodiscard]] UINT screenDpi();
// Design pixels at `dpi`, rounded to the nearest pixel.
[[nodiscard]] int atDpi(int designPx, UINT dpi);

// The font the program draws its controls with at `dpi`: the first installed
// of the Chinese UI faces the Win32 backend looks for, 12 px at 96 DPI.
// (Another process cannot read a control's font; a list box's row height,
// which follows its font, tells whether this is the one.)
class UiFont {
 public:
  explicit UiFont(UINT dpi);
  ~UiFont();
  UiFont(const UiFont&) = delete;
  UiFont& operator=(const UiFont&) = delete;

  [[nodiscard]] SIZE extent(const std::wstring& text) const;
  [[nodiscard]] int lineHeight() const { return metrics_.tmHeight; }
  [[nodiscard]] int charWidth(wchar_t c) const;
  [[nodiscard]] const std::wstring& face() const { return face_; }

 private:
  std::wstring face_;
  HDC dc_ = nullptr;
  HFONT font_ = nullptr;
  HGDIOBJ old_ = nullptr;
  TEXTMETRICW metrics_{};
};

// One control's caption and the room for it, in pixels.
struct CaptionFit {
  std::string control;  // class and id, "Button 1021"
  std::string caption;
  int textWidth = 0;
  int room = 0;  // the control's client width less what it draws beside the text
  [[nodiscard]] bool fits() const { return textWidth <= room; }
};

// Every captioned label, button, check box, group box and single-line edit
// box of `window`. Room for text: a label's whole width; a push button's
// width less its frame (3 px a side at 96 DPI); a check box's width less its
// box (12 px + 1 at 96 DPI) and the gap of half a digit's width after it; a
// group box's width less 8 px a side at 96 DPI; an edit box's client width
// less its margins; each row of a drop-down: its width less its button and
// margins.
[[nodiscard]] std::vector<CaptionFit> measureCaptions(HWND window, const UiFont& font, UINT dpi);

// The captions that do not fit, one line each, or "" when all do.
[[nodiscard]] std::string captionsThatDoNotFit(const std::vector<CaptionFit>& fits);

// Measures the captions of `window` and fails the running test for each
// that does not fit.
void expectCaptionsFit(HWND window, const char* what);

// The DPI a window of the program is laid out for, told by its outer size
// and its design: the screen's, or less where the design would not fit the
// work area at the screen's; 0 when no DPI gives that size.
[[nodiscard]] UINT layoutDpi(HWND window, const WindowDesign& design);

// A window as a user meets it, failing the running test where it falls
// short: wholly inside its monitor's work area, every visible control too;
// laid out at the screen's DPI wherever the design fits there; every
// caption fitting its control in the font of the window's layout. Returns
// the layout's DPI.
UINT expectWindowFits(HWND window, const WindowDesign& design, const char* what);

}  // namespace temvik::e2e
