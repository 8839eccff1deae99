// The menu and tool button commands, and moving between articles.
#include <algorithm>
#include <cstdlib>

#include "../content/Content.h"
#include "../resources/Dialogs.h"
#include "About.h"
#include "AppState.h"
#include "Bookmarks.h"
#include "Export.h"
#include "FontDialog.h"
#include "../reader/ArticlePositions.h"
#include "../reader/CaretMode.h"
#include "../reader/FullScreen.h"
#include "../reader/GoToDialog.h"
#include "../reader/HelpMenu.h"
#include "../reader/Highlights.h"
#include "../reader/History.h"
#include "../reader/KeepPlace.h"
#include "../reader/NotesExport.h"
#include "../reader/Print.h"
#include "../reader/ReadMarks.h"
#include "../reader/ReadingColumn.h"
#include "IndexDialog.h"
#include "MainWindow.h"
#include "Search.h"
#include "../reader/PanelSearch.h"
#include "../reader/Selection.h"
#include "../reader/SidePanel.h"

namespace {

void ChooseFromIndex(HWND window) {
    uint16_t n = OpenIndexDialog(gApp.instance, gApp.mainWindow, gApp.currentArticle, &gApp.fontSettings);
    if (n > 0 && n != gApp.currentArticle) ShowArticle(window, n);
}

void ChooseFont(HWND window) {
    ArticleView* view = gApp.articleView;
    if (RunDialog(kFontDialogId, window, FontDialogProc, (LPARAM)&gApp.fontSettings) != 1 || !view) return;
    KeepingPlace(view, [&] { SetViewFonts(view, &gApp.fontSettings); });
    RepaintNow(window, kPaintAll);
}

void ChooseByNumber(HWND window) {
    INT_PTR n = RunDialog(kGoToDialogId, window, GoToDialogProc, 0);
    if (n > 0) ShowArticle(window, (int)n);
}

// Shows an article at a top row (kept within its rows) or at its remembered place
// (kRememberedPlace); 0 when it is shown.
int OpenArticleAt(HWND window, int number, int topRow) {
    ArticleView* view = gApp.articleView;
    // Without a view there is nowhere to show it; the current article stays.
    if (!view) return 1;
    uint16_t previous = gApp.currentArticle;
    RememberPlace(view, previous);
    SetCurrentArticle(number);
    int status = 0;
    BYTE* article = LoadContent(gApp.currentArticle, &status);
    if (!article) {
        gApp.currentArticle = previous;
        return 1;
    }
    LayoutArticle(view, article, TRUE);
    // A refused article has been freed by the layout; the view goes on showing the
    // one it had, so that one stays current.
    if (view->article != article) {
        gApp.currentArticle = previous;
        return 1;
    }
    if (topRow == kRememberedPlace) {
        ReturnToRememberedPlace(view, number);
    } else {
        view->topRow = (uint16_t)std::min(topRow, (int)view->maxTopRow);
    }
    RepaintNow(window, kPaintAll);
    UpdateBookmarkCheck(window, kCheckSet);
    return 0;
}

}  // namespace

int HandleCommand(HWND window, WPARAM wParam) {
    ArticleView* view = gApp.articleView;
    switch ((uint16_t)LOWORD(wParam)) {
        case kCmdIndexOld:
        case kCmdIndex: ChooseFromIndex(window); break;
        case kCmdNextArticle: NextArticle(window); break;
        case kCmdPreviousArticle: PreviousArticle(window); break;
        case kCmdSearch: RunDialog(kSearchDialogId, gApp.mainWindow, SearchDialogProc, 0); break;
        case kCmdSearchAgain:
            if (!StepPanelHit(1)) FindNext(gApp.mainWindow);
            break;
        case kCmdPreviousHit: StepPanelHit(-1); break;
        case kCmdSidePanel: ShowSidePanel(!SidePanelShown()); break;
        case kCmdContentsTab: OpenPanelTab(kContentsTab, true); break;
        case kCmdSearchTab: OpenPanelTab(kSearchTab, true); break;
        case kCmdReverse:
            UpdateReverseCheck(window, kCheckToggle);
            if (view) PaintArticleView(view, TRUE);
            break;
        case kCmdNight:
            UpdateNightCheck(window, kCheckToggle);
            InvalidateRect(window, nullptr, TRUE);  // the margin too
            RepaintNow(window, kPaintAll);
            break;
        case kCmdBookmark:
            ToggleBookmark(IsBookmarked());
            UpdateBookmarkCheck(window, kCheckSet);
            break;
        case kCmdCheckForUpdates: CheckForUpdates(gApp.mainWindow); break;
        case kCmdAbout: RunDialog(kAboutDialogId, window, AboutDialogProc, 0); break;
        case kCmdExit: DestroyWindow(window); break;
        case kCmdFont: ChooseFont(window); break;
        case kCmdGoTo: ChooseByNumber(window); break;
        case kCmdFullScreen: ToggleFullScreen(window); break;
        case kCmdCaretMode: ToggleCaretMode(window); break;
        case kCmdReadingGuide: ShowArticle(window, kReadingGuideArticle); break;
        case kCmdKeys: ShowArticle(window, kKeysArticle); break;
        case kCmdNextUnread: GoToNextUnread(window); break;
        case kCmdBack: GoThroughHistory(window, -1); break;
        case kCmdForward: GoThroughHistory(window, 1); break;
        case kCmdPrint: PrintFromReader(window); break;
        case kCmdPrintPreview: PreviewPrintFromReader(window); break;
        case kCmdExportPdf: ExportPdfFromReader(window); break;
        case kCmdExportNotes: ExportNotesFromReader(window); break;
        case kCmdImportNotes: ImportNotesFromReader(window); break;
        case kCmdCopy:
        case kCmdAppend:
            if (view) CopySelectionOrArticle(view, LOWORD(wParam) == kCmdAppend);
            break;
        default:
            if (RunNoteCommand(window, LOWORD(wParam))) break;
            return ChooseReadingColumn(window, LOWORD(wParam)) ? 0 : 1;
    }
    return 0;
}

int ShowArticle(HWND window, int number) {
    HistoryEntry left = CurrentPlace();
    int result = OpenArticleAt(window, number, kRememberedPlace);
    if (result == 0 && left.article != gApp.currentArticle) RecordVisit(left);
    return result;
}

void GoThroughHistory(HWND window, int direction) {
    HistoryEntry target;
    if (!gApp.articleView || !PeekHistoryStep(direction, &target)) return;
    HistoryEntry left = CurrentPlace();
    if (OpenArticleAt(window, target.article, target.topRow) == 0) CommitHistoryStep(direction, left);
}

void StepArticle(HWND window, int delta) {
    int n = gApp.currentArticle + delta;
    if (n > kLastArticle) {
        n = kFirstArticle;
    } else if (n < kFirstArticle) {
        n = kLastArticle;
    }
    ShowArticle(window, n);
}

void NextArticle(HWND window) { StepArticle(window, 1); }

void PreviousArticle(HWND window) { StepArticle(window, -1); }
