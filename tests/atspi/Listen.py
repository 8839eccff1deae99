#!/usr/bin/python3
"""Runs Orca with its debug log on beside a reader and checks what it says.

Usage: Listen.py READER LOG. A highlight's colour must be named when Orca is
asked for the attributes, its note said when the article takes the focus with
the caret in the passage; Next Article must speak the new article's title, and
each line of the index as the mark moves onto it. Prints what Orca said
and "listen: N failures" last.
"""
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from Walk import app, article_of, check, failures, key, press, pump, select_in_a_long_line  # noqa: E402


def spoken(log):
    try:
        with open(log, encoding="utf-8", errors="replace") as f:
            return re.findall(r"SPEECH OUTPUT: '(.*?)'", f.read())
    except OSError:
        return []


# What must have been said, checked once Orca has ended and its log is whole
# (it writes the log in blocks): the text, after the utterances counted before the key.
expected = []


def main():
    reader, log = sys.argv[1], sys.argv[2]
    log_path.append(log)
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    env.pop("QT_QPA_PLATFORM", None)
    proc = subprocess.Popen([reader], env=env)
    orca = None
    try:
        application = app("velun")
        if not check(application is not None, "the reader is on the bus"):
            return
        orca = subprocess.Popen(["orca", "--replace", "--debug-file=" + log], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        pump(6.0)
        doc = article_of(application)
        note_said(application, doc)
        mark = len(spoken(log))
        key("Right")
        expected.append((mark, doc.name, "Next Article speaks the new title"))
        # Article 33, read line by line with the caret.
        key("ctrl+g")
        subprocess.run(["xdotool", "type", "33"], check=False)
        key("Return")
        pump(1.0)
        key("F7")
        for _ in range(10):
            key("Down")
        key("F7")
        key("ctrl+d")
        pump(1.5)
        for _ in range(3):
            mark = len(spoken(log))
            key("Down")
            tree = next((o for w in application for o in w if o.getRoleName() == "tree"), None)
            item = tree and next((c for c in _items(tree) if c.getState().contains(_focused())), None)
            if check(item is not None, "an index item is focused"):
                expected.append((mark, item.name, "the index speaks the marked line"))
            pump(1.0)  # said before the next key or Escape interrupts it
        key("Escape")
        pump(3.0)  # Orca speaks behind the keys
    finally:
        for p in (orca, proc):
            if p is None:
                continue
            p.terminate()
            try:
                p.wait(10)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
        said = spoken(log)
        for line in said:
            print("said:", line, flush=True)
        with open(log, encoding="utf-8", errors="replace") as f:
            check("language='he'" in f.read(), "a Hebrew paragraph asks for a Hebrew voice")
        for mark, wanted, what in expected:
            check(any(wanted in line for line in said[mark:]), "%s: %r" % (what, wanted))
        print("listen: %d failures" % len(failures), flush=True)


def note_said(application, doc):
    """A note on a passage: the caret moved into it makes Orca say the note."""
    text = doc.queryText()
    line = select_in_a_long_line(text, 3, 12)
    key("ctrl+shift+h")
    subprocess.run(["xdotool", "type", "Remember the tokens"], check=False)
    press(application, "OK")
    text.setCaretOffset(line + 5)
    pump(1.0)
    mark = len(spoken(log_path[0]))
    key("F7")
    key("Insert+f")
    pump(2.0)
    key("F7")
    expected.append((mark, "background color", "Orca's attribute key names the highlight's background"))
    mark = len(spoken(log_path[0]))
    key("ctrl+g")
    pump(1.0)
    key("Escape")
    pump(2.0)
    expected.append((mark, "Remember the tokens", "the note is said as the article takes the focus again"))


log_path = []


def _items(tree):
    for child in tree:
        yield child
        yield from _items(child)


def _focused():
    import pyatspi
    return pyatspi.STATE_FOCUSED


if __name__ == "__main__":
    main()
    sys.exit(1 if failures else 0)
