// Which articles the reader has read: an article counts as read once its last line
// has been on screen. Kept across runs with the reading positions.
#pragma once

// article 1 to the collection's count; false for any other number.
bool IsArticleRead(int article);
// How many articles are read, for "n of 187 read".
int ReadArticleCount();
