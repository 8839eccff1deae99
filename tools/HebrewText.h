// Right-to-left paragraphs: logical-order Hebrew to the stored display-order bytes and back.
#pragma once

#include <string>

// Why a character cannot stand in a Hebrew paragraph, or "" when it can.
std::string CheckHebrewCharacter(char32_t c);
// Reorders a checked paragraph (logical order) for display in a right-to-left paragraph,
// mirrors brackets and maps the letters to the stored bytes. False when the text holds a
// character CheckHebrewCharacter refuses or the reordering fails.
bool HebrewToStored(const std::u32string& logical, std::string* stored);
// The inverse: stored bytes back to letters in logical order. False when the bytes hold
// something a Hebrew paragraph cannot (the caller then keeps the bytes as they are).
bool StoredToHebrew(const std::string& stored, std::u32string* logical);
