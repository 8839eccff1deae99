// The yardstick of the start-up benchmark: a bare Qt Widgets program that opens one
// window of the reader's first size, draws one line of text in the default font,
// prints the moment of its first paint as the reader does, and ends.
#include <sys/resource.h>
#include <time.h>

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdio>

namespace {

class Window : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.drawText(8, 20, QStringLiteral("The quick brown fox jumps over the lazy dog."));
        if (painted) return;
        painted = true;
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        long long cpuUs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL + usage.ru_utime.tv_usec +
                          usage.ru_stime.tv_usec;
        std::printf("first-paint-ns %lld cpu-us %lld rss-kb %ld\n",
                    (long long)now.tv_sec * 1000000000LL + now.tv_nsec, cpuUs, usage.ru_maxrss);
        std::fflush(stdout);
        QApplication::quit();
    }

private:
    bool painted = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Window window;
    window.setWindowTitle("Bare");
    // The reader's first size: nine tenths of the screen's height and a page's
    // proportion across, or the whole of a small screen.
    QSize screen = window.screen()->availableSize();
    int height = screen.height() * 9 / 10;
    int width = std::min(screen.width() * 9 / 10, std::max(640, height * 3 / 4));
    window.resize(screen.width() <= 640 || screen.height() <= 480 ? screen : QSize(width, height));
    window.show();
    return app.exec();
}
