// The settings dialog on Win32: dialog template 2003 of the module, run modally, with the
// shared behaviour of host/SettingsDialog.
#include <windows.h>

#include "host/SettingsDialog.h"

namespace {

class Win32SettingsDialogView : public SettingsDialogView {
 public:
  explicit Win32SettingsDialogView(HWND dialog) : dialog_(dialog) {}
  bool IsChecked(int control) override {
    return IsDlgButtonChecked(dialog_, control) != BST_UNCHECKED;
  }
  void SetChecked(int control, bool checked) override {
    CheckDlgButton(dialog_, control, checked ? BST_CHECKED : BST_UNCHECKED);
  }
  void EndDialog(int result) override { ::EndDialog(dialog_, result); }
  void ShowMessage(const char* text, const char* caption) override {
    MessageBoxA(dialog_, text, caption, 0);
  }

 private:
  HWND dialog_;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wordParam, LPARAM longParam) {
  Win32SettingsDialogView view(dialog);
  return ScreenSaverConfigureDialog(view, message, wordParam, longParam) ? TRUE : FALSE;
}

}  // namespace

int RunSettingsDialog(platform::WindowHandle parent) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterDialogClasses(instance)) return 0;
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(2003),
                                          reinterpret_cast<HWND>(parent), DialogProc, 0));
}
