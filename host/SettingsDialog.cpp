#include "host/SettingsDialog.h"

#include "base/AppLog.h"
#include "base/SettingsStore.h"

using namespace settings_dialog;

bool RegisterDialogClasses(void*) { return true; }

// A box is ticked when the saver acts on its value: it draws the text and waits for the display
// only for values above 0, so a negative one shows as off.
void FillSettingsDialog(SettingsDialogView& dialog) {
  int value = 0;
  settingsStore.Get("EnableFPS", value);
  dialog.SetChecked(ShowFpsBox, value > 0);
  value = 0;
  settingsStore.Get("EnableVSync", value);
  dialog.SetChecked(EnableVSyncBox, value > 0);
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
          // A failed save leaves the stored values as they were; the user's choice is lost
          // unless they hear of it.
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
          settingsStore.Set("EnableFPS", dialog.IsChecked(ShowFpsBox) ? 1 : 0);
          return true;
        case EnableVSyncBox:
          settingsStore.Set("EnableVSync", dialog.IsChecked(EnableVSyncBox) ? 1 : 0);
          return true;
        default:
          return false;
      }
    }
    default:
      return false;
  }
}
