// The index tree view: index records laid out as a collapsible tree.
#pragma once

#include "../platform/win32.h"
#include "Fonts.h"
#include "LineTable.h"

struct IndexLine {
    uint16_t offset;
    uint16_t count;
    uint16_t x;
    uint16_t width;
    uint16_t height;
    uint16_t key;
    BYTE style;  // 0x80 shown, 0x40 expanded (changed by the view)
};

struct IndexView {
    IndexLine* lines;
    HDC surface;
    BYTE* index;  // owned
    int32_t rowsPainted;
    FontSettings fontSettings;
    FontCacheEntry* fonts;
    int32_t left, top, width, height;
    uint16_t topRow;
    uint16_t rowCount;
    uint16_t lineCount;
    uint16_t capacity;
    uint16_t maxTopRow;
    int32_t focus;  // keyboard focus: 1 + the first line of the marked record, 0 for none
    // Drawn after each shown line by its owner (beside the text), or null.
    void (*decorate)(const IndexView* view, const IndexLine* line, int y);
};

constexpr int kIndexIndent = 13;
constexpr int32_t kTapBelowLastRow = (int32_t)0x80000000;

IndexView* CreateIndexView(HDC surface, const RECT* rect, const FontSettings* settings, int capacity);
int LayoutIndex(IndexView* view, BYTE* index, BOOL freeOld);
int ResizeIndexView(IndexView* view, int width, int height);
int ComputeIndexMaxTopRow(IndexView* view);
void DestroyIndexView(IndexView* view, BOOL freeView);
int PaintIndexView(IndexView* view, BOOL erase);
void DrawIndexIcon(IndexView* view, const IndexLine* line, int y);
int ScrollIndexView(IndexView* view, int delta, int paintMode, int clamp);
int32_t HitTestIndex(IndexView* view, int x, int y);
int32_t ToggleHeading(IndexView* view, IndexLine* line);
void ShowRecordLines(IndexView* view, IndexLine* line, int direction);
void RevealArticle(IndexView* view, int article);
uint16_t* SaveExpansion(IndexView* view);

// The keyboard focus mark (IndexFocus.cpp). The focused record is a shown one.
void DrawFocusMark(IndexView* view, const IndexLine* line, int y);
// Marks the first shown link to article, or nothing when there is none.
void FocusArticle(IndexView* view, int article);
// Moves the mark to the next (+1) or previous (-1) shown record; 0 when there is none.
int MoveFocus(IndexView* view, int direction);
// Sets the top row so that the whole focused record is shown, and repaints.
void ScrollFocusIntoView(IndexView* view);
// The focused line, or null.
IndexLine* FocusedLine(IndexView* view);
// Marks the shown record drawn at y (a click); nothing when no row is there.
void FocusAtPoint(IndexView* view, int y);
// Marks the next shown record after the mark whose caption starts with the letter
// or digit c, case-blind, going round past the end; 0 when there is none.
int FocusNextStartingWith(IndexView* view, char c);
int RestoreExpansion(IndexView* view, const uint16_t* list);
