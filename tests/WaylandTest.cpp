// The reader on a Wayland desktop: a headless compositor of its own, the reader
// on Qt's Wayland platform, its picture taken by the compositor's screenshooter.
// The headless compositor has no input devices, so keys reach the reader through
// its one-instance link, as posted key messages.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLibraryInfo>
#include <QProcess>
#include <QStandardPaths>
#include <thread>

#include "ReaderProcess.h"
#include "platform/qt/QtWindow.h"

namespace {

const char kDisplay[] = "velun-test-wayland";
const char kSettingsKey[] = "[HKEY_CURRENT_USER\\Software\\Velmora\\Tessaly-Velun]\n";
// left 100, top 80, right 800, bottom 640, not maximised
const char kPlacement[] =
    "\"WindowPlacement\"=hex:64,00,00,00,50,00,00,00,20,03,00,00,80,02,00,00,00,00,00,00\n";

class Compositor {
  public:
    explicit Compositor(const ReaderFolder& folder) : runtime_(QString::fromStdString(folder.dir + "/runtime")) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime_);
        process_.setProcessEnvironment(env);
        process_.setWorkingDirectory(QString::fromStdString(folder.dir));
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start("weston", {"--backend=headless-backend.so", QString("--socket=") + kDisplay, "--width=1024",
                                  "--height=768", "--use-pixman", "--debug"});
    }
    ~Compositor() {
        process_.terminate();
        if (!process_.waitForFinished(5000)) process_.kill(), process_.waitForFinished(2000);
    }
    bool Ready() {
        for (int waited = 0; waited < 10000; waited += 50) {
            if (QFile::exists(runtime_ + "/" + kDisplay)) return true;
            if (process_.state() == QProcess::NotRunning) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    // The whole output as the compositor shows it, or a null image.
    QImage Screenshot() {
        QDir folder(process_.workingDirectory());
        for (const QString& old : folder.entryList({"wayland-screenshot*.png"})) folder.remove(old);
        QProcess shooter;
        QProcessEnvironment env = process_.processEnvironment();
        env.insert("WAYLAND_DISPLAY", kDisplay);
        shooter.setProcessEnvironment(env);
        shooter.setWorkingDirectory(folder.path());
        shooter.start("weston-screenshooter", {}, QIODevice::NotOpen);
        if (!shooter.waitForFinished(5000)) shooter.kill(), shooter.waitForFinished(2000);
        QStringList shots = folder.entryList({"wayland-screenshot*.png"});
        return shots.isEmpty() ? QImage() : QImage(folder.filePath(shots.first()));
    }
    QByteArray Log() { return process_.readAll(); }

  private:
    QString runtime_;
    QProcess process_;
};

// The running reader's side of the one-instance link, spoken as another start does.
class Link {
  public:
    explicit Link(const ReaderFolder& folder) : folder_(folder) {}
    QByteArray Ask(const QByteArray& request) {
        QDir runtime(QString::fromStdString(folder_.dir + "/runtime"));
        QStringList sockets = runtime.entryList({"*.socket"}, QDir::System);
        if (sockets.isEmpty()) return {};
        QProcess client;  // a plain stream socket client keeps the test free of a network library
        const char* script =
            "import socket,sys\n"
            "s=socket.socket(socket.AF_UNIX);s.settimeout(5);s.connect(sys.argv[1])\n"
            "s.sendall(sys.argv[2].encode()+b'\\n');print(s.makefile().readline().strip())";
        client.start("/usr/bin/python3", {"-c", script, runtime.filePath(sockets.first()), QString::fromUtf8(request)});
        client.waitForFinished(8000);
        return client.readAllStandardOutput().trimmed();
    }
    // The main window's number on the link, once the reader answers.
    QByteArray MainWindow() {
        for (int waited = 0; waited < 15000; waited += 100) {
            QList<QByteArray> reply = Ask("QUERY").split(' ');
            if (reply.size() == 2 && reply[0] == "WINDOW") return reply[1];
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return {};
    }

  private:
    const ReaderFolder& folder_;
};

// Pixels in the blue of the article's headings (the desktop around has none).
int HeadingPixels(const QImage& image) {
    int blue = 0;
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); y++)
        for (int x = 0; x < rgb.width(); x++) {
            QRgb p = rgb.pixel(x, y);
            blue += qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) > 200;
        }
    return blue;
}

std::string PlacementLine(const std::string& settings) {
    size_t at = settings.find("\"WindowPlacement\"");
    return at == std::string::npos ? std::string() : settings.substr(at, settings.find('\n', at) - at + 1);
}

TEST(Wayland, TheReaderDrawsTakesKeysKeepsItsSettingsAndHandsOverToASecondStart) {
    if (QStandardPaths::findExecutable("weston").isEmpty()) GTEST_SKIP() << "weston is not installed";
    ASSERT_TRUE(QFile::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms/libqwayland-generic.so"))
        << "Qt's Wayland platform (qt6-wayland) is not installed";
    EnsureWindowLayer();
    ReaderFolder folder;
    folder.WriteSettings(std::string(kSettingsKey) + kPlacement);
    Compositor weston(folder);
    ASSERT_TRUE(weston.Ready()) << weston.Log().data();
    const std::vector<std::string> wayland = {"QT_QPA_PLATFORM=wayland", std::string("WAYLAND_DISPLAY=") + kDisplay};
    ReaderProcess reader(folder, false, wayland);
    Link link(folder);
    QByteArray main = link.MainWindow();
    ASSERT_FALSE(main.isEmpty()) << reader.Errors();

    // It draws the article, and a page key moves it on.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    QImage first = weston.Screenshot();
    ASSERT_FALSE(first.isNull()) << weston.Log().data();
    EXPECT_GT(HeadingPixels(first), 200);
    EXPECT_EQ(link.Ask("SEND " + main + " 256 34 0"), "OK");  // WM_KEYDOWN, Page Down
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    QImage paged = weston.Screenshot();
    EXPECT_NE(first, paged);

    // Bringing it forward, with the launcher's token or without (an older start's request).
    EXPECT_EQ(link.Ask("RAISE " + main + " launcher%20token"), "OK");
    EXPECT_EQ(link.Ask("RAISE " + main), "OK");
    // A second start hands over and ends; the headless desktop activates no window,
    // so it asks the reader to come forward, passing the launcher's token on.
    std::vector<std::string> second = wayland;
    second.push_back("XDG_ACTIVATION_TOKEN=from-the-launcher");
    ReaderProcess again(folder, false, second);
    EXPECT_EQ(again.Wait(), 0) << again.Errors();
    EXPECT_EQ(link.Ask("QUERY"), "WINDOW " + main);
    // The index dialog opens as the reader's transient.
    EXPECT_EQ(link.Ask("SEND " + main + " 273 119 0"), "OK");  // WM_COMMAND, the index
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    EXPECT_NE(weston.Screenshot(), paged);

    // Ended from outside, it keeps the page it was on, its size and the place it was
    // given on a desktop where it could place itself.
    reader.Signal(SIGTERM);
    ASSERT_EQ(reader.Wait(), 0) << reader.Errors();
    std::string settings = folder.ReadSettings();
    EXPECT_EQ(settings.find("\"LastPosition\"=dword:00000000"), std::string::npos) << settings;
    EXPECT_EQ(PlacementLine(settings), kPlacement) << settings;
}

}  // namespace
