// Handlers of the event display, the dance editing and the instruction
// template that the Dances page and the record hooks call. Each does the
// least those callers need until its own part of the main window takes over.

#include "app/OrgForm.h"

#include "base/Dates.h"
#include "core/database/Tables.h"
#include "platform/rtf/RichEdit.h"

#include <QLineEdit>
#include <QTextBlock>
#include <QTextCursor>

void TOrgForm::AddTitleHeading(RichEdit *box, const QString &title) {
    QTextDocument *doc = box->document();
    if (doc->firstBlock().text() == title) return;
    const bool modified = box->modified();
    QTextCursor c(doc);
    c.movePosition(QTextCursor::Start);
    c.insertBlock();
    c.movePosition(QTextCursor::Start);
    QTextCharFormat heading;
    heading.setFontPointSize(14);
    heading.setFontWeight(QFont::Bold);
    c.insertText(title, heading);
    box->setModified(modified);
}
