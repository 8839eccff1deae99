// The main window: its bar, the article view inside it, painting and the messages.
#pragma once

#include "../content/Content.h"
#include "../platform/win32.h"
#include "../resources/Commands.h"
#include "../resources/Identity.h"
#include "../views/ArticleView.h"

constexpr int kFirstArticle = 1;
constexpr int kLastArticle = kArticleCount;
constexpr int kViewCapacity = 100;

// The shell state of the reader in full screen: no task bar, input panel button or start icon.
constexpr DWORD kFullScreenState = SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON;
// Shell flags of the dialogs that take the whole screen (font, index).
constexpr DWORD kFullScreenDialogFlags =
    SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_FULLSCREENNOMENUBAR;

// PaintMainWindow flags: paint the view, and erase its background first.
constexpr UINT kPaintView = 0x1;
constexpr UINT kPaintErase = 0x100;
constexpr UINT kPaintAll = 0x1FF;

// Program-wide: set by RunReader for start-up measurements.
extern bool gExitAfterFirstPaint;

void CreateCommandBars();
int OpenArticleView(HWND window);
void SetCurrentArticle(int number);
void UpdateScrollBar(HWND window);
void PaintMainWindow(HDC surface, HWND window, UINT flags);
// Fills the client area with the page colour (the margin around the view).
void EraseMainWindow(HWND window, HDC surface);
void RepaintNow(HWND window, UINT flags);
void ResizeForWindow(HWND window, LPARAM size);
// The margin around the article when none is stored: it follows the width.
int32_t FittedGutter(HDC surface, int width);
// Puts the current article's title in the title bar (WindowTitle.cpp).
void UpdateWindowTitle(HWND window);
void InitShellDialog(HWND dialog, DWORD flags);
// A dialog's WM_ACTIVATE: the task bar, if the reader hid it, stays hidden.
void HideTaskBarOnActivate(WPARAM wParam);
// Runs dialog template id modally; -1 when the template is missing.
INT_PTR RunDialog(int id, HWND owner, DLGPROC proc, LPARAM param);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int HandleCommand(HWND window, WPARAM wParam);
int ShowArticle(HWND window, int number);
// Back (direction < 0) or forward through the articles visited, with their reading positions.
void GoThroughHistory(HWND window, int direction);
void StepArticle(HWND window, int delta);
void NextArticle(HWND window);
void PreviousArticle(HWND window);
void TapPage(HWND window, ArticleView* view, int x, int y);
