// Copying the current article to the clipboard.
#pragma once

#include "../views/ArticleView.h"

void ExportArticle(ArticleView* view, int append);
