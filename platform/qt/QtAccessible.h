// What the text and tree interfaces of the screen-reader layer share.
#pragma once

#include <QAccessible>
#include <QString>

#include "../win32.h"

inline QString FromUnits(const WCHAR* text) {
    return text ? QString::fromUtf16((const char16_t*)text) : QString();
}

// A rectangle of a window's client area in screen coordinates, or the empty one.
QRect ScreenBox(HWND window, const RECT& box);

// The interface of a window's client area published as a tree, or null.
QAccessibleInterface* MakeTreeInterface(QWidget* client, HWND window);
bool IsTreeInterface(QAccessibleInterface* face);
bool IsPublishedTree(HWND window);
// Registers the factory that gives published windows their interfaces.
void InstallAccessibility();
// The client widget of a window, with any interface made before the window
// published anything dropped (first), so the next query finds ours.
QWidget* PublishingClient(HWND window, bool first);
