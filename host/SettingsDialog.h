#pragma once
// The settings dialog's behaviour, shared by the platforms' dialogs: the two check boxes are a
// view of the global settingsStore, filled each time the dialog is shown; clicks go straight
// into the store; OK saves what the user changed and nothing else (a save that fails is logged
// and told to the user) and closes; "Set Defaults" (and Escape, which arrives as the same
// command) resets and stays open; closing the window ends without saving. The result is 1.
#include <cstdint>

#include "platform/Types.h"

namespace settings_dialog {
// Messages and controls the dialog handles, numbered as the Windows dialog manager numbers them.
constexpr unsigned ShowWindow = 24;  // WM_SHOWWINDOW
constexpr unsigned Close = 16;       // WM_CLOSE
constexpr unsigned Command = 273;    // WM_COMMAND
constexpr int OkButton = 1;
constexpr int SetDefaultsButton = 2;
constexpr int ShowFpsBox = 117;
constexpr int EnableVSyncBox = 118;
// What the user is told when OK could not store the settings.
constexpr const char* NotSavedText = "The settings could not be saved.";
constexpr const char* NotSavedCaption = "Screen saver";
}  // namespace settings_dialog

// What the logic needs of a dialog window: its two check boxes and its end.
class SettingsDialogView {
 public:
  virtual ~SettingsDialogView() = default;
  // Any state other than cleared counts as checked.
  virtual bool IsChecked(int control) = 0;
  // Sets the box's state without reporting it back as a click.
  virtual void SetChecked(int control, bool checked) = 0;
  // Ends the modal dialog with result.
  virtual void EndDialog(int result) = 0;
  // A modal box with text and one OK button, owned by the dialog; returns once it is dismissed.
  virtual void ShowMessage(const char* text, const char* caption) = 0;
};

// Nothing to register; true.
bool RegisterDialogClasses(void* instance);

// Both check boxes from the store: checked for any value other than 0.
void FillSettingsDialog(SettingsDialogView& dialog);

// The dialog procedure: true for the messages it handles, false for all others. wordParam holds
// the control in its low 16 bits and the notification code in the 16 above.
bool ScreenSaverConfigureDialog(SettingsDialogView& dialog, unsigned message,
                                std::uintptr_t wordParam, std::intptr_t longParam);

// Runs the modal settings dialog, owned by parent where it names a window (0 for none), and
// returns its result, 1. Each platform's layer provides it.
int RunSettingsDialog(platform::WindowHandle parent);
