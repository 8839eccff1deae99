// The main window's size, place and maximised state, kept in "WindowPlacement"
// across runs and put back only where a screen shows it now, always whole on that
// screen's work area with its title bar, and never below a usable size.
#include "WindowPlacement.h"

#include <algorithm>
#include <cstdlib>

#include "../platform/Desktop.h"
#include "../platform/LittleEndian.h"
#include "../shell/AppState.h"
#include "../shell/Settings.h"

namespace {

const WCHAR kPlacementValue[] = TEXT("WindowPlacement");
// left, top, right, bottom of the restored window and 1 when maximised, each a
// 32-bit little-endian number.
constexpr DWORD kPlacementFields = 5;
constexpr DWORD kPlacementSize = kPlacementFields * 4;
constexpr int kLeastSide = 160;
constexpr int kLargestSide = 16384;
// Below this the screen is a handheld's: the window takes it all.
constexpr int kSmallScreenWidth = 640;
constexpr int kSmallScreenHeight = 480;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

bool SaneSize(const RECT& r) {
    return Width(r) >= kLeastSide && Height(r) >= kLeastSide && Width(r) <= kLargestSide &&
           Height(r) <= kLargestSide;
}

bool ReadPlacement(RECT* rect, bool* maximised) {
    DWORD size = 0;
    BYTE* data = RegReadBytesSized(kPlacementValue, nullptr, &size);
    if (!data) return false;
    bool ok = size == kPlacementSize;
    if (ok) {
        int32_t v[kPlacementFields];
        for (DWORD i = 0; i < kPlacementFields; i++) v[i] = (int32_t)ReadDword(data + 4 * i);
        *rect = {v[0], v[1], v[2], v[3]};
        *maximised = v[4] == 1;
        // Sides apart by at most kLargestSide keep the sums below from overflowing.
        ok = (v[4] == 0 || v[4] == 1) && std::abs((long long)v[0]) < 1000000 && std::abs((long long)v[1]) < 1000000 &&
             SaneSize(*rect);
    }
    std::free(data);
    return ok;
}

// The rectangle's middle is on a screen that is there now.
bool OnAScreen(const RECT& r) {
    LONG x = r.left + Width(r) / 2, y = r.top + Height(r) / 2;
    RECT middle = {x, y, x + 1, y + 1};
    return MonitorFromRect(&middle, MONITOR_DEFAULTTONULL) != nullptr;
}

}  // namespace

RECT CentredRect(const RECT& work, int width, int height) {
    width = std::min(width, Width(work));
    height = std::min(height, Height(work));
    LONG left = work.left + (Width(work) - width) / 2, top = work.top + (Height(work) - height) / 2;
    return {left, top, left + width, top + height};
}

// Nine tenths of the screen's height, and a page's proportion across (at least a
// comfortable line's width); small screens are filled.
RECT ComfortableRect(const RECT& work) {
    if (Width(work) <= kSmallScreenWidth || Height(work) <= kSmallScreenHeight) return work;
    int height = Height(work) * 9 / 10;
    int width = std::min(Width(work) * 9 / 10, std::max(kSmallScreenWidth, height * 3 / 4));
    return CentredRect(work, width, height);
}

// The work area of the screen that shows most of the rectangle, or of the nearest one.
RECT WorkAreaNear(const RECT& r, const RECT& fallback) {
    MONITORINFO info = {sizeof info};
    HMONITOR screen = MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST);
    return screen && GetMonitorInfoW(screen, &info) && SaneSize(info.rcWork) ? info.rcWork : fallback;
}

RECT FitOnWorkArea(const RECT& r, const RECT& work, int caption) {
    caption = std::clamp(caption, 0, Height(work) / 2);
    int widest = Width(work), highest = Height(work) - caption;
    int width = std::clamp(Width(r), std::min(kLeastWindowWidth, widest), widest);
    int height = std::clamp(Height(r), std::min(kLeastWindowHeight, highest), highest);
    LONG left = std::clamp<LONG>(r.left, work.left, work.right - width);
    LONG top = std::clamp<LONG>(r.top, work.top + caption, work.bottom - height);
    return {left, top, left + width, top + height};
}

void PlaceMainWindow(HWND window) {
    SetMinimumWindowSize(window, kLeastWindowWidth, kLeastWindowHeight);
    RECT work = {0, 0, 0, 0};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) || !SaneSize(work)) return;
    WINDOWPLACEMENT placement = {sizeof placement};
    bool maximised = false;
    RECT saved, wanted;
    if (!ReadPlacement(&saved, &maximised)) {
        wanted = ComfortableRect(work);
    } else if (OnAScreen(saved)) {
        wanted = saved;
    } else {
        wanted = CentredRect(work, Width(saved), Height(saved));
    }
    placement.rcNormalPosition = FitOnWorkArea(wanted, WorkAreaNear(wanted, work), GetSystemMetrics(SM_CYCAPTION));
    placement.showCmd = maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    SetWindowPlacement(window, &placement);
}

// Where the desktop places windows, the program cannot tell where the window
// stands: the stored place is kept for desktops that let the program place it,
// and a first size is stored centred on the work area.
RECT KeepStoredPlace(const RECT& r) {
    RECT stored, work;
    bool maximised;
    if (ReadPlacement(&stored, &maximised))
        return {stored.left, stored.top, stored.left + Width(r), stored.top + Height(r)};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && SaneSize(work))
        return CentredRect(work, Width(r), Height(r));
    return r;
}

void SaveWindowPlacement(HWND window) {
    WINDOWPLACEMENT placement = {sizeof placement};
    if (!GetWindowPlacement(window, &placement) || !SaneSize(placement.rcNormalPosition)) return;
    RECT r = placement.rcNormalPosition;
    if (DesktopPlacesWindows()) r = KeepStoredPlace(r);
    int32_t v[kPlacementFields] = {r.left, r.top, r.right, r.bottom, placement.showCmd == SW_SHOWMAXIMIZED};
    BYTE bytes[kPlacementSize];
    for (DWORD i = 0; i < kPlacementSize; i++) bytes[i] = (BYTE)((uint32_t)v[i / 4] >> (8 * (i % 4)));
    RegWriteBytes(kPlacementValue, bytes, kPlacementSize);
}
