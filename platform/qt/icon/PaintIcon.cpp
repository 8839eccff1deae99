#include "PaintIcon.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPolygonF>

std::vector<unsigned char> PaintIconPng(const IconDrawing& drawing, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.scale((double)size / kIconGrid, (double)size / kIconGrid);
        for (int i = 0; i < drawing.count; i++) {
            const IconShape& s = drawing.shapes[i];
            QPolygonF shape;
            for (const auto& p : s.points) shape << QPointF(p[0], p[1]);
            painter.setBrush(QColor::fromRgba(s.colour));
            painter.drawPolygon(shape);
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return std::vector<unsigned char>(png.begin(), png.end());
}
