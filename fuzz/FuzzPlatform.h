// The clipboard of the harnesses: one block per format, held in memory.
#pragma once

#include "platform/win32.h"

// The registered "Rich Text Format" of this clipboard.
constexpr UINT kFuzzRtfFormat = 0xC000;

// Puts a copy of the bytes on the clipboard as another program would.
void PutOnFuzzClipboard(UINT format, const void* data, size_t size);
// The block held for a format, or null.
HLOCAL FuzzClipboardBlock(UINT format);
void ClearFuzzClipboard();
