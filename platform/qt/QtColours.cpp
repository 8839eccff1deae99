// The desktop's colour preference, and the one palette that the controls, dialogs
// and menus draw with: the reader's own text and page colours.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QPalette>
#include <QWidget>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "../Desktop.h"
#include "../GdiInternal.h"
#include "../NoThrow.h"
#include "QtSurface.h"
#include "QtWindow.h"

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
// The portal is asked once at start; a slow answer is no answer.
constexpr int kPortalTimeoutMs = 150;

// The desktop's palette before the program's took its place, and the program's.
std::optional<QPalette> gDesktopPalette, gOwnPalette;
// The brushes of system colours handed out, by colour index: a plain table, so
// that they stay reachable, like the stock objects, until the program's very end.
constexpr int kColourIndexes = 32;
HBRUSH gColourBrushes[kColourIndexes];

void FollowColour(int index, HBRUSH brush) {
    if (auto* fill = GdiObjectAs<GdiBrush>(brush, GdiKind::Brush)) fill->colour = GetSysColor(index);
}

// The freedesktop "color-scheme": 1 prefers dark, 2 prefers light, 0 has no
// preference; -1 when no portal answered.
int PortalColourScheme() {
    // Without an address, connecting would try to launch a bus of its own.
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) return -1;
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Asking a portal that is not running would start it and wait for it.
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kPortalService).value()) return -1;
    QDBusMessage call = QDBusMessage::createMethodCall(kPortalService, QStringLiteral("/org/freedesktop/portal/desktop"),
                                                      QStringLiteral("org.freedesktop.portal.Settings"),
                                                      QStringLiteral("Read"));
    call << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme");
    QDBusMessage reply = bus.call(call, QDBus::Block, kPortalTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return -1;
    // The value comes wrapped in a variant, twice over from older portals.
    QVariant value = reply.arguments().first();
    while (value.userType() == qMetaTypeId<QDBusVariant>()) value = qvariant_cast<QDBusVariant>(value).variant();
    bool number = false;
    uint scheme = value.toUInt(&number);
    return number && scheme <= 2 ? (int)scheme : -1;
}

// The theme's palette: the application's, unless it is the one set here.
QPalette DesktopPalette() {
    QPalette now = QApplication::palette();
    return gOwnPalette && now == *gOwnPalette && gDesktopPalette ? *gDesktopPalette : now;
}

QColor Mix(const QColor& from, const QColor& to, double share) {
    auto channel = [&](int a, int b) { return (int)std::lround(a + (b - a) * share); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()), channel(from.blue(), to.blue()));
}

// Every role that holds text or what text stands on takes the two colours or a shade
// between them; dimmed text keeps a contrast of at least 4.5:1 for the reader's pairs.
QPalette PaletteOf(const QColor& text, const QColor& page) {
    QPalette p = QApplication::palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::ToolTipBase}) p.setColor(role, page);
    // On a dark page, boxes that take input stand a shade lighter, or their frames
    // (drawn darker than the page) would vanish.
    p.setColor(QPalette::Base, page.lightness() < text.lightness() ? Mix(page, text, 0.08) : page);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText,
                                     QPalette::ToolTipText})
        p.setColor(role, text);
    p.setColor(QPalette::AlternateBase, Mix(page, text, 0.05));
    p.setColor(QPalette::Button, Mix(page, text, 0.08));
    p.setColor(QPalette::Midlight, Mix(page, text, 0.15));
    p.setColor(QPalette::Light, Mix(page, text, 0.25));
    p.setColor(QPalette::Mid, Mix(page, text, 0.35));
    p.setColor(QPalette::Dark, Mix(page, text, 0.5));
    p.setColor(QPalette::Shadow, Mix(page, text, 0.7));
    p.setColor(QPalette::Highlight, QColor(0x2A, 0x62, 0xB8));
    p.setColor(QPalette::HighlightedText, Qt::white);
    QColor dimmed = Mix(text, page, 0.4);
    p.setColor(QPalette::PlaceholderText, dimmed);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, dimmed);
    return p;
}

}  // namespace

bool DesktopPrefersDark() {
    return CallOrFail(false, [] {
        EnsureWindowLayer();
        int scheme = PortalColourScheme();
        if (scheme == 1 || scheme == 2) return scheme == 1;
        return DesktopPalette().color(QPalette::Window).lightness() < 128;
    });
}

void SetControlColours(COLORREF text, COLORREF background) {
    CallOrSkip([&] {
        EnsureWindowLayer();
        QPalette now = QApplication::palette(), wanted = PaletteOf(ColourOf(text), ColourOf(background));
        // Every widget is polished again for a new palette: only a change is worth it.
        if (wanted == now) return;
        if (!gOwnPalette || now != *gOwnPalette) gDesktopPalette = now;
        QApplication::setPalette(wanted);
        gOwnPalette = QApplication::palette();
        for (int index = 0; index < kColourIndexes; index++)
            if (gColourBrushes[index]) FollowColour(index, gColourBrushes[index]);
        for (QWidget* widget : QApplication::allWidgets()) {
            // A widget with a style sheet keeps the palette it was first polished with.
            if (!widget->styleSheet().isEmpty()) widget->setPalette(*gOwnPalette);
            if (Window* w = WindowOfWidget(widget); w && w->client == widget && w->background)
                InvalidateRect(w->handle, nullptr, TRUE);
        }
    });
}

// The palette's colours as COLORREF: Win32's system colours.
DWORD GetSysColor(int index) {
    return CallOrFail<DWORD>(0, [&]() -> DWORD {
        EnsureWindowLayer();
        QPalette palette = QApplication::palette();
        QPalette::ColorRole role = index == COLOR_HIGHLIGHTTEXT ? QPalette::HighlightedText
                                   : index == COLOR_HIGHLIGHT   ? QPalette::Highlight
                                   : index == COLOR_BTNFACE     ? QPalette::Window
                                   : index == COLOR_WINDOW      ? QPalette::Base
                                   : index == COLOR_BTNSHADOW   ? QPalette::Dark
                                   : index == COLOR_WINDOWTEXT || index == COLOR_BTNTEXT ? QPalette::WindowText
                                                                                         : QPalette::NoRole;
        QColor colour = role == QPalette::NoRole ? QColor(Qt::black) : palette.color(role);
        return (DWORD)(colour.red() | colour.green() << 8 | colour.blue() << 16);
    });
}

HBRUSH GetSysColorBrush(int index) {
    return CallOrFail<HBRUSH>(nullptr, [&]() -> HBRUSH {
        if (index < 0 || index >= kColourIndexes) return nullptr;
        HBRUSH& brush = gColourBrushes[index];
        if (!brush) brush = CreateSolidBrush(GetSysColor(index));
        // Like the stock objects, they live as long as the program.
        if (auto* object = GdiObjectOf(brush)) object->stock = true;
        FollowColour(index, brush);
        return brush;
    });
}
