// platform/qt/ serves platform/'s calls on Qt 6 Widgets: the only folder that uses Qt.
#include "../Picture.h"

#include <QImage>

#include "QtApp.h"
#include "QtGdi.h"

HDC CreatePictureDC(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    EnsureQtApplication();  // fonts need the application
    auto* picture = new QImage(width, height, QImage::Format_RGB32);
    if (picture->isNull()) {
        delete picture;
        return nullptr;
    }
    picture->fill(Qt::white);
    HDC dc = CreateImageDC(picture);
    if (!dc) delete picture;
    return dc;
}

bool WritePicturePng(HDC dc, const char* path) {
    QImage* picture = ImageOfDC(dc);
    return picture && picture->save(QString::fromUtf8(path), "PNG");
}

void DestroyPictureDC(HDC dc) {
    QImage* picture = ImageOfDC(dc);
    DestroyImageDC(dc);
    delete picture;
}
