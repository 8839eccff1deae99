// Cross-references in the article text: "article 121", "articles 45 and 46",
// "(article 31)", "see article 139". Found by scanning the decoded text, so the
// stored format stays as it is; the window draws and follows them, and anything
// else that shows the text (an export) can find the same links.
#pragma once

#include "../platform/win32.h"

struct TextLink {
    uint16_t start, end;  // byte range [start, end) in the scanned text
    uint16_t target;      // the article named, 1 to kArticleCount
};

// The links of one record's text (length bytes, no terminator needed): a word
// "article" or "articles" in any case, a space and a number of a real article;
// after "articles" the further numbers joined by ", ", " and ", " or ", " to " or
// "-" link too. The first link takes the word with its number, a further one its
// number alone. At most capacity links are written; returns how many were.
int FindTextLinks(const BYTE* text, int length, TextLink* out, int capacity);

// The links of a whole article (records as the walker hands them out), with
// ranges as offsets into the article. Right-to-left records hold none.
int FindArticleLinks(const BYTE* article, TextLink* out, int capacity);
