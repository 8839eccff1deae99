// The reader's keys, grouped by where they work. A new key is one more row here,
// in the group where it works; the manual page, the README's Reading section and
// the guide's keys article then name it too.
#include "Keys.h"

#include <cstring>

const KeyRow kKeyRows[] = {
    {nullptr, "Keys"},
    {"Page Down, Page Up", "next or previous page; each undoes the other"},
    {"Space, Shift+Space", "next or previous page, on across articles"},
    {"Down, Up", "one line down or up"},
    {"Home, End", "start or end of the article"},
    {"Right, Left", "next or previous article"},
    {"Tab, Shift+Tab", "mark the next or previous link on the page"},
    {"Enter", "follow the marked link; else search again"},
    {"Alt+Left, Alt+Right", "back and forward through the articles read"},
    {"Ctrl+G", "go to an article by its number"},
    {"Ctrl+U", "the next unread article, in the index's order"},
    {"Ctrl+D", "the index"},
    {"F9", "the side panel on or off"},
    {"Ctrl+Shift+C", "the side panel's Contents tab"},
    {"Ctrl+F", "the side panel's Search tab (search as you type)"},
    {"F3, Shift+F3", "next or previous hit (F3 alone: search again)"},
    {"Alt+F3", "the search dialog"},
    {"F7", "the caret on or off (Shift with the arrows selects)"},
    {"Ctrl+H", "highlight the selection"},
    {"Ctrl+Shift+H", "highlight the selection and write a note to it"},
    {"Ctrl+C, Ctrl+E", "copy, append the selection (without one, the article)"},
    {"Ctrl+P", "print"},
    {"Ctrl+Shift+F", "the font dialog"},
    {"Ctrl+plus, Ctrl+minus", "larger or smaller text (Ctrl+= as Ctrl+plus)"},
    {"Ctrl+0", "the default text size"},
    {"Ctrl+Shift+N", "night reading on or off"},
    {"F11", "full screen and back (kept for the next start)"},
    {"F1", "the reading guide (Help menu: Keys, About)"},
    {"Alt, Alt+letter", "the menus"},
    {"Ctrl+Q", "exit"},
    {nullptr, "Keys with the caret (F7)"},
    {"Shift+Left, Shift+Right", "select a letter more or less"},
    {"Shift+Up, Shift+Down", "select a line more or less"},
    {nullptr, "Keys in the index and the side panel's Contents"},
    {"Up, Down", "the mark to the line above or below"},
    {"Home, End", "the mark to the first or last line"},
    {"Page Up, Page Down", "move through the outline"},
    {"Right, Left", "open or close the heading"},
    {"a letter", "the next line starting with it"},
    {"Enter", "read the article (a heading: open or close it)"},
    {"Escape", "close the index; in Contents' filter, clear it"},
    {nullptr, "Keys in the side panel's Search and Notes tabs"},
    {"Up, Down, Enter", "choose a hit or a note and show it"},
    {"Delete", "remove the chosen highlight or note"},
    {"Ctrl+Z", "bring back the last one removed"},
};

const int kKeyRowCount = sizeof kKeyRows / sizeof kKeyRows[0];

std::vector<std::string> KeyNames(const KeyRow& row) {
    std::vector<std::string> names;
    for (const char* at = row.keys; at && *at;) {
        const char* comma = std::strstr(at, ", ");
        size_t length = comma ? (size_t)(comma - at) : std::strlen(at);
        names.emplace_back(at, length);
        at = comma ? comma + 2 : at + length;
    }
    return names;
}
