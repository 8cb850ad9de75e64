#pragma once
// The formatting commands on a rich-edit box, shared by the main window's
// instructions box and the instruction editor: each works on the box's
// selection (or its typing position without one), as the toolbar button,
// the menu item and the key of either window do.

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QWidget;
class RichEdit;

// The font and colour dialogs; tests install answers of their own.
class FormatDialogs {
public:
    virtual ~FormatDialogs() = default;
    // The chosen font, nullopt on Cancel.
    virtual std::optional<QFont> font(QWidget *parent, const QFont &start);
    // The chosen colour, nullopt on Cancel.
    virtual std::optional<QColor> colour(QWidget *parent, const QColor &start);
};
// Installs the dialogs (not owned); null restores Qt's.
void SetFormatDialogs(FormatDialogs *dialogs);
FormatDialogs &CurrentFormatDialogs();

// Bold, italic, underline: on for the whole selection unless the whole of it
// has the style already, in which case off.
void ToggleBold(RichEdit *box);
void ToggleItalic(RichEdit *box);
void ToggleUnderline(RichEdit *box);
// Plain style in the primary font and size (CardsDFont, CardsDSize); the box's
// own font becomes the primary one too.
void NormalStyle(RichEdit *box);
// Text colour and background colour change places; the automatic text
// colour counts as black and no background as white.
void InverseSelection(RichEdit *box);

// The elements the editor inserts: non-breaking space, non-breaking hyphen
// and line break, which the RTF writer stores as "\~", "\_" and "\line ".
inline constexpr char16_t NonBreakingSpace = 0x00A0;
inline constexpr char16_t NonBreakingHyphen = 0x2011;
inline constexpr char16_t LineBreak = 0x2028;
// Puts the element in place of the selection, the caret just after it.
void InsertElement(RichEdit *box, char16_t element);

// The font of the selection (of the typing position): family, size, bold,
// italic, underline; and giving them to the selection.
QFont SelectionFont(RichEdit *box);
void ApplySelectionFont(RichEdit *box, const QFont &font);
// The font dialog over the selection; true when a font was applied.
bool ChooseSelectionFont(QWidget *parent, RichEdit *box);
// The background-colour dialog starting at the selection's background; OK
// sets it. True when set.
bool ChooseBackgroundColour(QWidget *parent, RichEdit *box);

// The primary font: a font dialog at CardsDFont and CardsDSize; OK takes its
// family and point size (SetPrimaryFont) and refills the card settings.
// True on OK.
bool ChoosePrimaryFont(QWidget *parent);
// A font picked from a list: the primary family, the size kept.
void TakePrimaryFamily(const QString &family);
