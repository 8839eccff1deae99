// Hand-made articles and a view on the fake surface for the article view tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/Content.h"
#include "platform/ResourceStore.h"
#include "platform/TestHooks.h"
#include "platform/fake/FakeSurface.h"
#include "shell/AppState.h"
#include "views/ArticleView.h"
#include "views/TextMapping.h"

struct TestRecord {
    BYTE style;
    BYTE indent;
    std::string text;
};

// A malloc'd article as LoadContent hands it out: the records, the end record and
// the zero tail.
inline BYTE* MakeArticle(const std::vector<TestRecord>& records) {
    std::vector<BYTE> bytes;
    for (const TestRecord& r : records) {
        bytes.push_back(r.style);
        bytes.push_back(r.indent);
        bytes.insert(bytes.end(), r.text.begin(), r.text.end());
        bytes.push_back(0);
    }
    bytes.insert(bytes.end(), 3 + kContentZeroTail, 0);
    auto* article = (BYTE*)malloc(bytes.size());
    memcpy(article, bytes.data(), bytes.size());
    return article;
}

// Offset of the text of record `index` inside an article made by MakeArticle.
inline int TextOffset(const std::vector<TestRecord>& records, size_t index) {
    int offset = 2;
    for (size_t i = 0; i < index; i++) offset += 2 + (int)records[i].text.size() + 1;
    return offset;
}

// Fake metrics: every unit 8 px, tmMaxCharWidth 10, cell height = font height or 16.
class ArticleViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        gApp.fontSettings.FontAsciiBase = kRestingBase;
        gMapping.base = kRestingBase;
        dc = CreateFakeDC(FakeMetrics());
    }
    void TearDown() override {
        DestroyArticleView(view, TRUE);
        DeleteDC(dc);
    }

    ArticleView* Open(int width, int height, int left = 0, int top = 0) {
        DestroyArticleView(view, TRUE);
        RECT rect = {left, top, left + width, top + height};
        FontSettings settings = {};
        settings.FontAsciiBase = kRestingBase;
        view = CreateArticleView(dc, &rect, &settings, 100);
        return view;
    }

    int Layout(const std::vector<TestRecord>& records) {
        records_ = records;
        return LayoutArticle(view, MakeArticle(records), TRUE);
    }

    int Offset(size_t record, int within = 0) const { return TextOffset(records_, record) + within; }
    const ArticleLine& Line(int i) const { return view->lines[i]; }

    HDC dc = nullptr;
    ArticleView* view = nullptr;
    std::vector<TestRecord> records_;
};

// A 240x320 view that the shell's commands use as the reader's, with message boxes
// answered by script and the collection's own resources afterwards.
class ReaderViewTest : public ArticleViewTest {
  protected:
    void SetUp() override {
        ArticleViewTest::SetUp();
        ScriptMessageBoxes({});
        gApp.Flags = kDefaultFlags;
        Open(240, 320);
        gApp.articleView = view;
    }
    void TearDown() override {
        gApp.articleView = nullptr;
        SetOverrideResourceTable(nullptr);
        StopMessageBoxScript();
        ArticleViewTest::TearDown();
    }
};
