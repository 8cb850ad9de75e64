#pragma once
// The card settings: the primary font of instructions and the layout of
// instruction cards, kept in the settings section [Cards] and in the
// program-wide values below, which the layout pass and the card layout read.

#include "presentation/InstructionText.h"

#include <QList>
#include <QString>

// Kept in step with [Cards] and the settings window.
extern QString CardsDFont;      // primary font name
extern int CardsDSize;          // primary size in points
extern QString CardsDSizeText;  // the size as text
extern QString CardsHalfPoints; // the size in half-points as text (for "\fs")
extern int CardsParaGap;        // twips after a paragraph
extern int CardsLSpace;         // exact line spacing in twips
extern bool CardsHalfLines;     // the settings window's Half-lines box
extern QList<int> TabStops;     // twips, at most 32
extern int TabCount;
extern QString HangingIndentPrefix;

// What the layout pass takes from the values above.
CardLayout CurrentCardLayout();

// Puts the values above back to their state before start-up (tests).
void ResetCardSettings();
