#include "ReadingColumn.h"

#include "../resources/Commands.h"
#include "../shell/AppState.h"
#include "../shell/Bookmarks.h"
#include "../shell/MainWindow.h"
#include "../shell/Settings.h"
#include "KeepPlace.h"

ReadingColumn gReadingColumn = kDefaultReadingColumn;

namespace {

// How long a line may be, in the font's average character widths (the width of its
// x). Running text holds about a sixth more characters than that, so Narrow gives
// lines of about 60 characters, Medium the 70 to 80 of a comfortable page and Wide
// about 93; Full Window lets the lines run the view's width.
constexpr int kMeasures[kColumnWidthCount] = {52, 64, 80, 0};

constexpr UINT kColumnCommands[kColumnWidthCount] = {kCmdColumnNarrow, kCmdColumnMedium, kCmdColumnWide,
                                                     kCmdColumnFullWindow};
constexpr UINT kSpacingCommands[kLineSpacingCount] = {kCmdLineSpacing10, kCmdLineSpacing12, kCmdLineSpacing15};

// The position of command in commands, or -1.
template <size_t N>
int IndexOf(const UINT (&commands)[N], UINT command) {
    for (size_t i = 0; i < N; i++)
        if (commands[i] == command) return (int)i;
    return -1;
}

bool IsLineSpacing(int32_t tenths) {
    for (int spacing : kLineSpacings)
        if (spacing == tenths) return true;
    return false;
}

}  // namespace

void LoadReadingColumn() {
    int32_t width = ReadSetting(TEXT("ColumnWidth"), kDefaultReadingColumn.width);
    int32_t spacing = ReadSetting(TEXT("LineSpacing"), kDefaultReadingColumn.spacing);
    gReadingColumn.width = width >= 0 && width < kColumnWidthCount ? width : kDefaultReadingColumn.width;
    gReadingColumn.spacing = IsLineSpacing(spacing) ? spacing : kDefaultReadingColumn.spacing;
}

void SaveReadingColumn() {
    RegWriteNumber(TEXT("ColumnWidth"), gReadingColumn.width);
    RegWriteNumber(TEXT("LineSpacing"), gReadingColumn.spacing);
}

int MeasureOf(int width) { return width >= 0 && width < kColumnWidthCount ? kMeasures[width] : 0; }

void FitReadingColumn(ArticleView* view) {
    if (!view) return;
    view->measure = (uint16_t)MeasureOf(gReadingColumn.width);
    view->rowSpacing = (uint16_t)gReadingColumn.spacing;
}

bool ChooseReadingColumn(HWND window, UINT command) {
    int width = IndexOf(kColumnCommands, command);
    int spacing = IndexOf(kSpacingCommands, command);
    if (width < 0 && spacing < 0) return false;
    if (width >= 0) gReadingColumn.width = width;
    if (spacing >= 0) gReadingColumn.spacing = kLineSpacings[spacing];
    UpdateReadingColumnChecks();
    ArticleView* view = gApp.articleView;
    if (!view) return true;
    KeepingPlace(view, [&] {
        FitReadingColumn(view);
        LayoutArticle(view, view->article, FALSE);
    });
    RepaintNow(window, kPaintAll);
    return true;
}

void UpdateReadingColumnChecks() {
    HMENU menu = MenuOf(kCmdViewMenu);
    for (int i = 0; i < kColumnWidthCount; i++)
        SetMenuCheck(menu, kCheckSet, kColumnCommands[i], gReadingColumn.width == i);
    for (int i = 0; i < kLineSpacingCount; i++)
        SetMenuCheck(menu, kCheckSet, kSpacingCommands[i], gReadingColumn.spacing == kLineSpacings[i]);
}
