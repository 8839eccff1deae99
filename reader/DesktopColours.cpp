#include "DesktopColours.h"

#include "../platform/Desktop.h"
#include "../shell/Settings.h"
#include "../views/Palette.h"

namespace {

// Night was stored at start or toggled since: the user chose it, so it is kept.
bool gNightChosen = false;

}  // namespace

bool NightAtStart() {
    gNightChosen = SettingStored(TEXT("Night"));
    // Any stored value but 1 reads as day.
    return gNightChosen ? ReadSetting(TEXT("Night"), 0) == 1 : DesktopPrefersDark();
}

void ApplyNightColours(bool toggled) {
    gNightChosen = gNightChosen || toggled;
    const ViewPalette& palette = ActivePalette();
    SetControlColours(palette.text, palette.background);
}

void WriteNightSetting() {
    if (gNightChosen) RegWriteNumber(TEXT("Night"), gNightReading ? 1 : 0);
}
