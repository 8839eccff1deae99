// The reading column: lines held to a comfortable measure and centred, the margins
// growing round them, and the spacing of the rows. Both are chosen in the View menu
// and kept in the settings ("ColumnWidth", "LineSpacing").
#pragma once

#include "../platform/win32.h"
#include "../views/ArticleView.h"

enum ColumnWidth { kColumnNarrow, kColumnMedium, kColumnWide, kColumnFullWindow, kColumnWidthCount };
constexpr int kLineSpacingCount = 3;
// Row heights in tenths of the font's cell height: 1, 1.2 and 1.5.
constexpr int kLineSpacings[kLineSpacingCount] = {10, 12, 15};

struct ReadingColumn {
    int width;    // a ColumnWidth
    int spacing;  // tenths, one of kLineSpacings
};
constexpr ReadingColumn kDefaultReadingColumn = {kColumnMedium, 10};
extern ReadingColumn gReadingColumn;

// The stored values; an absent one, or one out of range, gives its default.
void LoadReadingColumn();
void SaveReadingColumn();
// The line length a choice allows, in average characters of the article font; 0 for
// the whole window.
int MeasureOf(int width);
// Gives a view the chosen column and spacing, for its next layout.
void FitReadingColumn(ArticleView* view);

// A Column Width or Line Spacing command of the View menu: the choice is made, the
// article laid out again at the same place and the check marks moved. False for
// any other command.
bool ChooseReadingColumn(HWND window, UINT command);
void UpdateReadingColumnChecks();
