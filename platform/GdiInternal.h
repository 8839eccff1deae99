// Helpers shared by the GDI source files; not for callers of the API.
#pragma once

#include "Surface.h"

// The object behind a live handle (stock or created), or null.
GdiObject* GdiObjectOf(HGDIOBJ handle);
template <class T>
T* GdiObjectAs(HGDIOBJ handle, GdiKind kind) {
    GdiObject* object = GdiObjectOf(handle);
    return object && object->kind == kind ? static_cast<T*>(object) : nullptr;
}
// Registers a created object so that its handle becomes valid.
HGDIOBJ RegisterGdiObject(GdiObject* object);
// Metrics of the font selected into the DC.
SurfaceFontMetrics SelectedFontMetrics(GdiDC* dc);
