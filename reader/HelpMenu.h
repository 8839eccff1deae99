// The Help menu opens the reader's own guide, which the collection holds as its
// last articles: Reading Guide (F1) at the guide's first article, Keys at the keys.
#pragma once

constexpr int kReadingGuideArticle = 180;
constexpr int kKeysArticle = 186;
