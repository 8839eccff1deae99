#!/usr/bin/python3
"""Walks a running reader through AT-SPI and checks what a screen reader meets.

Usage: Walk.py READER. Runs inside its own D-Bus session on a private X display;
starts the reader, checks it, ends it. Prints one line per failed check and
"walk: N failures" last; the exit status is 0 only without failures.
"""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)
    return ok


def pump(seconds):
    end = time.time() + seconds
    ctx = GLib.MainContext.default()
    while time.time() < end:
        while ctx.iteration(False):
            pass
        time.sleep(0.02)


def find(root, pred, depth=0):
    if root is None or depth > 30:
        return None
    try:
        if pred(root):
            return root
        for child in root:
            hit = find(child, pred, depth + 1)
            if hit is not None:
                return hit
    except Exception:
        return None
    return None


def walk_all(root, depth=0):
    if root is None or depth > 30:
        return
    yield root
    for child in root:
        yield from walk_all(child, depth + 1)


def app(name):
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for a in desktop:
            if a is not None and a.name == name:
                return a
        pump(0.1)
    return None


def key(name):
    subprocess.run(["xdotool", "key", name], check=False)
    pump(0.4)


def article_of(application):
    return find(application, lambda o: o.getRole() == pyatspi.ROLE_DOCUMENT_FRAME)


def text_checks(doc):
    text = doc.queryText()
    count = text.characterCount
    whole = text.getText(0, -1)
    check("\r" not in whole, "line ends are LF")
    check("-" * 24 not in whole, "a rule is not dashes")
    check(doc.getState().contains(pyatspi.STATE_READ_ONLY), "the article is read-only")
    check(doc.getState().contains(pyatspi.STATE_MULTI_LINE), "the article is multi-line")
    # Every shown character's box leads back to it.
    shown = 0
    for offset in range(0, min(count, 400)):
        if whole[offset] in " \n":
            continue
        x, y, w, h = text.getCharacterExtents(offset, pyatspi.DESKTOP_COORDS)
        if w <= 0:
            continue
        shown += 1
        back = text.getOffsetAtPoint(x + w // 2, y + h // 2, pyatspi.DESKTOP_COORDS)
        check(back == offset, "hit test of the box of %d gives %d" % (offset, back))
    check(shown > 20, "characters on the page have boxes (%d)" % shown)
    # The caret and the selection round trip.
    check(text.setCaretOffset(5) and text.caretOffset == 5, "the caret set is the caret read")
    text.setSelection(0, 12, 3) if text.getNSelections() else text.addSelection(12, 3)
    pump(0.3)
    check(text.getNSelections() == 1 and tuple(text.getSelection(0)) == (3, 12), "a selection in any order")
    text.removeSelection(0)
    pump(0.3)
    check(text.getNSelections() == 0, "a removed selection is gone")
    return text


def fuzz(doc):
    text = doc.queryText()
    count = text.characterCount
    for offset in (-5, -1, count, count + 1, 1 << 30, -(1 << 30)):
        check(tuple(text.getCharacterExtents(offset, pyatspi.DESKTOP_COORDS))[2] <= 0, "no box at %d" % offset)
        check(text.getText(offset, offset + 3) == "", "no text at %d" % offset)
        text.getAttributeRun(offset, False)
        text.getTextAtOffset(offset, pyatspi.TEXT_BOUNDARY_LINE_START)
        caret = text.caretOffset
        text.setCaretOffset(offset)
        pump(0.1)
        check(text.caretOffset == caret or offset == count, "the caret stays for %d" % offset)
        text.setSelection(0, offset, 2)
        text.addSelection(offset, -offset)
    check(text.getText(5, 2) == "", "an end before the start gives no text")
    check(text.getOffsetAtPoint(-10000, -10000, pyatspi.DESKTOP_COORDS) == -1, "no offset far off the page")


def language_checks(doc, want):
    text = doc.queryText()
    whole = text.getText(0, -1)
    first = next(i for i, c in enumerate(whole) if "\u05d0" <= c <= "\u05ea") if want == "he" else 0
    attrs, start, end = text.getAttributeRun(first, False)
    attrs = dict(a.split(":", 1) for a in attrs)
    check(attrs.get("language") == want, "language %s at %d: %s" % (want, first, attrs))
    check(attrs.get("direction") == ("rtl" if want == "he" else "ltr"), "direction at %d: %s" % (first, attrs))
    return first


def select_in_a_long_line(text, start, end):
    """Selects [start, end) counted from the first offset that begins 60
    characters without a line end, and returns that offset."""
    whole = text.getText(0, -1)
    line = next(i for i in range(len(whole)) if "\n" not in whole[i:i + 60])
    text.setSelection(0, line + start, line + end) if text.getNSelections() else text.addSelection(line + start, line + end)
    pump(0.3)
    return line


def highlight_checks(application, doc):
    """A highlight is a run with its own background; a note is the description
    of the text while the caret stands in its passage."""
    text = doc.queryText()
    line = select_in_a_long_line(text, 3, 12)
    key("ctrl+h")
    attrs, start, end = text.getAttributeRun(line + 5, False)
    attrs = dict(a.split(":", 1) for a in attrs)
    check(attrs.get("bg-color") and (start, end) == (line + 3, line + 12),
          "a highlight is a run with a background: %s %d-%d" % (attrs, start - line, end - line))
    attrs, start, end = text.getAttributeRun(line + 20, False)
    attrs = dict(a.split(":", 1) for a in attrs)
    check("bg-color" not in attrs and start == line + 12, "the text after it has none: %s from %d" % (attrs, start - line))
    text.setSelection(0, line + 30, line + 40)
    pump(0.3)
    key("ctrl+shift+h")
    subprocess.run(["xdotool", "type", "Read twice"], check=False)
    press(application, "OK")
    text.setCaretOffset(line + 33)
    pump(0.4)
    check(doc.description == "Read twice", "the note is the description at its passage: %r" % doc.description)
    text.setCaretOffset(line + 50)
    pump(0.4)
    check(doc.description == "", "no description outside it: %r" % doc.description)


def named_controls(application):
    unnamed = []
    for o in walk_all(application):
        role = o.getRole()
        if role in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_ENTRY, pyatspi.ROLE_MENU_ITEM,
                    pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME, pyatspi.ROLE_TREE,
                    pyatspi.ROLE_DOCUMENT_FRAME, pyatspi.ROLE_PAGE_TAB):
            if not o.name or "\t" in o.name or o.name in ("\u00d7", "?"):
                unnamed.append("%s %r" % (o.getRoleName(), o.name))
    check(not unnamed, "every control named: %s" % unnamed)


def press(application, name):
    button = find(application, lambda o: o.getRole() == pyatspi.ROLE_PUSH_BUTTON and o.name == name)
    if check(button is not None, "a button named %s" % name):
        button.queryAction().doAction(0)
        pump(0.8)


# Qt gives the items of a tree the table cell role.
ITEM_ROLES = (pyatspi.ROLE_TREE_ITEM, pyatspi.ROLE_TABLE_CELL)


def index_checks(application):
    focused = []

    def on_focus(event):
        if event.detail1 and event.source.getRole() in ITEM_ROLES:
            focused.append(event.source.name)

    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    key("ctrl+d")
    pump(1.0)
    tree = find(app("velun"), lambda o: o.getRole() == pyatspi.ROLE_TREE)
    if not check(tree is not None, "the index is a tree"):
        return
    check(tree.name == "Choose Section", "the tree is named: %r" % tree.name)
    for _ in range(3):
        key("Down")
    check(len(set(focused)) >= 3, "the marked line is focused as Down moves it: %s" % focused)
    item = find(tree, lambda o: o.getRole() in ITEM_ROLES and o.getState().contains(pyatspi.STATE_FOCUSED))
    if check(item is not None, "one item holds the focus"):
        check(item.getState().contains(pyatspi.STATE_SELECTED), "the focused item is selected")
        x, y, w, h = item.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        check(w > 0 and h > 0, "the focused item has a box")
        names = [item.queryAction().getName(i) for i in range(item.queryAction().nActions)]
        check("activate" in names, "the item can be activated: %s" % names)
    heading = find(tree, lambda o: o.getRole() in ITEM_ROLES and
                   o.getState().contains(pyatspi.STATE_EXPANDABLE))
    if check(heading is not None, "a heading is expandable"):
        expanded = heading.getState().contains(pyatspi.STATE_EXPANDED)
        action = heading.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        check(("collapse" if expanded else "expand") in names, "the heading offers its toggle: %s" % names)
    key("Escape")
    pyatspi.Registry.deregisterEventListener(on_focus, "object:state-changed:focused")


def panel_checks(application):
    """The side panel's Contents tree and hit list: named boxes, focusable named items."""
    focused = []

    def on_focus(event):
        if event.detail1 and event.source.getRole() in ITEM_ROLES + (pyatspi.ROLE_LIST_ITEM,):
            focused.append(event.source.name)

    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    key("ctrl+shift+c")
    pump(0.5)
    box = find(application, lambda o: o.name == "Filter the contents" and
               o.getRole() in (pyatspi.ROLE_ENTRY, pyatspi.ROLE_TEXT))
    check(box is not None, "the Contents filter box is named")
    for _ in range(3):
        key("Down")
    check(len(set(focused)) >= 2, "Contents' lines take the focus as the mark moves: %s" % focused)
    key("ctrl+f")
    subprocess.run(["xdotool", "type", "alef"], check=False)
    pump(1.0)
    rows = [o for o in walk_all(application) if o.getRole() == pyatspi.ROLE_LIST_ITEM and o.name]
    check(len(rows) >= 3, "the hit list's rows are named items: %d" % len(rows))
    focused.clear()
    key("Tab")
    for _ in range(2):
        key("Down")
    check(len(set(focused)) >= 2, "the hit list's rows take the focus as Down moves: %s" % focused)
    pyatspi.Registry.deregisterEventListener(on_focus, "object:state-changed:focused")


def main():
    reader = sys.argv[1]
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    env.pop("QT_QPA_PLATFORM", None)
    proc = subprocess.Popen([reader], env=env)
    try:
        application = app("velun")
        if not check(application is not None, "the reader is on the bus"):
            return
        pump(1.0)
        doc = article_of(application)
        if not check(doc is not None, "the article is a document"):
            return
        check(doc.name == "Welcome to this handbook", "the article is named by its title: %r" % doc.name)
        text_checks(doc)
        language_checks(doc, "en")
        fuzz(doc)
        highlight_checks(application, doc)
        named_controls(application)
        press(application, "Next Article")
        check(doc.name != "Welcome to this handbook", "the next article's title: %r" % doc.name)
        key("ctrl+g")
        subprocess.run(["xdotool", "type", "33"], check=False)
        key("Return")
        pump(1.0)
        check(doc.name.startswith("The Hebrew"), "article 33 by Go To: %r" % doc.name)
        first = language_checks(doc, "he")
        x, y, w, h = doc.queryText().getCharacterExtents(first, pyatspi.DESKTOP_COORDS)
        if check(w > 0, "a Hebrew letter has a box"):
            back = doc.queryText().getOffsetAtPoint(x + w // 2, y + h // 2, pyatspi.DESKTOP_COORDS)
            check(back == first, "the Hebrew letter's box leads back to it (%d, %d)" % (first, back))
        index_checks(application)
        panel_checks(application)
    finally:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
        print("walk: %d failures" % len(failures), flush=True)


if __name__ == "__main__":
    main()
    sys.exit(1 if failures else 0)
