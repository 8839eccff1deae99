// Puts articles on the desktop clipboard for the tests that read them back with
// another program: each line on stdin ("copy N", "append N", "passage N") is done
// as the reader does it, then "done" is printed; the probe stays the clipboard's
// owner until stdin closes.
#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "content/Content.h"
#include "platform/Desktop.h"
#include "platform/qt/QtApp.h"
#include "resources/Identity.h"
#include "shell/AppState.h"
#include "shell/Export.h"

namespace {

// A passage of several lines: from the second record's text to the middle of the fourth's.
ArticleRange Passage(const BYTE* article) {
    ArticleWalker walker = StartArticleWalk(article);
    ArticleRecord record[4] = {};
    for (ArticleRecord& r : record) NextArticleRecord(&walker, &r);
    size_t begin = (size_t)(record[1].text - article);
    size_t end = (size_t)(record[3].text - article) + record[3].textLength / 2;
    return {article, begin, end};
}

void Run(const char* line) {
    char verb[16] = {};
    int number = 0;
    if (sscanf(line, "%15s %d", verb, &number) != 2) return;
    BYTE* article = LoadContent(number, nullptr);
    if (!article) return;
    if (!strcmp(verb, "passage")) {
        ArticleRange range = Passage(article);
        ExportRange(range, 0);
        WCHAR* text = RenderExportText(range);
        if (text) SetPrimarySelection(text);
        free(text);
    } else {
        ExportRange(WholeArticle(article), !strcmp(verb, "append"));
    }
    free(article);
}

}  // namespace

int main() {
    RegisterProgramIdentity();
    EnsureQtApplication();
    ResetAppState();
    gApp.Flags = kDefaultFlags;
    gApp.fontSettings.FontAsciiBase = 97;
    QSocketNotifier notifier(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&notifier] {
        char line[64];
        ssize_t n = read(STDIN_FILENO, line, sizeof line - 1);
        if (n <= 0) {
            notifier.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        line[n] = 0;
        Run(line);
        std::printf("done\n");
        std::fflush(stdout);
    });
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
