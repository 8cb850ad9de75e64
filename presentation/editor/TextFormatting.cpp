#include "presentation/editor/TextFormatting.h"

#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/rtf/RichEdit.h"
#include "presentation/CardSettings.h"
#include "presentation/SetForm.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QTextCursor>

#include <cmath>

namespace {
FormatDialogs QtDialogs;
FormatDialogs *Installed = nullptr;
} // namespace

std::optional<QFont> FormatDialogs::font(QWidget *parent, const QFont &start) {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, start, parent);
    if (!ok) return std::nullopt;
    return f;
}

std::optional<QColor> FormatDialogs::colour(QWidget *parent, const QColor &start) {
    const QColor c = QColorDialog::getColor(start, parent);
    if (!c.isValid()) return std::nullopt;
    return c;
}

void SetFormatDialogs(FormatDialogs *dialogs) { Installed = dialogs; }
FormatDialogs &CurrentFormatDialogs() { return Installed ? *Installed : QtDialogs; }

void ToggleBold(RichEdit *box) { box->setSelBold(!box->selBold()); }
void ToggleItalic(RichEdit *box) { box->setSelItalic(!box->selItalic()); }
void ToggleUnderline(RichEdit *box) { box->setSelUnderline(!box->selUnderline()); }

void NormalStyle(RichEdit *box) {
    box->setSelPlain();
    box->setSelFont(CardsDFont);
    box->setSelSize(CardsDSize);
    QFont f = box->document()->defaultFont();
    f.setFamilies({CardsDFont});
    f.setPointSize(CardsDSize);
    box->document()->setDefaultFont(f);
}

void InverseSelection(RichEdit *box) {
    QColor text = box->selColour();
    if (!text.isValid()) text = Qt::black;
    const std::optional<QColor> back = GetSelBackColor(box);
    QColor fore = back && back->isValid() ? *back : QColor(Qt::white);
    // The near-black the background stores for black reads back as black text.
    if (fore == QColor(1, 0, 0)) fore = Qt::black;
    box->setSelColour(fore);
    SetSelBackColor(box, text);
}

void InsertElement(RichEdit *box, char16_t element) {
    QTextCursor c = box->textCursor();
    c.insertText(QString(QChar(element)));
    box->setTextCursor(c);
}

QFont SelectionFont(RichEdit *box) {
    const QTextCharFormat f = box->textCursor().charFormat();
    QFont font = f.font();
    if (font.pointSizeF() <= 0) font.setPointSize(CardsDSize);
    return font;
}

void ApplySelectionFont(RichEdit *box, const QFont &font) {
    box->setSelFont(font.family());
    if (font.pointSizeF() > 0) box->setSelSize(font.pointSizeF());
    box->setSelBold(font.bold());
    box->setSelItalic(font.italic());
    box->setSelUnderline(font.underline());
}

bool ChooseSelectionFont(QWidget *parent, RichEdit *box) {
    const std::optional<QFont> f = CurrentFormatDialogs().font(parent, SelectionFont(box));
    if (!f) return false;
    ApplySelectionFont(box, *f);
    return true;
}

bool ChooseBackgroundColour(QWidget *parent, RichEdit *box) {
    const std::optional<QColor> now = GetSelBackColor(box);
    const QColor start = now && now->isValid() ? *now : QColor(Qt::white);
    const std::optional<QColor> c = CurrentFormatDialogs().colour(parent, start);
    if (!c) return false;
    SetSelBackColor(box, *c);
    return true;
}

bool ChoosePrimaryFont(QWidget *parent) {
    QFont start(CardsDFont);
    start.setPointSize(CardsDSize);
    const std::optional<QFont> f = CurrentFormatDialogs().font(parent, start);
    if (!f || !IniFile) return false;
    const int size = f->pointSize() > 0 ? f->pointSize() : int(std::lround(f->pointSizeF()));
    // A font this machine lacks opens the dialog at the font Qt shows in its
    // place: taking that unchanged keeps the name the settings hold.
    const QString family = f->family() == QFontInfo(start).family() ? CardsDFont : f->family();
    SetPrimaryFont(*IniFile, family, size > 0 ? size : CardsDSize);
    RefillCardSettings();
    return true;
}

void TakePrimaryFamily(const QString &family) {
    if (!IniFile || family.isEmpty()) return;
    SetPrimaryFont(*IniFile, family, CardsDSize);
    RefillCardSettings();
}
