// Menus read from MENU resources; check marks live in the records and the Qt
// menus are rebuilt from them each time they open.
#include "QtMenu.h"

#include <QKeySequence>
#include <QMenu>
#include <map>
#include <memory>

#include "../LittleEndian.h"
#include "../NoThrow.h"
#include "QtWindow.h"

namespace {

std::map<HMENU, std::unique_ptr<Menu>> gMenus;

HMENU NewMenu() {
    auto menu = std::make_unique<Menu>();
    HMENU handle = (HMENU)menu.get();
    gMenus[handle] = std::move(menu);
    return handle;
}

struct MenuReader {
    const BYTE* p;
    const BYTE* end;
    bool ok = true;

    WORD Word() {
        if (end - p < 2) {
            ok = false;
            return 0;
        }
        WORD w = ReadWord(p);
        p += 2;
        return w;
    }
    std::u16string String() {
        std::u16string s;
        for (WORD c; ok && (c = Word()) != 0;) s.push_back(c);
        return s;
    }
};

// Items up to the one marked MF_END; a pop-up's items follow it directly.
void ReadItems(MenuReader& r, HMENU into, int depth) {
    while (r.ok) {
        WORD flags = r.Word();
        MenuItem item;
        if (!(flags & MF_POPUP)) item.id = r.Word();
        item.text = r.String();
        if (!r.ok) return;
        item.separator = !(flags & MF_POPUP) && item.id == 0 && item.text.empty();
        item.checked = flags & MF_CHECKED;
        if (flags & MF_POPUP) {
            if (depth > 8) return;
            item.popup = NewMenu();
            ReadItems(r, item.popup, depth + 1);
        }
        MenuOf(into)->items.push_back(item);
        if (flags & MF_END) return;
    }
}

// By command: the first item with that command, looking into pop-ups as well.
MenuItem* FindItem(HMENU menu, UINT item, bool byPosition) {
    Menu* m = MenuOf(menu);
    if (!m) return nullptr;
    if (byPosition) return item < m->items.size() ? &m->items[item] : nullptr;
    for (MenuItem& i : m->items) {
        if (!i.popup && !i.separator && i.id == item) return &i;
        if (i.popup)
            if (MenuItem* found = FindItem(i.popup, item, false)) return found;
    }
    return nullptr;
}

QString LabelOf(const std::u16string& text) {
    QString label = QString::fromUtf16(text.c_str());
    label.replace(QChar(0x08), QChar('\t'));
    return label;
}

// The text before the tab names the item; the shortcut after it becomes the
// action's own, which the menu shows at the right and screen readers report as
// the item's key binding. The accelerator table alone carries out the keys, so
// the action never takes them: its button has no focus to match a widget shortcut.
QAction* AddItem(QMenu* qmenu, const std::u16string& text) {
    QString label = LabelOf(text);
    qsizetype tab = label.indexOf(QChar('\t'));
    QKeySequence keys = tab < 0 ? QKeySequence() : QKeySequence::fromString(label.mid(tab + 1));
    if (keys.isEmpty() || keys.toString(QKeySequence::NativeText) != label.mid(tab + 1))
        return qmenu->addAction(label);
    QAction* action = qmenu->addAction(label.left(tab));
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setShortcut(keys);
    action->setShortcutVisibleInContextMenu(true);
    return action;
}

}  // namespace

Menu* MenuOf(HMENU menu) {
    auto it = gMenus.find(menu);
    return it == gMenus.end() ? nullptr : it->second.get();
}

void FillQMenu(QMenu* qmenu, HMENU menu, HWND target) {
    qmenu->clear();
    Menu* m = MenuOf(menu);
    if (!m) return;
    for (const MenuItem& item : m->items) {
        if (item.separator) {
            qmenu->addSeparator();
        } else if (item.popup) {
            QMenu* sub = qmenu->addMenu(LabelOf(item.text));
            FillQMenu(sub, item.popup, target);
        } else {
            QAction* action = AddItem(qmenu, item.text);
            // A toggle stays checkable while off, so that screen readers say "not checked".
            action->setCheckable(item.checkable || item.checked);
            action->setChecked(item.checked);
            UINT id = item.id;
            action->setData(id);
            if (target)
                QObject::connect(action, &QAction::triggered, [target, id] { PostMessageW(target, WM_COMMAND, id, 0); });
        }
    }
}

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name) {
    return CallOrFail<HMENU>(nullptr, [&]() -> HMENU {
        HRSRC resource = FindResourceW(instance, name, RT_MENU);
        const BYTE* data = (const BYTE*)LoadResource(instance, resource);
        if (!data) return nullptr;
        MenuReader r{data, data + SizeofResource(instance, resource)};
        r.Word();  // version
        WORD headerSize = r.Word();
        if (!r.ok || r.end - r.p < headerSize) return nullptr;
        r.p += headerSize;
        HMENU menu = NewMenu();
        ReadItems(r, menu, 0);
        if (!r.ok) {
            DestroyMenu(menu);
            return nullptr;
        }
        return menu;
    });
}

HMENU GetSubMenu(HMENU menu, int position) {
    Menu* m = MenuOf(menu);
    if (!m || position < 0 || position >= (int)m->items.size()) return nullptr;
    return m->items[position].popup;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
    return CallOrFail<DWORD>((DWORD)-1, [&]() -> DWORD {
        MenuItem* i = FindItem(menu, item, check & MF_BYPOSITION);
        if (!i) return (DWORD)-1;
        DWORD previous = i->checked ? MF_CHECKED : MF_UNCHECKED;
        i->checked = check & MF_CHECKED;
        i->checkable = true;
        return previous;
    });
}

BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        MenuItem* i = FindItem(menu, item, byPosition);
        if (!i || !info) return FALSE;
        if (info->fMask & MIIM_STATE) info->fState = i->checked ? MFS_CHECKED : 0;
        if (info->fMask & MIIM_ID) info->wID = i->id;
        if (info->fMask & MIIM_SUBMENU) info->hSubMenu = i->popup;
        if (info->fMask & MIIM_TYPE) {
            info->fType = i->separator ? MF_SEPARATOR : 0;
            if (info->dwTypeData && info->cch > 0) {
                UINT n = std::min<UINT>((UINT)i->text.size(), info->cch - 1);
                std::copy(i->text.begin(), i->text.begin() + n, info->dwTypeData);
                info->dwTypeData[n] = 0;
                info->cch = n;
            } else {
                info->cch = (UINT)i->text.size();
            }
        }
        return TRUE;
    });
}

BOOL DestroyMenu(HMENU menu) {
    Menu* m = MenuOf(menu);
    if (!m) return FALSE;
    for (const MenuItem& item : m->items)
        if (item.popup) DestroyMenu(item.popup);
    gMenus.erase(menu);
    return TRUE;
}

HMENU CreatePopupMenu() {
    return CallOrFail<HMENU>(nullptr, [] { return NewMenu(); });
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        Menu* m = MenuOf(menu);
        if (!m) return FALSE;
        MenuItem item;
        item.separator = flags & MF_SEPARATOR;
        item.id = item.separator ? 0 : (UINT)id;
        if (!item.separator && text) item.text = text;
        item.checked = item.checkable = flags & MF_CHECKED;
        m->items.push_back(item);
        return TRUE;
    });
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND window, const RECT*) {
    return CallOrFail<BOOL>(FALSE, [&]() -> BOOL {
        if (!MenuOf(menu)) return FALSE;
        QMenu popup(WidgetOf(window));
        FillQMenu(&popup, menu, nullptr);
        QAction* chosen = popup.exec(QPoint(x, y));
        UINT id = chosen ? chosen->data().toUInt() : 0;
        if (flags & TPM_RETURNCMD) return (BOOL)id;
        if (id) PostMessageW(window, WM_COMMAND, id, 0);
        return id != 0;
    });
}
