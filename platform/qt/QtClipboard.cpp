// The clipboard on Qt. A block handed over with SetClipboardData belongs to the
// clipboard and is what GetClipboardData returns while our data is on it. Other
// programs see Unicode text as text/plain (UTF-8) with the desktop's LF line ends
// and registered formats under a MIME type ("Rich Text Format" as text/rtf); what
// they put there is converted back into local blocks (text with CR LF, as the
// clipboard's text has it) that live until the clipboard is closed.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <memory>
#include <map>
#include <string>
#include <vector>

#include "../NoThrow.h"
#include "../Utf16.h"
#include "../win32.h"
#include "../Desktop.h"
#include "QtApp.h"

namespace {

constexpr UINT kFirstRegisteredFormat = 0xC000;

struct RegisteredFormat {
    std::u16string name;
    QString mimeType;
};

struct ClipboardState {
    bool open = false;
    bool changed = false;                  // emptied or set since opening: published on closing
    std::map<UINT, HLOCAL> owned;          // handed-over blocks by format
    std::vector<HLOCAL> converted;         // other programs' data, freed on closing
    const QMimeData* published = nullptr;  // our data while it is still on the clipboard
    bool publishing = false;

    // The blocks still held when the program ends are freed with the clipboard.
    ~ClipboardState() {
        for (const auto& entry : owned) LocalFree(entry.second);
        for (HLOCAL block : converted) LocalFree(block);
    }
};

ClipboardState gClipboard;
std::vector<RegisteredFormat> gFormats;

QString MimeTypeFor(const std::u16string& name) {
    QString text = QString::fromStdU16String(name);
    if (text.compare("Rich Text Format", Qt::CaseInsensitive) == 0) return "text/rtf";
    return "application/x-clipboard-format;name=\"" + text + "\"";
}

const RegisteredFormat* RegisteredFormatOf(UINT format) {
    if (format < kFirstRegisteredFormat || format - kFirstRegisteredFormat >= gFormats.size()) return nullptr;
    return &gFormats[format - kFirstRegisteredFormat];
}

QClipboard* SystemClipboard() {
    EnsureQtApplication();
    QClipboard* clipboard = QGuiApplication::clipboard();
    static bool sWatching = false;
    if (!sWatching) {
        sWatching = true;
        // Another program took the clipboard: our blocks no longer describe it.
        QObject::connect(clipboard, &QClipboard::dataChanged, [] {
            if (!gClipboard.publishing) gClipboard.published = nullptr;
        });
    }
    return clipboard;
}

// Units or bytes before the terminator, never looking past the block.
qsizetype UnitsBefore0(const char16_t* units, size_t bytes) {
    size_t n = 0;
    while (n < bytes / sizeof(char16_t) && units[n]) n++;
    return (qsizetype)n;
}

qsizetype BytesBefore0(const char* bytes, size_t size) {
    size_t n = 0;
    while (n < size && bytes[n]) n++;
    return (qsizetype)n;
}

void Publish() {
    // Ours until the clipboard takes it: memory running out on the way frees it.
    std::unique_ptr<QMimeData> owned(new QMimeData);
    QMimeData* data = owned.get();
    for (const auto& [format, block] : gClipboard.owned) {
        size_t size = LocalSize(block);
        if (format == CF_UNICODETEXT) {
            auto* units = (const char16_t*)block;
            std::u16string text(units, (size_t)UnitsBefore0(units, size));
            QString lf = QString::fromStdU16String(WithLfLineEnds((const WCHAR*)text.c_str()));
            data->setText(lf);
            data->setData("text/plain;charset=utf-8", lf.toUtf8());
        } else if (const RegisteredFormat* f = RegisteredFormatOf(format)) {
            auto* bytes = (const char*)block;
            data->setData(f->mimeType, QByteArray(bytes, BytesBefore0(bytes, size)));
        }
    }
    gClipboard.publishing = true;
    SystemClipboard()->setMimeData(owned.release());  // Qt owns it from here
    gClipboard.publishing = false;
    gClipboard.published = data;
}

HLOCAL CopyToBlock(const void* source, size_t size, size_t terminator) {
    HLOCAL block = LocalAlloc(LMEM_ZEROINIT, size + terminator);
    if (!block) return nullptr;
    memcpy(block, source, size);
    gClipboard.converted.push_back(block);
    return block;
}

HLOCAL ConvertForeign(const QMimeData* data, UINT format) {
    if (!data) return nullptr;
    if (format == CF_UNICODETEXT) {
        if (!data->hasText()) return nullptr;
        std::u16string text = WithCrLfLineEnds(data->text().toStdU16String());
        return CopyToBlock(text.data(), text.size() * sizeof(char16_t), sizeof(char16_t));
    }
    const RegisteredFormat* f = RegisteredFormatOf(format);
    if (!f || !data->hasFormat(f->mimeType)) return nullptr;
    QByteArray bytes = data->data(f->mimeType);
    return CopyToBlock(bytes.constData(), bytes.size(), 1);
}

void FreeOwned() {
    for (const auto& entry : gClipboard.owned) LocalFree(entry.second);
    gClipboard.owned.clear();
}

}  // namespace

BOOL OpenClipboard(HWND) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        if (gClipboard.open) return FALSE;
        gClipboard.open = true;
        gClipboard.changed = false;
        return TRUE;
    });
}

BOOL CloseClipboard() {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        if (!gClipboard.open) return FALSE;
        gClipboard.open = false;
        for (HLOCAL block : gClipboard.converted) LocalFree(block);
        gClipboard.converted.clear();
        if (gClipboard.changed) Publish();
        return TRUE;
    });
}

BOOL EmptyClipboard() {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        if (!gClipboard.open) return FALSE;
        FreeOwned();
        gClipboard.changed = true;
        return TRUE;
    });
}

HANDLE GetClipboardData(UINT format) {
    return CallOrFail<HANDLE>(nullptr, [&]() -> HANDLE {
        if (!gClipboard.open) return nullptr;
        const QMimeData* data = SystemClipboard()->mimeData();
        bool ours = gClipboard.changed || (gClipboard.published && data == gClipboard.published);
        if (!ours) return ConvertForeign(data, format);
        auto it = gClipboard.owned.find(format);
        return it == gClipboard.owned.end() ? nullptr : it->second;
    });
}

// The clipboard takes the block; a format it cannot offer leaves it with the caller.
HANDLE SetClipboardData(UINT format, HANDLE mem) {
    return CallOrFail<HANDLE>(nullptr, [&]() -> HANDLE {
        if (!gClipboard.open || !mem || (format != CF_UNICODETEXT && !RegisteredFormatOf(format))) return nullptr;
        HLOCAL& slot = gClipboard.owned[format];
        if (slot && slot != mem) LocalFree(slot);
        slot = mem;
        gClipboard.changed = true;
        return mem;
    });
}

UINT RegisterClipboardFormatW(LPCWSTR name) {
    return CallOrFail<UINT>(0u, [&]() -> UINT {
        if (!name || !*name) return 0;
        for (size_t i = 0; i < gFormats.size(); i++)
            if (_wcsicmp(gFormats[i].name.c_str(), name) == 0) return kFirstRegisteredFormat + (UINT)i;
        gFormats.push_back({name, MimeTypeFor(name)});
        return kFirstRegisteredFormat + (UINT)(gFormats.size() - 1);
    });
}

void SetPrimarySelection(const WCHAR* text) {
    CallOrSkip([&] {
        QClipboard* clipboard = SystemClipboard();
        if (!clipboard->supportsSelection()) return;
        QString value = text ? QString::fromStdU16String(WithLfLineEnds(text)) : QString();
        if (value.isEmpty()) {
            clipboard->clear(QClipboard::Selection);
            return;
        }
        clipboard->setText(value, QClipboard::Selection);
    });
}
