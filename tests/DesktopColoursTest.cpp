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
#include <cstdlib>
#include <functional>
#include <map>

#include "Contrast.h"
#include "ShellFixture.h"
#include "reader/FindAll.h"
#include "resources/Commands.h"
#include "views/Palette.h"

namespace {

COLORREF Ref(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

// The colour most of a rectangle (less its frame) is painted in: what its text stands
// on. Shades of a gradient count as one colour.
QColor CommonColour(const QImage& image, const QRect& area) {
    std::map<int, std::pair<int, QColor>> shades;
    QRect inside = area.adjusted(2, 2, -2, -2).intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); y++) {
        for (int x = inside.left(); x <= inside.right(); x++) {
            QColor c = image.pixelColor(x, y);
            auto& shade = shades[(c.red() / 16) << 8 | (c.green() / 16) << 4 | c.blue() / 16];
            shade = {shade.first + 1, c};
        }
    }
    auto most = std::max_element(shades.begin(), shades.end(),
                                 [](const auto& a, const auto& b) { return a.second.first < b.second.first; });
    return most == shades.end() ? QColor() : most->second.second;
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
        EXPECT_GE(Contrast(Ref(text), Ref(background)), 4.5)
            << what << ": " << w->metaObject()->className() << " " << text.name().toStdString() << " on "
            << background.name().toStdString();
        checked++;
    }
    EXPECT_GT(checked, 0) << what;
}

QPalette DesktopPalette(bool dark) {
    QPalette p(dark ? QColor(0x24, 0x24, 0x24) : QColor(0xF6, 0xF5, 0xF4));
    p.setColor(QPalette::WindowText, dark ? QColor(0xEE, 0xEE, 0xEC) : QColor(0x2E, 0x34, 0x36));
    return p;
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
    // A reader started with a stored "Night" (null: none) under a dark or light desktop.
    void StartWith(const char* night, bool dark, int width) {
        ResetAppState();
        HKEY key;
        RegOpenKeyExW(HKEY_CURRENT_USER, kProductKey, 0, KEY_ALL_ACCESS, &key);
        RegDeleteValueW(key, u"Night");
        RegCloseKey(key);
        if (night) SetProduct(u"Night", REG_DWORD, DwordBytes(night[0] - '0'));
        QApplication::setPalette(DesktopPalette(dark));
        ASSERT_NE(Start(), nullptr);
        SetClientSize(window, width, 600);
        RepaintNow(window, kPaintAll);
    }
    void Stop() {
        DestroyWindow(window);
        DrainMessages();
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
    const struct {
        const char* stored;
        bool darkDesktop, night;
    } cases[] = {{nullptr, true, true}, {nullptr, false, false}, {"0", true, false}, {"1", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "none");
        StartWith(c.stored, c.darkDesktop, 480);
        EXPECT_EQ(gNightReading != 0, c.night);
        EXPECT_EQ(Checked(kCmdNight, kCmdFileMenu), c.night);
        Stop();
        // Without a choice nothing is stored, so the next start follows the desktop again.
        EXPECT_EQ(Product(u"Night").status == ERROR_SUCCESS, c.stored != nullptr);
    }
    StartWith(nullptr, true, 480);
    Send(WM_COMMAND, kCmdNight);
    Stop();
    EXPECT_EQ(Product(u"Night").data, DwordBytes(0));
}

TEST_F(DesktopColours, EveryDialogAndThePanelReadUnderADarkOrALightDesktopByDayAndByNight) {
    const std::pair<bool, const char*> cases[] = {{true, nullptr}, {false, nullptr}, {true, "0"}, {false, "1"}};
    for (auto [dark, stored] : cases) {
        std::string what = std::string(dark ? "dark" : "light") + " desktop, Night " + (stored ? stored : "-");
        StartWith(stored, dark, 1000);
        for (WPARAM command : {kCmdSearch, kCmdGoTo, kCmdFont, kCmdIndex, kCmdAbout, kCmdPrint, kCmdExportPdf})
            ExpectReadableDialog([&] { Send(WM_COMMAND, command); }, what + ", command " + std::to_string(command));
        std::strcpy((char*)gApp.searchString, "water");
        ExpectReadableDialog([&] { ChooseFromAllHits(window); }, what + ", Find All");
        StopMessageBoxScript();
        ExpectReadableDialog([&] { MessageBoxW(window, u"Not Found!", u"Velun", MB_OK); }, what + ", message");
        ScriptMessageBoxes({});
        ExpectReadable(WidgetOf(window), what + ", side panel");
        Send(WM_COMMAND, kCmdNight);
        DrainMessages();  // the bars' and the panel's repaints
        ExpectReadable(WidgetOf(window), what + ", bars and panel after Night turned");
        Stop();
    }
}
