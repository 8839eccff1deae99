// The collection's articles as the references see them: Qt text in the fonts the
// reader's styles choose, and the largest article.
#pragma once

#include <QFont>
#include <QString>
#include <vector>

#include "platform/win32.h"

struct QtParagraph {
    QString text;
    QFont font;
};

// The paragraphs of an article mapped to UTF-16, each in its style's font.
std::vector<QtParagraph> QtParagraphs(const BYTE* article);
// The largest article, loaded (the caller frees it), and its number.
BYTE* LargestArticle(int* number);
// Appends the paragraphs to the edit's document, each in its font.
class QTextEdit;
void FillTextEdit(QTextEdit* edit, const std::vector<QtParagraph>& paragraphs);
