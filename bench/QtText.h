// An article as Qt text, for the references the benchmarks measure against.
#pragma once

#include <QFont>
#include <QString>
#include <vector>

#include "platform/win32.h"

// One paragraph: mapped to UTF-16, in its style's font.
struct QtParagraph {
    QString text;
    QFont font;
};

// The article's text paragraphs (separators left out).
std::vector<QtParagraph> QtParagraphs(const BYTE* article);
// Appends the paragraphs to the edit's document, each in its font.
class QTextEdit;
void FillTextEdit(QTextEdit* edit, const std::vector<QtParagraph>& paragraphs);
