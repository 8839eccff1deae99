// Night and the desktop's colours: with no "Night" value stored, night reading
// follows the desktop's preference for dark colours at start, and the controls and
// dialogs always draw in the reader's own day or night colours.
#pragma once

// Whether the reader starts at night: the stored "Night" value decides (exactly 1 is
// night), and without one the desktop's preference does.
bool NightAtStart();
// Puts the active day or night colours into the controls and dialogs; toggled marks
// night reading as the user's choice, stored from then on.
void ApplyNightColours(bool toggled);
// Writes "Night" when it is the user's choice (stored before, or toggled).
void WriteNightSetting();
