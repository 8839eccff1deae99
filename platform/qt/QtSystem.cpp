// System metrics, the version the reader is told, and icons from resources.
#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "../LittleEndian.h"
#include "QtWindow.h"
#include "../NoThrow.h"

int GetSystemMetrics(int index) {
    return CallOrFail<int>(0, [&]() -> int {
        EnsureWindowLayer();
        QRect screen = QGuiApplication::primaryScreen()->geometry();
        switch (index) {
            case SM_CXSCREEN: return screen.width();
            case SM_CYSCREEN: return screen.height();
            case SM_CXVSCROLL:
            case SM_CYHSCROLL: return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
            case SM_CYCAPTION: return QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
            case SM_CXEDGE:
            case SM_CYEDGE: return 2;
            case SM_CXDRAG:
            case SM_CYDRAG: return QApplication::startDragDistance();
            default: return 0;
        }
    });
}

// The wheel's lines a notch are the desktop's; the work area is the primary
// screen's, less the panels.
BOOL SystemParametersInfoW(UINT action, UINT, PVOID data, UINT) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        EnsureWindowLayer();
        if (!data) return FALSE;
        switch (action) {
            case SPI_GETWHEELSCROLLLINES: *(UINT*)data = (UINT)std::max(QApplication::wheelScrollLines(), 0); return TRUE;
            case SPI_GETWORKAREA: {
                QRect r = QGuiApplication::primaryScreen()->availableGeometry();
                *(RECT*)data = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
                return TRUE;
            }
            default: return FALSE;
        }
    });
}

namespace {

RECT RectOf(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

// How far apart two rectangles are, 0 when they meet.
long long Distance(const QRect& a, const QRect& b) {
    long long dx = std::max({0, a.left() - b.right(), b.left() - a.right()});
    long long dy = std::max({0, a.top() - b.bottom(), b.top() - a.bottom()});
    return dx * dx + dy * dy;
}

}  // namespace

// The screen that shows most of the rectangle; failing that the nearest or the
// primary one, when asked for.
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) {
    return CallOrFail<HMONITOR>(nullptr, [&]() -> HMONITOR {
        EnsureWindowLayer();
        QRect wanted = rect ? QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1)) : QRect();
        QScreen* best = nullptr;
        long long bestArea = 0;
        for (QScreen* screen : QGuiApplication::screens()) {
            QRect shared = screen->geometry().intersected(wanted);
            long long area = (long long)shared.width() * shared.height();
            if (!shared.isEmpty() && area > bestArea) best = screen, bestArea = area;
        }
        if (best) return (HMONITOR)best;
        if (flags == MONITOR_DEFAULTTOPRIMARY) return (HMONITOR)QGuiApplication::primaryScreen();
        if (flags != MONITOR_DEFAULTTONEAREST) return nullptr;
        for (QScreen* screen : QGuiApplication::screens())
            if (!best || Distance(screen->geometry(), wanted) < Distance(best->geometry(), wanted)) best = screen;
        return (HMONITOR)best;
    });
}

BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        EnsureWindowLayer();
        QScreen* screen = (QScreen*)monitor;
        if (!info || info->cbSize < sizeof(MONITORINFO) || !QGuiApplication::screens().contains(screen)) return FALSE;
        info->rcMonitor = RectOf(screen->geometry());
        info->rcWork = RectOf(screen->availableGeometry());
        info->dwFlags = screen == QGuiApplication::primaryScreen() ? 1 : 0;  // MONITORINFOF_PRIMARY
        return TRUE;
    });
}

// Reported as Windows CE 4.20: below 4.21, so the "MenuBarOnBottom" option
// chooses between the command bar at the top and the menu bar at the bottom.
BOOL GetVersionExW(OSVERSIONINFOW* info) {
    if (!info) return FALSE;
    info->dwMajorVersion = 4;
    info->dwMinorVersion = 20;
    info->dwBuildNumber = 0;
    info->dwPlatformId = 3;  // VER_PLATFORM_WIN32_CE
    info->szCSDVersion[0] = 0;
    return TRUE;
}

// ---- Icons ----

namespace {
const BYTE kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// A 32-bit icon image: header, colour rows bottom-up (the alpha channel decides
// what shows), then the mask, which 32-bit images do not need. Or, as the
// platform also allows, a whole PNG file.
QImage IconImage(const BYTE* p, DWORD size) {
    if (p && size >= sizeof kPngSignature && !memcmp(p, kPngSignature, sizeof kPngSignature))
        return QImage::fromData(p, (int)std::min<DWORD>(size, INT_MAX), "PNG");
    if (size < 40 || ReadDword(p) != 40) return {};
    int width = (int)ReadDword(p + 4), height = (int)ReadDword(p + 8) / 2;
    int bits = ReadWord(p + 14);
    if (bits != 32 || width <= 0 || height <= 0 || width > 256 || height > 256) return {};
    if (size < 40 + (DWORD)(width * height * 4)) return {};
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) image.setPixel(x, height - 1 - y, ReadDword(p + 40 + (y * width + x) * 4));
    return image;
}
}  // namespace

namespace {
// One image of an icon group: its side as the directory gives it (0 is 256) and its bytes.
struct IconImageBytes {
    int side;
    const BYTE* bytes;
    DWORD size;
};

// An icon whose images are decoded when a size is first asked for: a start-up
// shows none of them before its first paint.
class ResourceIconEngine : public QIconEngine {
public:
    explicit ResourceIconEngine(std::vector<IconImageBytes> images) : images_(std::move(images)) {
        std::sort(images_.begin(), images_.end(), [](auto& a, auto& b) { return a.side < b.side; });
    }
    QIconEngine* clone() const override { return new ResourceIconEngine(images_); }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const IconImageBytes& image : images_) sizes.append(QSize(image.side, image.side));
        return sizes;
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return pixmap(size, mode, state).size();
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    // The smallest image at least as large as asked, else the largest, scaled down to fit.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        if (images_.empty()) return {};
        int want = std::max(size.width(), size.height());
        auto fits = std::find_if(images_.begin(), images_.end(), [&](const IconImageBytes& i) { return i.side >= want; });
        const IconImageBytes* best = fits != images_.end() ? &*fits : &images_.back();
        QPixmap& decoded = decoded_[best->side];
        if (decoded.isNull()) decoded = QPixmap::fromImage(IconImage(best->bytes, best->size));
        if (decoded.isNull() || (decoded.width() <= size.width() && decoded.height() <= size.height())) return decoded;
        return decoded.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

private:
    std::vector<IconImageBytes> images_;
    std::map<int, QPixmap> decoded_;
};
}  // namespace

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    return CallOrFail<HICON>(nullptr, [&]() -> HICON {
        EnsureWindowLayer();
        static std::map<uintptr_t, std::unique_ptr<QIcon>> sIcons;
        auto known = sIcons.find((uintptr_t)name);
        if (known != sIcons.end()) return (HICON)known->second.get();
        HRSRC group = FindResourceW(instance, name, RT_GROUP_ICON);
        const BYTE* dir = (const BYTE*)LoadResource(instance, group);
        DWORD dirSize = SizeofResource(instance, group);
        if (!dir || dirSize < 6) return nullptr;
        int count = ReadWord(dir + 4);
        std::vector<IconImageBytes> images;
        for (int i = 0; i < count && 6 + (DWORD)(i + 1) * 14 <= dirSize; i++) {
            const BYTE* entry = dir + 6 + i * 14;
            HRSRC image = FindResourceW(instance, MAKEINTRESOURCEW(ReadWord(entry + 12)), RT_ICON);
            const BYTE* bytes = (const BYTE*)LoadResource(instance, image);
            if (bytes) images.push_back({entry[0] ? entry[0] : 256, bytes, SizeofResource(instance, image)});
        }
        if (images.empty()) return nullptr;
        auto icon = std::make_unique<QIcon>(new ResourceIconEngine(std::move(images)));
        HICON handle = (HICON)icon.get();
        sIcons[(uintptr_t)name] = std::move(icon);
        return handle;
    });
}
