#include "host/SettingsDialog.h"

#include "base/AppLog.h"
#include "base/SettingsStore.h"

using namespace settings_dialog;

bool RegisterDialogClasses(void*) { return true; }

namespace {

// A box is ticked when the saver acts on its value: it draws the text and waits for the display
// only for values above 0, so a negative one shows as off.
bool Ticked(int value) { return value > 0; }

// The box's new state as 1 or 0; but a box put back as the stored value shows it brings that
// value back, whatever number it was (-1, 5): ticked and cleared again is no change, and OK then
// leaves the setting alone on disk.
void TakeClick(SettingsDialogView& dialog, int control, const char* name) {
  const bool checked = dialog.IsChecked(control);
  int stored = 0;
  settingsStore.GetStored(name, stored);
  settingsStore.Set(name, checked == Ticked(stored) ? stored : checked ? 1 : 0);
}

}  // namespace

void FillSettingsDialog(SettingsDialogView& dialog) {
  int value = 0;
  settingsStore.Get("EnableFPS", value);
  dialog.SetChecked(ShowFpsBox, Ticked(value));
  value = 0;
  settingsStore.Get("EnableVSync", value);
  dialog.SetChecked(EnableVSyncBox, Ticked(value));
}

bool ScreenSaverConfigureDialog(SettingsDialogView& dialog, unsigned message,
                                std::uintptr_t wordParam, std::intptr_t) {
  switch (message) {
    case ShowWindow:
      FillSettingsDialog(dialog);
      return false;
    case Close:
      dialog.EndDialog(1);
      return true;
    case Command: {
      if (((wordParam >> 16) & 0xFFFF) != 0) return false;
      switch (static_cast<int>(wordParam & 0xFFFF)) {
        case OkButton:
          // Only what the user changed is written (see SettingsStore::Save). A failed save
          // leaves the stored values as they were; the user's choice is lost unless they hear
          // of it.
          if (settingsStore.Save() != 0) {
            appLog.Write(Error, "Settings could not be saved");
            dialog.ShowMessage(NotSavedText, NotSavedCaption);
          }
          ScreenSaverConfigureDialog(dialog, Close, 0, 0);
          return true;
        case SetDefaultsButton:
          settingsStore.ResetToDefaults();
          FillSettingsDialog(dialog);
          return true;
        case ShowFpsBox:
          TakeClick(dialog, ShowFpsBox, "EnableFPS");
          return true;
        case EnableVSyncBox:
          TakeClick(dialog, EnableVSyncBox, "EnableVSync");
          return true;
        default:
          return false;
      }
    }
    default:
      return false;
  }
}
