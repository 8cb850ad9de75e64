#include "presentation/InstructionEdit.h"

#include "base/Cp1252.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "core/services/Help.h"
#include "core/startup/Settings.h"
#include "platform/rtf/RichEdit.h"
#include "presentation/CardSettings.h"

#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

bool TabBlockOpen = false;
QChar NbspState = QChar('N');
bool SavingInstructions = false;

void Juggle(RichEdit *editor, QString &stored, InstructionBox box) {
    const bool modified = editor->modified();
    const int caret = editor->selStart();
    if (box != InstructionBox::CardBox) TabBlockOpen = false;

    // A tab paragraph continued from the previous card starts at its indent.
    const QString text = editor->text();
    if (TabBlockOpen && !text.isEmpty() && !text.section(QStringLiteral("\r\n"), 0, 0).contains(u'\t')) {
        QTextCursor c(editor->document());
        c.movePosition(QTextCursor::Start);
        c.insertText(QStringLiteral("\t"));
    }

    const QString rtf = StripRtfHeaderGroups(editor);
    if (RTFWordPos(QStringLiteral("\\intbl"), rtf) > 0) {
        stored = rtf;
        editor->setModified(modified);
        editor->setSelStart(caret);
        return;
    }
    if (box != InstructionBox::MainInstructions && NbspState == u'T' && !rtf.contains(QLatin1String("\\~"))) {
        OKHelpCancel(QStringLiteral("Non-breaking spaces have been lost."), 60400);
        NbspState = QChar('D');
    }
    const LayoutResult r = LayoutText(rtf, TabBlockOpen, CurrentCardLayout(), box);
    stored = r.stored;
    TabBlockOpen = r.tabBlockOpen;
    LoadRichText(r.text, editor);
    editor->setModified(modified);
    editor->setSelStart(caret);
}

namespace {

// The stored form of a box: empty for empty text.
QString storedForm(RichEdit *box, InstructionBox role) {
    if (!box || box->text().isEmpty()) return {};
    TabBlockOpen = false;
    QString stored;
    Juggle(box, stored, role);
    return TrimRTF(stored) + QLatin1String("\\par }");
}

} // namespace

void SaveInstructions(const InstructionSave &save) {
    if (SavingInstructions) return;
    SavingInstructions = true;
    struct Clear {
        ~Clear() { SavingInstructions = false; }
    } clearOnExit;

    RichEdit *inst = save.instructions;
    const int caret = inst->selStart();
    const QString plain = inst->text();
    InstructionRecord &rec = *save.record;
    rec.edit();
    rec.setField(QStringLiteral("Instructions"), storedForm(inst, InstructionBox::EditorInstructions));
    rec.setField(QStringLiteral("Footer"), storedForm(save.footer, InstructionBox::EditorFooter));
    rec.setField(QStringLiteral("Printed"), QString());

    if (save.musicBox.isEmpty() && !plain.contains(Pilcrow)) {
        const TuneSource source{plain,
                                save.showTitles,
                                rec.field(QStringLiteral("Format")),
                                rec.field(QStringLiteral("Style")),
                                rec.field(QStringLiteral("OwnTune")),
                                save.rhythmBox,
                                rec.field(QStringLiteral("Collection"))};
        if (const std::optional<QString> tune = TuneFromInstructions(source)) {
            rec.setField(QStringLiteral("Music"), *tune);
            if (save.showDance) save.showDance();
        } else if (save.refine) {
            OKHelpCancel(QStringLiteral("Music not found in text."), 85500);
        }
    }
    if (!save.fromMainWindow) rec.post();
    if (plain.contains(Pilcrow)) OKHelpCancel(QStringLiteral("Warning: Instructions contain ") + Pilcrow, 40120);

    inst->setSelStart(caret);
    inst->setModified(false);
    if (save.footer) save.footer->setModified(false);
    if (save.startLayoutJob) save.startLayoutJob();
}

namespace {

struct Run {
    QString text; // empty: a paragraph break
    bool bold = false, italic = false, underline = false;
};

// Characters as the paste keeps them: non-breaking spaces and hyphens and line
// breaks become blanks, optional hyphens and embedded objects go.
QString pastedText(const QString &t) {
    QString out;
    out.reserve(t.size());
    for (QChar c : t) {
        switch (c.unicode()) {
        case 0x00AD: case QChar::ObjectReplacementCharacter: break;
        case 0x00A0: case 0x2011: case QChar::LineSeparator: out += u' '; break;
        default: out += c;
        }
    }
    return out;
}

void addBlock(const QTextBlock &b, QList<Run> &runs) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        const QString text = pastedText(f.text());
        if (text.isEmpty()) continue;
        const QTextCharFormat fmt = f.charFormat();
        runs.append(Run{text, fmt.fontWeight() >= QFont::DemiBold, fmt.fontItalic(), fmt.fontUnderline()});
    }
}

void collectTables(QTextFrame *frame, QList<QTextTable *> &tables) {
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame *child = it.currentFrame()) {
            if (auto *t = qobject_cast<QTextTable *>(child)) tables.append(t);
            else collectTables(child, tables);
        }
    }
}

// Paragraph runs of a document: the non-empty paragraphs, or with a table
// only its rows (cells joined by tabs, each row ending in a break).
QList<Run> pastedRuns(QTextDocument *doc, bool &table) {
    QList<Run> runs;
    QList<QTextTable *> tables;
    collectTables(doc->rootFrame(), tables);
    table = !tables.isEmpty();
    if (table) {
        for (QTextTable *t : tables) {
            for (int r = 0; r < t->rows(); ++r) {
                for (int c = 0; c < t->columns(); ++c) {
                    const QTextTableCell cell = t->cellAt(r, c);
                    if (cell.column() != c) continue; // a column the cell to its left spans
                    if (c > 0) runs.append(Run{QStringLiteral("\t")});
                    if (cell.row() != r) continue;
                    bool firstBlock = true;
                    for (auto it = cell.begin(); !it.atEnd(); ++it) {
                        if (!it.currentBlock().isValid()) continue;
                        if (!firstBlock) runs.append(Run{});
                        firstBlock = false;
                        addBlock(it.currentBlock(), runs);
                    }
                }
                runs.append(Run{});
            }
        }
        return runs;
    }
    bool first = true;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        QList<Run> block;
        addBlock(b, block);
        if (block.isEmpty()) continue; // empty paragraphs are dropped
        if (!first) runs.append(Run{});
        first = false;
        runs += block;
    }
    return runs;
}

void pastePlain(QWidget *target, const QString &text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(u'\r', u'\n');
    if (auto *line = qobject_cast<QLineEdit *>(target)) line->insert(t);
    else if (auto *edit = qobject_cast<QTextEdit *>(target)) edit->textCursor().insertText(t);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(target)) plain->insertPlainText(t);
}

} // namespace

void PasteClick(QWidget *target, const QMimeData *data) {
    if (!target || !data) return;
    auto *rich = qobject_cast<RichEdit *>(target);
    const bool hasRich = !RtfFromMimeData(data).isEmpty() || data->hasHtml();
    if (!rich || !hasRich) {
        pastePlain(target, data->text());
        return;
    }
    if (!YesNo(QStringLiteral("Keep font size / bold / italic / underline information?"))) {
        pastePlain(target, data->text());
        return;
    }
    const int caret = rich->selStart();
    RichEdit *work = EnsureWorkRich();
    work->clear();
    work->insertMimeData(data);
    bool table = false;
    const QList<Run> runs = pastedRuns(work->document(), table);
    if (table) {
        OpenHelp(60110);
        WriteLog(QStringLiteral("Convert table"));
    }

    QTextCursor c = rich->textCursor();
    QTextCharFormat caretFormat = rich->currentCharFormat();
    if (c.hasSelection()) {
        QTextCursor at(rich->document());
        at.setPosition(c.selectionStart());
        caretFormat = at.charFormat();
    }
    c.beginEditBlock();
    c.removeSelectedText();
    if (!runs.isEmpty() && !c.atBlockStart()) {
        const QChar before = rich->document()->characterAt(c.position() - 1);
        if (before != u' ' && before != u'\t' && before != QChar(QChar::LineSeparator)) c.insertText(QStringLiteral(" "), caretFormat);
    }
    for (const Run &run : runs) {
        if (run.text.isEmpty()) {
            c.insertBlock();
            continue;
        }
        QTextCharFormat f = caretFormat;
        f.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(run.italic);
        f.setFontUnderline(run.underline);
        c.insertText(run.text, f);
    }
    c.endEditBlock();
    work->clear();

    if (OptionChecked(QStringLiteral("UsePrimary"))) rich->setRtf(SetRtfFontSize(rich->rtf()));
    rich->setSelStart(caret);
    rich->setCurrentCharFormat(caretFormat);
}

void UseInstructionPaste(RichEdit *box) {
    box->setPasteHandler([box](const QMimeData *data) {
        PasteClick(box, data);
        return true;
    });
}
