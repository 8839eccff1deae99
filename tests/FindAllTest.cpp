// Find All on the compiled-in collection: the hits in Search Again's order with
// their titles and context, the list dialog, and the headless listing.
#include <gtest/gtest.h>

#include <QTimer>

#include <algorithm>
#include <cstring>
#include <memory>
#include <sstream>

#include "ArticleFixture.h"
#include "content/ArticleRecords.h"
#include "content/Content.h"
#include "platform/TestHooks.h"
#include "platform/Utf16.h"
#include "platform/qt/QtWindow.h"
#include "resources/Dialogs.h"
#include "reader/FindAll.h"
#include "cli/Headless.h"
#include "shell/MainWindow.h"
#include "shell/Search.h"

namespace {

struct Listed {
    int article;
    int offset;
    std::u16string title, context;
};

void Keep(const FoundHit& hit, void* context) {
    ((std::vector<Listed>*)context)->push_back({hit.article, hit.offset, *hit.title, std::u16string(hit.context)});
}

class FindAllTest : public ReaderViewTest {
  protected:
    void Show(int n) {
        gApp.currentArticle = (uint16_t)n;
        ASSERT_EQ(LayoutArticle(view, LoadContent(n, nullptr), TRUE), kLayoutOk);
    }
    std::vector<Listed> All() {
        std::vector<Listed> hits;
        int count = FindAllHits(Keep, &hits);
        EXPECT_EQ(count, (int)hits.size());
        return hits;
    }
};

TEST_F(FindAllTest, ListsTheHitsInTheOrderSearchAgainVisitsThem) {
    SetSearchString(u"ALEF", 4);
    Show(40);
    ASSERT_EQ(FindNext(nullptr), 1);  // start from a hit part-way, so the list wraps
    ASSERT_EQ(FindNext(nullptr), 1);
    std::vector<Listed> hits = All();
    ASSERT_GT(hits.size(), 20u);
    for (const Listed& hit : hits) {
        ASSERT_EQ(FindNext(nullptr), 1);
        EXPECT_EQ(gApp.currentArticle, hit.article);
        EXPECT_EQ(view->hitStart, hit.offset);
    }
    ASSERT_EQ(FindNext(nullptr), 1);  // and round to the first again
    EXPECT_EQ(view->hitStart, hits[0].offset);
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST_F(FindAllTest, EachHitHasItsTitleAndItsTextMarked) {
    gApp.Flags |= kFlagMatchCase;
    SetSearchString(u"printing", 8);
    Show(1);
    for (const Listed& hit : All()) {
        EXPECT_NE(hit.context.find(u"«printing»"), std::u16string::npos);
        EXPECT_FALSE(hit.title.empty());
        EXPECT_LE(hit.context.size(), 90u);  // a line around the hit, not the paragraph
    }
    // Hebrew at the Hebrew base reads in reading order, the title too.
    gApp.fontSettings.FontAsciiBase = 1488;
    SetSearchString(u"אבא", 3);
    std::vector<Listed> hits = All();
    auto first = std::find_if(hits.begin(), hits.end(), [](const Listed& hit) { return hit.article == 34; });
    ASSERT_NE(first, hits.end());
    // Each mark stands between right-to-left marks, so that it shows beside the hit
    // at the ends of the context too.
    EXPECT_EQ(first->context, u"\u200F«\u200Fאבא\u200F»\u200F, אמא, אור, ארץ, אהבה");
}

// The record holding an article offset.
bool RecordAt(const BYTE* article, int offset, ArticleRecord* found) {
    ArticleWalker walker = StartArticleWalk(article);
    while (NextArticleRecord(&walker, found)) {
        int start = (int)(found->text - article);
        if (offset >= start && offset < start + (int)found->textLength) return true;
    }
    return false;
}

TEST_F(FindAllTest, EachContextIsTheRecordCutAtWordsAroundTheHit) {
    SetSearchString(u"the", 3);
    Show(1);
    std::vector<Listed> hits = All();
    ASSERT_GT(hits.size(), 1000u);
    int cutBoth = 0;
    for (const Listed& hit : hits) {
        std::unique_ptr<BYTE, decltype(&free)> article(LoadContent(hit.article, nullptr), free);
        ASSERT_NE(article, nullptr);
        ArticleRecord record;
        ASSERT_TRUE(RecordAt(article.get(), hit.offset, &record));
        if (record.style & kStyleRtl) continue;
        std::u16string shown = hit.context;
        bool cutFirst = shown.front() == u'\u2026', cutLast = shown.back() == u'\u2026';
        cutBoth += cutFirst && cutLast;
        shown = shown.substr(cutFirst, shown.size() - cutFirst - cutLast);
        size_t open = shown.find(u'«'), close = shown.find(u'»');
        ASSERT_EQ(close, open + 4) << Utf16ToUtf8(hit.context.c_str());
        int hitAt = hit.offset - (int)(record.text - article.get());
        int start = hitAt - (int)open, end = start + (int)shown.size() - 2;
        std::u16string stored;  // the bytes 0x80 to 0x9F as their Windows-1252 characters
        for (const BYTE* b = record.text + start; b < record.text + end; b++) stored += (char16_t)C1AsWindows1252(*b);
        EXPECT_EQ(shown.substr(0, open) + shown.substr(open + 1, 3) + shown.substr(close + 1), stored);
        EXPECT_EQ(cutFirst, start > 0);
        EXPECT_EQ(cutLast, end < (int)record.textLength);
        // A cut falls at a space, or at the hit itself inside a long word.
        if (cutFirst && start != hitAt) {
            EXPECT_EQ(record.text[start - 1], ' ');
        }
        if (cutLast && end != hitAt + 3) {
            EXPECT_EQ(record.text[end], ' ');
        }
        EXPECT_LE((int)open, 28);
        EXPECT_LE((int)(shown.size() - close - 1), 40);
    }
    EXPECT_GT(cutBoth, 1000);
}

TEST_F(FindAllTest, NothingFoundListsNothing) {
    SetSearchString(u"qzxv quill", 10);
    Show(1);
    EXPECT_EQ(All().size(), 0u);
    gApp.searchString[0] = 0;
    EXPECT_EQ(All().size(), 0u);
}

// ---- The list dialog, opened by the search dialog's Find All button ----

// Presses a button of the search dialog once it is up, then runs the list script
// inside the list's own modal loop.
void FindAllThrough(std::function<void(HWND list)> script) {
    EnsureWindowLayer();
    QTimer timer;
    bool pressed = false;
    int tries = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++tries > 1000) {
            timer.stop();
            ADD_FAILURE() << "the dialogs did not come up";
        }
        HWND focus = GetFocus();
        HWND dialog = focus ? GetParent(focus) : nullptr;
        if (!dialog) return;
        if (!pressed) {
            pressed = true;
            SetWindowTextW(GetDlgItem(dialog, kSearchTextId), u"Alef");
            PostMessageW(dialog, WM_COMMAND, kFindAllId, 0);
        } else if (GetDlgItem(dialog, kHitListId)) {
            timer.stop();
            script(dialog);
        }
    });
    timer.start(10);
    RunDialog(kSearchDialogId, nullptr, SearchDialogProc, 0);
}

TEST_F(FindAllTest, ChoosingAHitInTheListShowsItAndClosesTheSearch) {
    Show(1);
    SetSearchString(u"alef", 4);
    std::vector<Listed> hits = All();
    ASSERT_GT(hits.size(), 3u);
    std::u16string count;
    FindAllThrough([&](HWND list) {
        WCHAR text[32] = {};
        GetWindowTextW(GetDlgItem(list, kHitCountId), text, 32);
        count = text;
        HWND box = GetDlgItem(list, kHitListId);
        EXPECT_EQ(SendMessageW(box, LB_GETCOUNT, 0, 0), (LRESULT)hits.size());
        SendMessageW(box, LB_SETCURSEL, 3, 0);
        PostMessageW(list, WM_COMMAND, MAKEWPARAM(kHitListId, LBN_DBLCLK), 0);
        PostMessageW(list, WM_COMMAND, IDOK, 0);  // the Enter behind a click chooses nothing more
    });
    std::string expected = std::to_string(hits.size()) + " hits";
    EXPECT_EQ(count, std::u16string(expected.begin(), expected.end()));
    EXPECT_EQ(gApp.currentArticle, hits[3].article);
    EXPECT_EQ(view->hitStart, hits[3].offset);
    EXPECT_EQ(view->hitEnd, hits[3].offset + 4);
}

// ---- velun --search-all ----

int RunVelun(std::vector<std::string> arguments, std::string* out) {
    arguments.insert(arguments.begin(), "velun");
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    testing::internal::CaptureStdout();
    int status = RunHeadless((int)arguments.size(), argv.data());
    *out = testing::internal::GetCapturedStdout();
    return status;
}

TEST(HeadlessFindAll, PrintsOneTabSeparatedLinePerHitAndExitsLikeGrep) {
    std::string out;
    ASSERT_EQ(RunVelun({"--search-all", "Alef", "--match-case"}, &out), 0);
    std::istringstream lines(out);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::stringstream row(line);
        for (std::string field; std::getline(row, field, '\t');) fields.push_back(field);
        ASSERT_EQ(fields.size(), 4u) << line;
        EXPECT_GE(std::stoi(fields[0]), 1);
        EXPECT_GE(std::stoi(fields[1]), 2);
        EXPECT_NE(fields[3].find("«Alef»"), std::string::npos) << line;
        count++;
    }
    EXPECT_GT(count, 5);
    EXPECT_EQ(RunVelun({"--search-all", "qzxv quill"}, &out), 1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(RunVelun({"--search-all", std::string(34, 'q')}, &out), 2);
}

// --whole-word leaves out "o«the»r"; at the Hebrew base a Hebrew search lists only
// Hebrew text, never "Chris«tma»s".
TEST(HeadlessFindAll, WholeWordAndTheHebrewBaseNarrowTheListing) {
    auto lines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
    std::string all, words;
    ASSERT_EQ(RunVelun({"--search-all", "the"}, &all), 0);
    ASSERT_EQ(RunVelun({"--search-all", "the", "--whole-word"}, &words), 0);
    EXPECT_NE(all.find("o«the»r"), std::string::npos);
    EXPECT_EQ(words.find("o«the»r"), std::string::npos);
    EXPECT_GT(lines(words), 1000);
    EXPECT_LT(lines(words), lines(all));
    std::string hebrew;
    ASSERT_EQ(RunVelun({"--search-all", "אלף", "--base", "1488"}, &hebrew), 0);
    EXPECT_EQ(hebrew.find("Chris"), std::string::npos);
    EXPECT_NE(hebrew.find("אלף"), std::string::npos);
}

}  // namespace
