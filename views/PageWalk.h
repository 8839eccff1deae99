// Walking the visible lines of the article view from its top row, as painting,
// highlighting and pointing at text all do.
#pragma once

#include "../content/ArticleRecords.h"
#include "ArticleView.h"

// Where drawing stands while walking the visible lines.
struct PageWalk {
    const ArticleLine* line;
    int y;
    int spaceLeft;
};

inline int RowsOf(const ArticleLine& line) { return (line.style & kStyleBlankAfter) ? 2 : 1; }

inline PageWalk FirstVisibleLine(ArticleView* view) {
    if (view->topRow > view->rowCount) view->topRow = view->maxTopRow;
    const ArticleLine* line = view->lines;
    int rows = 0;
    while (rows < view->topRow && line->style) rows += RowsOf(*line++);
    if (rows > view->topRow) {  // the top row is the blank row after the previous line
        int height = line[-1].height;
        return {line, view->top + height, view->height - height};
    }
    return {line, view->top, view->height};
}

// Moves past a line and its blank row; returns the rows passed.
inline int Advance(PageWalk& walk) {
    int rows = RowsOf(*walk.line);
    walk.y += rows * walk.line->height;
    walk.spaceLeft -= rows * walk.line->height;
    walk.line++;
    return rows;
}

inline bool Fits(const PageWalk& walk) { return walk.line->style && walk.line->height <= walk.spaceLeft; }

inline int WordLength(const BYTE* text) {
    int n = 0;
    while (text[n] && text[n] != ' ') n++;
    return n;
}

inline const BYTE* SkipSpaces(const BYTE* text) {
    while (*text == ' ') text++;
    return text;
}

// Where a line's main run starts: after the label and its spaces on the first line
// of a left-to-right hanging paragraph, at the line's offset otherwise.
inline const BYTE* MainRun(const BYTE* article, const ArticleLine& line) {
    const BYTE* text = article + line.offset;
    if (line.hang && !(line.style & kStyleRtl)) return SkipSpaces(text + WordLength(text));
    return text;
}
