#pragma once
// The primary instruction font of the cards, read at start-up.

#include <QString>

extern QString CardsDFont;      // [Cards] DFont
extern int CardsDSize;          // its size in points
extern QString CardsDSizeText;  // the size as text
extern QString CardsHalfPoints; // twice the size, as text (RTF's "\fs")

// Takes the card font size. The half-line layout of the card settings is
// not kept yet, so nothing else changes.
void CheckHalfLines(int size);
// Back to the values before start-up (tests).
void ResetCardFont();
