// What the reader needs from its environment before anything else runs.
#pragma once

// HOME from the password database when it is unset (the settings are found through
// it), and a private runtime folder of the user's own when XDG_RUNTIME_DIR is unset
// (the single-instance lock and socket live there).
void CompleteEnvironment();
// Whether a window can be shown: an X or Wayland display is named, or a platform
// for the window layer was chosen explicitly (QT_QPA_PLATFORM, e.g. offscreen).
bool DisplayNamed();
extern const char kNoDisplayText[];
