// The article index dialog.
#pragma once

#include "../platform/win32.h"
#include "../views/Fonts.h"

// Returns the article chosen, or 0 when none was.
uint16_t OpenIndexDialog(HINSTANCE instance, HWND owner, int currentArticle, FontSettings* settings);
