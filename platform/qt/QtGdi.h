// What the Qt window layer needs from GDI: device contexts over its images, and
// Qt forms of fonts and bitmaps for its widgets.
#pragma once

#include <QFont>
#include <QImage>
#include <functional>

#include "../win32.h"

// A DC drawing into an image owned by the caller (a window's client image). The
// image may be reassigned (resized) while the DC lives; onDraw runs after every
// drawing call so the window can schedule a repaint, beforeDraw before every one
// (and before the image is handed out) so the window can make its image only then.
// DestroyImageDC leaves the image alone.
HDC CreateImageDC(QImage* image, std::function<void()> onDraw = {}, std::function<void()> beforeDraw = {});
void DestroyImageDC(HDC dc);
// The image a DC draws into; null for DCs that are not image DCs.
QImage* ImageOfDC(HDC dc);

// A copy of a bitmap's pixels (RGB32); a null image for anything but a live bitmap.
QImage ImageOfBitmap(HBITMAP bitmap);
// The Qt font matching what the surface draws for a font handle (the default font
// for anything but a live font).
QFont QFontOfHandle(HFONT font);
// Conversions between font descriptions and Qt fonts (lfHeight negative: pixels).
QFont QFontFromLogFont(const LOGFONTW& font);
LOGFONTW LogFontFromQFont(const QFont& font);
