// The desktop's colours: night reading follows the desktop's preference unless a
// "Night" value is stored, and every dialog and the side panel draw their texts on
// a background of the same palette, readable under a dark or a light desktop.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTextEdit>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

#include "ShellFixture.h"
#include "reader/FindAll.h"
#include "resources/Commands.h"
#include "views/Palette.h"

namespace {

double Luminance(const QColor& c) {
    auto channel = [](int v) {
        double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double Contrast(const QColor& a, const QColor& b) {
    double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour most of a rectangle (less its frame) is painted in: what its text stands
// on. Shades of a gradient count as one colour, their mean.
QColor CommonColour(const QImage& image, const QRect& area) {
    struct Shade {
        int count = 0;
        long long red = 0, green = 0, blue = 0;
    };
    std::map<int, Shade> shades;
    QRect inside = area.adjusted(2, 2, -2, -2).intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); y++) {
        for (int x = inside.left(); x <= inside.right(); x++) {
            QColor c = image.pixelColor(x, y);
            Shade& s = shades[(c.red() / 16) << 8 | (c.green() / 16) << 4 | c.blue() / 16];
            s.count++;
            s.red += c.red();
            s.green += c.green();
            s.blue += c.blue();
        }
    }
    auto most = std::max_element(shades.begin(), shades.end(),
                                 [](const auto& a, const auto& b) { return a.second.count < b.second.count; });
    if (most == shades.end()) return QColor();
    const Shade& s = most->second;
    return QColor((int)(s.red / s.count), (int)(s.green / s.count), (int)(s.blue / s.count));
}

bool HoldsText(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w)) return !label->text().isEmpty();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return !button->text().isEmpty();
    return qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) || qobject_cast<QTabBar*>(w);
}

// Each visible text of a window against the background it is painted on, as shown.
void ExpectReadable(QWidget* root, const std::string& what) {
    ASSERT_NE(root, nullptr) << what;
    QImage shown = root->grab().toImage();
    int checked = 0;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || w->width() < 4 || w->height() < 4) continue;
        QWidget* painted = w;
        if (auto* view = qobject_cast<QAbstractItemView*>(w)) painted = view->viewport();
        else if (!HoldsText(w)) continue;
        QRect area(painted->mapTo(root, QPoint(0, 0)), painted->size());
        QPalette::ColorGroup group = w->isEnabled() ? QPalette::Active : QPalette::Disabled;
        QColor text = w->palette().color(group, painted->foregroundRole());
        QColor background = CommonColour(shown, area);
        EXPECT_GE(Contrast(text, background), 4.5)
            << what << ": " << w->metaObject()->className() << " " << text.name().toStdString() << " on "
            << background.name().toStdString();
        checked++;
    }
    EXPECT_GT(checked, 0) << what;
}

QPalette DesktopPalette(bool dark) {
    QPalette p;
    QColor page = dark ? QColor(0x24, 0x24, 0x24) : QColor(0xF6, 0xF5, 0xF4);
    QColor text = dark ? QColor(0xEE, 0xEE, 0xEC) : QColor(0x2E, 0x34, 0x36);
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) p.setColor(role, page);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) p.setColor(role, text);
    return p;
}

void ForgetNight() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kProductKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, u"Night");
    RegCloseKey(key);
}

// A desktop whose theme is dark or light, and no settings portal to ask.
class DesktopColours : public ReaderTest {
  protected:
    std::string bus;
    void SetUp() override {
        ReaderTest::SetUp();
        EnsureWindowLayer();
        if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS")) bus = address;
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    void TearDown() override {
        ReaderTest::TearDown();
        QApplication::setPalette(QPalette());
        if (!bus.empty()) setenv("DBUS_SESSION_BUS_ADDRESS", bus.c_str(), 1);
    }
    void StartUnder(bool dark, int width = 480) {
        QApplication::setPalette(DesktopPalette(dark));
        ASSERT_NE(Start(), nullptr);
        SetClientSize(window, width, 600);
        RepaintNow(window, kPaintAll);
    }
    // A command whose dialog is checked, then closed, once it is up.
    void ExpectReadableDialog(std::function<void()> open, const std::string& what) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            seen = dialog != nullptr;
            // A dialog of the program's templates is seen once it has painted.
            Window* made = WindowOfWidget(dialog);
            if (made && made->frame == dialog) UpdateWindow(made->handle);
            ExpectReadable(dialog, what);
            if (made && made->frame == dialog)
                SendMessageW(made->handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            else if (auto* own = qobject_cast<QDialog*>(dialog))
                own->reject();
        });
        open();
        EXPECT_TRUE(seen) << what;
    }
};

}  // namespace

TEST_F(DesktopColours, NightFollowsTheDesktopUntilTheUserChoosesAndThenKeepsTheChoice) {
    struct Case {
        const char* stored;  // the "Night" value, or null for none
        bool darkDesktop;
        bool night;
    } cases[] = {{nullptr, true, true}, {nullptr, false, false}, {"0", true, false}, {"1", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "none");
        ResetAppState();
        if (c.stored) SetProduct(u"Night", REG_DWORD, DwordBytes(c.stored[0] - '0'));
        StartUnder(c.darkDesktop);
        EXPECT_EQ(gNightReading != 0, c.night);
        EXPECT_EQ(Checked(kCmdNight, kCmdFileMenu), c.night);
        DestroyWindow(window);
        // Without a choice nothing is stored, so the next start follows the desktop again.
        EXPECT_EQ(Product(u"Night").status == ERROR_SUCCESS, c.stored != nullptr);
        ForgetNight();
        DrainMessages();
    }
    StartUnder(true);
    Send(WM_COMMAND, kCmdNight);
    DestroyWindow(window);
    EXPECT_EQ(Product(u"Night").data, DwordBytes(0));
}

TEST_F(DesktopColours, EveryDialogAndThePanelReadUnderADarkOrALightDesktopByDayAndByNight) {
    struct Case {
        bool darkDesktop;
        const char* stored;
    } cases[] = {{true, nullptr}, {false, nullptr}, {true, "0"}, {false, "1"}};
    for (const Case& c : cases) {
        std::string what = std::string(c.darkDesktop ? "dark" : "light") + " desktop, Night " +
                           (c.stored ? c.stored : "not stored");
        ResetAppState();
        if (c.stored) SetProduct(u"Night", REG_DWORD, DwordBytes(c.stored[0] - '0'));
        StartUnder(c.darkDesktop, 1000);
        const std::pair<WPARAM, const char*> commands[] = {
            {kCmdSearch, "Search"}, {kCmdGoTo, "Go To"},  {kCmdFont, "Font"},          {kCmdIndex, "Index"},
            {kCmdAbout, "About"},   {kCmdPrint, "Print"}, {kCmdExportPdf, "PDF choice"},
        };
        for (auto [command, name] : commands)
            ExpectReadableDialog([&] { Send(WM_COMMAND, command); }, what + ", " + name);
        std::strcpy((char*)gApp.searchString, "water");
        ExpectReadableDialog([&] { ChooseFromAllHits(window); }, what + ", Find All");
        StopMessageBoxScript();
        ExpectReadableDialog([&] { MessageBoxW(window, u"Not Found!", u"Velun", MB_OK); }, what + ", message");
        ScriptMessageBoxes({});
        ExpectReadable(WidgetOf(window), what + ", side panel");
        DestroyWindow(window);
        ForgetNight();
        DrainMessages();
    }
}
