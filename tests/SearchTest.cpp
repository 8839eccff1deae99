// Search: byte matching with and without case, the walk through the collection,
// showing a hit, and the search dialog on the offscreen Qt platform.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QFile>
#include <QImage>

#include <cstring>
#include <functional>
#include <map>

#include "ArticleFixture.h"
#include "content/ArticleRecords.h"
#include "platform/ResourceStore.h"
#include "platform/TestHooks.h"
#include "platform/Utf16.h"
#include "platform/qt/QtWindow.h"
#include "cli/Headless.h"
#include "shell/Search.h"
#include "tools/Collection.h"

namespace {

// An article as the collection compiler stores it: title record first.
std::vector<TestRecord> Article(int number, std::vector<TestRecord> body) {
    body.insert(body.begin(), TestRecord{kTitleStyle, 0, "Title " + std::to_string(number)});
    return body;
}

Bytes Content(const std::vector<TestRecord>& records) {
    Bytes bytes;
    for (const TestRecord& r : records) {
        bytes.push_back(r.style);
        bytes.push_back(r.indent);
        bytes.insert(bytes.end(), r.text.begin(), r.text.end());
        bytes.push_back(0);
    }
    bytes.push_back(0);
    return bytes;
}

class SearchTest : public ReaderViewTest {
  protected:
    // Serves a whole collection: the given articles, and plain filler for the rest.
    void Serve(const std::map<int, std::vector<TestRecord>>& given) {
        packed.assign(kArticleCount, {});
        entries.clear();
        articles.clear();
        for (int n = 1; n <= kArticleCount; n++) {
            auto it = given.find(n);
            articles[n] = it != given.end() ? Article(n, it->second) : Article(n, {{0x81, 0, "Nothing to see."}});
            ASSERT_TRUE(PackResource((uint16_t)(kContentIdBase + n), Content(articles[n]), &packed[n - 1]));
            const Bytes& r = packed[n - 1].resource;
            entries.push_back({10, (uint16_t)(kContentIdBase + n), r.data(), (uint32_t)r.size()});
        }
        table = {entries.data(), (uint32_t)entries.size()};
        SetOverrideResourceTable(&table);
    }

    // Makes article n current and lays it out, as the main window does.
    void Show(int n) {
        gApp.currentArticle = (uint16_t)n;
        ASSERT_EQ(LayoutArticle(view, LoadContent(n, nullptr), TRUE), kLayoutOk);
    }

    void SetSearch(const char* text, bool matchCase = false) {
        strcpy(gApp.searchString, text);
        gApp.Flags = matchCase ? gApp.Flags | kFlagMatchCase : gApp.Flags & ~kFlagMatchCase;
    }

    // Article offset of the text of a record of article n (its title is record 0).
    int At(int n, size_t record, int within = 0) { return TextOffset(articles[n], record) + within; }

    std::vector<std::u16string> HighlightedRuns() {
        std::vector<std::u16string> runs;
        for (const FakeCall& call : FakeCallsOf(dc, FakeCallKind::Text))
            if (call.opaque && call.backgroundColour == kYellow && call.textColour == kBlue) runs.push_back(call.text);
        return runs;
    }

    bool HoldsTitle(int n) {
        std::string title = "Title " + std::to_string(n);
        return view->article && strcmp((const char*)view->article + 2, title.c_str()) == 0;
    }

    bool TitleDrawn(int n) {
        std::u16string title = Utf8ToUtf16("Title " + std::to_string(n));
        for (const FakeCall& call : FakeCallsOf(dc, FakeCallKind::Text))
            if (call.text == title) return true;
        return false;
    }

    std::vector<PackedResource> packed;
    std::vector<ResourceEntry> entries;
    ResourceTable table{};
    std::map<int, std::vector<TestRecord>> articles;
};

TEST_F(SearchTest, OnlyAsciiLettersFoldWithoutMatchCase) {
    EXPECT_STREQ(FindNoCase("xxABCxx", "abc"), "ABCxx");
    EXPECT_STREQ(FindNoCase("xxaBcxx", "abc"), "aBcxx");
    EXPECT_STREQ(FindNoCase("ABC", "aBC"), "ABC");
    // Neighbours of the letter ranges, digits and high bytes match only themselves.
    EXPECT_EQ(FindNoCase("\x60", "\x40"), nullptr);
    EXPECT_EQ(FindNoCase("\x40", "\x60"), nullptr);
    EXPECT_EQ(FindNoCase("\x7B", "\x5B"), nullptr);
    EXPECT_EQ(FindNoCase("\x5B", "\x7B"), nullptr);
    EXPECT_EQ(FindNoCase("\xE1", "\xC1"), nullptr);
    EXPECT_EQ(FindNoCase("1", "Q"), nullptr);
    // The text's end never matches the rest of the pattern.
    EXPECT_EQ(FindNoCase("xab", "abc"), nullptr);
    EXPECT_EQ(FindNoCase("", "a"), nullptr);

    Layout({{0x81, 0, "one ABC two aBc three abc"}});
    SetSearch("abc");
    EXPECT_EQ(FindInArticle(view->article, 0), Offset(0, 4));
    SetSearch("abc", true);
    EXPECT_EQ(FindInArticle(view->article, 0), Offset(0, 22));
}

TEST_F(SearchTest, StoredHebrewLettersMatchAsTheirAsciiBytes) {
    // Right-to-left text keeps its letters as 'a'..'{'; with no Hebrew base they
    // match as their bytes.
    Layout({{0x91, 0, "{zyx"}});
    gApp.fontSettings.FontAsciiBase = 97;
    SetSearch("Zy");
    EXPECT_EQ(FindInArticle(view->article, 0), Offset(0, 1));
    SetSearch("Zy", true);
    EXPECT_EQ(FindInArticle(view->article, 0), 0);
    SetSearch("{z", true);
    EXPECT_EQ(FindInArticle(view->article, 0), Offset(0, 0));
    // At a Hebrew base only a Hebrew search reads them.
    gApp.fontSettings.FontAsciiBase = 1488;
    SetSearch("{z", true);
    EXPECT_EQ(FindInArticle(view->article, 0), 0);
    gApp.searchHebrew = TRUE;
    EXPECT_EQ(FindInArticle(view->article, 0), Offset(0, 0));
}

TEST_F(SearchTest, HitsStayInsideOneRecordAndStartWhereAsked) {
    Layout({{0x81, 0, "first part a"}, {0x07, 20, ""}, {0x81, 0, "b second"}, {0x81, 0, "ab"}});
    SetSearch("a b");
    EXPECT_EQ(FindInArticle(view->article, 0), 0);
    SetSearch("ab");
    EXPECT_EQ(FindInArticle(view->article, 0), Offset(3));
    // From inside a text the search goes on from there; a text wholly before is skipped.
    SetSearch("part");
    EXPECT_EQ(FindInArticle(view->article, Offset(0, 6)), Offset(0, 6));
    EXPECT_EQ(FindInArticle(view->article, Offset(0, 7)), 0);
    SetSearch("s");
    EXPECT_EQ(FindInArticle(view->article, Offset(2)), Offset(2, 2));
    EXPECT_EQ(FindInArticle(view->article, 60000), 0);
}

TEST_F(SearchTest, SearchAgainFindsTheNextPlaceInTheSameRecordThenComesRound) {
    Serve({{9, {{0x81, 0, "xx aaa yy"}}}});
    Show(9);
    SetSearch("aa");
    int t = At(9, 1, 3);
    ASSERT_EQ(FindNext(nullptr), 1);
    EXPECT_EQ(view->hitStart, t);
    EXPECT_EQ(view->hitEnd, t + 2);
    EXPECT_EQ(HighlightedRuns(), std::vector<std::u16string>{u"aa"});
    EXPECT_TRUE(TitleDrawn(9));
    ASSERT_EQ(FindNext(nullptr), 1);
    EXPECT_EQ(view->hitStart, t + 1);
    // Nothing further anywhere: round through the other articles and back to the first hit.
    ClearFakeRecord(dc);
    ASSERT_EQ(FindNext(nullptr), 1);
    EXPECT_EQ(view->hitStart, t);
    EXPECT_EQ(gApp.currentArticle, 9);
    // The first repaint still shows the previous hit; the last paint shows the new one.
    ASSERT_FALSE(HighlightedRuns().empty());
    EXPECT_EQ(HighlightedRuns().back(), u"aa");
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST_F(SearchTest, SearchAgainGoesThroughTheFollowingArticlesWrappingAfterTheLast) {
    Serve({{3, {{0x81, 0, "a needle"}}}, {7, {{0x81, 0, "b needle"}}}, {187, {{0x81, 0, "c needle"}}}});
    Show(5);
    view->topRow = 0;
    gApp.lastPosition = 12;
    SetSearch("NEEDLE");
    std::vector<int> order;
    for (int i = 0; i < 4; i++) {
        ASSERT_EQ(FindNext(nullptr), 1);
        order.push_back(gApp.currentArticle);
        EXPECT_TRUE(HoldsTitle(gApp.currentArticle));
        EXPECT_EQ(view->hitStart, At(gApp.currentArticle, 1, 2));
    }
    EXPECT_EQ(order, (std::vector<int>{7, 187, 3, 7}));
    EXPECT_EQ(gApp.lastPosition, 0);
}

TEST_F(SearchTest, TheOnlyHitBeforeThePreviousOneIsFoundAfterAllOtherArticles) {
    Serve({{40, {{0x81, 0, "zeta first"}, {0x81, 0, "alpha later"}}}});
    Show(40);
    SetSearch("alpha");
    ASSERT_EQ(FindNext(nullptr), 1);
    SetSearch("zeta");
    ASSERT_EQ(FindNext(nullptr), 1);
    EXPECT_EQ(gApp.currentArticle, 40);
    EXPECT_EQ(view->hitStart, At(40, 1));
}

TEST_F(SearchTest, NothingFoundLeavesArticleViewAndHitAsTheyWere) {
    Serve({{12, {{0x81, 0, "some words here"}}}});
    Show(12);
    SetSearch("words");
    ASSERT_EQ(FindNext(nullptr), 1);
    uint16_t hit = view->hitStart, top = view->topRow;
    BYTE* article = view->article;
    SetSearch("absent");
    HWND owner = (HWND)0x1234;
    EXPECT_EQ(FindNext(owner), 0);
    ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
    const MessageBoxCall& box = RecordedMessageBoxes()[0];
    EXPECT_EQ(box.owner, owner);
    EXPECT_EQ(box.text, u"Not Found!");
    EXPECT_EQ(box.caption, u"Velun");
    EXPECT_EQ(box.style, 0u);
    EXPECT_EQ(gApp.currentArticle, 12);
    EXPECT_EQ(view->article, article);
    EXPECT_EQ(view->hitStart, hit);
    EXPECT_EQ(view->topRow, top);
}

TEST_F(SearchTest, AnEmptySearchStringDoesNothing) {
    Serve({});
    Show(1);
    SetSearch("");
    EXPECT_EQ(FindNext(nullptr), 0);
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST_F(SearchTest, ALayoutForgetsTheHitSoTheNextSearchStartsAtTheTop) {
    Serve({{20, {{0x81, 0, "aaa"}}}});
    Show(20);
    SetSearch("aa");
    ASSERT_EQ(FindNext(nullptr), 1);
    int t = view->hitStart;
    ResizeArticleView(view, 200, 300);
    EXPECT_EQ(view->hitStart, 0);
    ASSERT_EQ(FindNext(nullptr), 1);
    EXPECT_EQ(view->hitStart, t);
}

TEST_F(SearchTest, AHitFarDownScrollsItsRowToTheTop) {
    std::vector<TestRecord> body;
    for (int i = 0; i < 60; i++) body.push_back({0x81, 0, "Line " + std::to_string(i)});
    body.push_back({0x81, 0, "the target line"});
    for (int i = 0; i < 60; i++) body.push_back({0x81, 0, "More " + std::to_string(i)});
    Serve({{30, body}});
    Show(29);
    SetSearch("target");
    ASSERT_EQ(FindNext(nullptr), 1);
    EXPECT_EQ(gApp.currentArticle, 30);
    // Each paragraph is one line and a blank row; the title comes first.
    EXPECT_EQ(view->topRow, 2 * 61);
    EXPECT_EQ(HighlightedRuns(), std::vector<std::u16string>{u"target"});
}

TEST_F(SearchTest, ArticlesTheViewCannotTakeAreSkipped) {
    Serve({{50, {{0x81, 0, "plain needle"}}}});
    // A first record with no text is refused by the layout.
    articles[60] = {{0x81, 0, ""}, {0x81, 0, "needle"}};
    ASSERT_TRUE(PackResource(1060, Content(articles[60]), &packed[59]));
    entries[59] = {10, 1060, packed[59].resource.data(), (uint32_t)packed[59].resource.size()};
    Show(50);
    SetSearch("needle");
    ASSERT_EQ(FindNext(nullptr), 1);
    int rows = view->rowCount;
    ASSERT_EQ(FindNext(nullptr), 1);
    EXPECT_EQ(gApp.currentArticle, 50);
    EXPECT_EQ(view->hitStart, At(50, 1, 6));
    EXPECT_EQ(view->rowCount, rows);
}

TEST_F(SearchTest, ACurrentArticleOutOfRangeStillEndsTheWalk) {
    Serve({{3, {{0x81, 0, "unique"}}}});
    Show(1);
    gApp.currentArticle = 400;
    SetSearch("absent");
    EXPECT_EQ(FindNext(nullptr), 0);
    SetSearch("unique");
    ASSERT_EQ(FindNext(nullptr), 1);
    EXPECT_EQ(gApp.currentArticle, 3);
}

// ---- The dialog ----

std::function<void(HWND)> gScript;

INT_PTR CALLBACK ScriptedSearchProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = SearchDialogProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG && gScript) gScript(dialog);
    return result;
}

INT_PTR RunSearchDialog(std::function<void(HWND)> script) {
    gScript = std::move(script);
    auto* dialogTemplate =
        (LPCDLGTEMPLATEW)LoadResource(nullptr, FindResourceW(nullptr, MAKEINTRESOURCEW(115), RT_DIALOG));
    INT_PTR result = DialogBoxIndirectParamW(nullptr, dialogTemplate, nullptr, ScriptedSearchProc, 0);
    gScript = nullptr;
    return result;
}

std::u16string EditText(HWND dialog) {
    WCHAR text[64] = {};
    GetWindowTextW(GetDlgItem(dialog, 1013), text, 64);
    return text;
}

bool Checked(HWND dialog) { return SendMessageW(GetDlgItem(dialog, 1014), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetEditText(HWND dialog, const std::u16string& text) { SetWindowTextW(GetDlgItem(dialog, 1013), text.c_str()); }

void Press(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, id, 0); }

TEST_F(SearchTest, DialogShowsTheStoredBytesAsLatin1AndTheOption) {
    SetSearch("x\xD0y", true);
    EXPECT_EQ(RunSearchDialog([](HWND dialog) {
                  EXPECT_EQ(EditText(dialog), u"x\u00D0y");
                  EXPECT_TRUE(Checked(dialog));
                  // Its caption is the program's; screen readers call it by its heading.
                  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(WidgetOf(dialog));
                  EXPECT_EQ(WidgetOf(dialog)->windowTitle(), "Velun");
                  EXPECT_EQ(face->text(QAccessible::Name), "Search");
                  Press(dialog, IDCANCEL);
              }),
              IDCANCEL);
    EXPECT_STREQ(gApp.searchString, "x\xD0y");
}

TEST_F(SearchTest, DialogCancelKeepsStringAndOption) {
    SetSearch("kept");
    RunSearchDialog([](HWND dialog) {
        SetEditText(dialog, u"other");
        SendMessageW(GetDlgItem(dialog, 1014), BM_SETCHECK, BST_CHECKED, 0);
        Press(dialog, IDCANCEL);
    });
    EXPECT_STREQ(gApp.searchString, "kept");
    EXPECT_FALSE(gApp.Flags & kFlagMatchCase);
}

TEST_F(SearchTest, DialogStoresLowBytesAndTheOptionEvenWhenNothingIsFound) {
    Serve({});
    Show(1);
    SetSearch("old");
    bool stayedOpen = false;
    HWND shown = nullptr;
    RunSearchDialog([&](HWND dialog) {
        shown = dialog;
        SetEditText(dialog, u"\u05F0bc");  // beyond Latin-1 and not a letter
        SendMessageW(GetDlgItem(dialog, 1014), BM_SETCHECK, BST_CHECKED, 0);
        Press(dialog, IDOK);
        stayedOpen = IsWindow(dialog);
        Press(dialog, IDCANCEL);
    });
    // Not found: the dialog stayed open and owned the message.
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(RecordedMessageBoxes()[0].owner, shown);
    EXPECT_STREQ(gApp.searchString, "\xF0" "bc");
    EXPECT_TRUE(gApp.Flags & kFlagMatchCase);
}

TEST_F(SearchTest, DialogClosesOnAHitAndOnAnEmptyString) {
    Serve({{2, {{0x81, 0, "a word"}}}});
    Show(1);
    EXPECT_EQ(RunSearchDialog([](HWND dialog) {
                  SetEditText(dialog, u"WORD");
                  Press(dialog, IDOK);
              }),
              IDOK);
    EXPECT_EQ(gApp.currentArticle, 2);
    EXPECT_FALSE(gApp.Flags & kFlagMatchCase);
    EXPECT_EQ(RunSearchDialog([](HWND dialog) {
                  SetEditText(dialog, u"");
                  Press(dialog, IDOK);
              }),
              IDOK);
    EXPECT_STREQ(gApp.searchString, "");
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST_F(SearchTest, DialogTakesAtMost33Characters) {
    Serve({});
    Show(1);
    std::string longest(33, 'q');
    RunSearchDialog([](HWND dialog) {
        SetEditText(dialog, std::u16string(40, u'q'));
        EXPECT_EQ(EditText(dialog).size(), 33u);
        Press(dialog, IDOK);
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(std::string(gApp.searchString), longest);
}

TEST_F(SearchTest, DialogTakesHebrewAsTypedAndShowsItAgainAsHebrew) {
    gApp.fontSettings.FontAsciiBase = 1488;
    Serve({{5, {{0x91, 0, "nfmz ."}}}});  // stored in display order
    Show(1);
    EXPECT_EQ(RunSearchDialog([](HWND dialog) {
                  SetEditText(dialog, u"שלום");
                  Press(dialog, IDOK);
              }),
              IDOK);
    EXPECT_EQ(gApp.currentArticle, 5);
    RunSearchDialog([](HWND dialog) {
        EXPECT_EQ(EditText(dialog), u"שלום");
        Press(dialog, IDCANCEL);
    });
}

// ---- The headless renderer's --search ----

namespace headless {

int Render(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "velun");
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    return RunHeadless((int)arguments.size(), argv.data());
}

int YellowPixels(const std::string& png) {
    QImage image(QString::fromStdString(png));
    int count = 0;
    for (int y = 0; y < image.height(); y++)
        for (int x = 0; x < image.width(); x++) count += (image.pixel(x, y) & 0xFFFFFF) == 0xFFFF00;
    return count;
}

TEST(HeadlessSearch, DrawsTheHitAndTheTitleBoxOrSaysNotFound) {
    std::string plain = testing::TempDir() + "search-plain.png", hit = testing::TempDir() + "search-hit.png";
    ASSERT_EQ(Render({"--render", "1", "--out", plain}), 0);
    std::string hebrewHit = testing::TempDir() + "search-hebrew-hit.png";
    ASSERT_EQ(Render({"--render", "1", "--search", "alef", "--out", hit}), 0);
    EXPECT_EQ(Render({"--render", "1", "--search", "אבא", "--out", hebrewHit}), 0);  // typed as Hebrew
    EXPECT_EQ(YellowPixels(plain), 0);
    EXPECT_GT(YellowPixels(hit), 1000);  // the hit's background and the title box
    EXPECT_GT(YellowPixels(hebrewHit), 500);  // a shorter word and title

    std::string missing = testing::TempDir() + "search-missing.png";
    std::remove(missing.c_str());
    // The headless program never brings the window layer up, so its message boxes
    // go to stderr; here the layer may be up from other tests and is put back after.
    EnsureWindowLayer();
    SetMessageBoxShower(nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Render({"--render", "1", "--search", "qzxv quill", "--out", missing}), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Not Found!"), std::string::npos);
    InstallQtMessageBox();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(missing)));
}

}  // namespace headless

}  // namespace
