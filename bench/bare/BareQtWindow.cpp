// The yardstick of the start-up benchmark: a bare Qt Widgets program that opens one
// window, draws one line of text in the default font, prints the moment of its
// first paint as the reader does, and ends.
#include <time.h>

#include <QApplication>
#include <QPainter>
#include <QWidget>
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
        std::printf("first-paint-ns %lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
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
    window.resize(240, 320);
    window.show();
    return app.exec();
}
