#pragma once
// The special-character panel: 256 buttons, one per character of the code
// page, made once and shown on whichever window asks for it (the main
// window's notes, the instruction editor, the full-screen display).

#include <QString>

#include <functional>

class QFrame;
class QWidget;
class RichEdit;

// Shows the panel on owner with every button's click going to handler (the
// button's caption is passed). fontFrom: an editor whose selection's font the
// buttons take, or null for the owner's font.
void ShowSpecialChars(QWidget *owner, std::function<void(const QString &)> handler, RichEdit *fontFrom = nullptr);
// The panel (null before the first showing); hiding it.
QFrame *SpecialPanel();
void HideSpecialChars();
