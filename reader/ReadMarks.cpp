#include "ReadMarks.h"

bool IsArticleRead(int) { return false; }

int ReadArticleCount() { return 0; }
