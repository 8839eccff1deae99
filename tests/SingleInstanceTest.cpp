// One instance per user and settings folder, with real processes: a second start
// hands over to the first as the window in front decides, two simultaneous
// starts leave one window, and a termination signal ends the first normally.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

#include "platform/qt/QtWindow.h"

namespace {

class Probe {
  public:
    explicit Probe(const QString& configDir) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", configDir);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start(VELUN_INSTANCE_PROBE, {});
    }
    ~Probe() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }
    // Waits for a whole line of output equal to line; earlier lines are used up.
    bool WaitFor(const QByteArray& line, int ms = 8000) {
        for (int waited = 0;; waited += 50) {
            while (process_.canReadLine()) {
                QByteArray got = process_.readLine().trimmed();
                if (got == line) return true;
            }
            if (waited >= ms) return false;
            if (!process_.waitForReadyRead(50) && process_.state() == QProcess::NotRunning && !process_.canReadLine())
                return false;
        }
    }
    QByteArray FirstLine() {
        if (!process_.canReadLine()) process_.waitForReadyRead(8000);
        while (!process_.canReadLine() && process_.waitForReadyRead(100)) {
        }
        return process_.readLine().trimmed();
    }
    void Tell(const char* command) { process_.write(command), process_.waitForBytesWritten(1000); }
    int ExitCode() {
        process_.waitForFinished(8000);
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }
    QByteArray Rest() {
        process_.waitForFinished(8000);
        return process_.readAll();
    }
    void Signal(int signal) { ::kill((pid_t)process_.processId(), signal); }

  private:
    QProcess process_;
};

class SingleInstanceTest : public ::testing::Test {
  protected:
    void SetUp() override { EnsureWindowLayer(); }
    QTemporaryDir config_;
};

TEST_F(SingleInstanceTest, ASecondStartHandsOverAsTheWindowInFrontDecides) {
    Probe first(config_.path());
    ASSERT_TRUE(first.WaitFor("primary"));
    ASSERT_TRUE(first.WaitFor("active"));

    // The main window in front: it opens its index.
    Probe second(config_.path());
    EXPECT_EQ(second.Rest().trimmed(), "sent-index");
    EXPECT_EQ(second.ExitCode(), 0);
    EXPECT_TRUE(first.WaitFor("index"));

    // Something else in front: the main window is brought forward.
    first.Tell("other\n");
    ASSERT_TRUE(first.WaitFor("inactive"));
    Probe third(config_.path());
    EXPECT_EQ(third.Rest().trimmed(), "front");
    EXPECT_TRUE(first.WaitFor("active"));

    // One of its dialogs in front: nothing happens.
    first.Tell("dialog\n");
    ASSERT_TRUE(first.WaitFor("dialog-open"));
    ASSERT_TRUE(first.WaitFor("inactive"));
    Probe fourth(config_.path());
    EXPECT_EQ(fourth.Rest().trimmed(), "nothing");

    // A termination signal ends the first through its own exit, dialog open or not.
    first.Signal(SIGTERM);
    EXPECT_TRUE(first.WaitFor("end-request"));
    EXPECT_TRUE(first.WaitFor("ended"));
    EXPECT_EQ(first.ExitCode(), 0);
}

TEST_F(SingleInstanceTest, TwoSimultaneousStartsLeaveOneWindow) {
    Probe a(config_.path());
    Probe b(config_.path());
    QByteArray first = a.FirstLine(), second = b.FirstLine();
    EXPECT_EQ((first == "primary") + (second == "primary"), 1) << first.data() << " / " << second.data();
    Probe& primary = first == "primary" ? a : b;
    Probe& other = first == "primary" ? b : a;
    EXPECT_EQ(other.ExitCode(), 0);
    primary.Signal(SIGINT);
    EXPECT_TRUE(primary.WaitFor("ended"));
    EXPECT_EQ(primary.ExitCode(), 0);
}

TEST_F(SingleInstanceTest, SeparateSettingsFoldersDoNotMeet) {
    QTemporaryDir otherConfig;
    Probe a(config_.path());
    ASSERT_TRUE(a.WaitFor("primary"));
    Probe b(otherConfig.path());
    EXPECT_TRUE(b.WaitFor("primary"));
    a.Signal(SIGHUP);
    b.Signal(SIGTERM);
    EXPECT_EQ(a.ExitCode(), 0);
    EXPECT_EQ(b.ExitCode(), 0);
}

}  // namespace
