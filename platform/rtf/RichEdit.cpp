#include "platform/rtf/RichEdit.h"

#include "base/Cp1252.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocumentFragment>

#include <cmath>
#include <memory>

RichEdit *WorkRich = nullptr;

// The document's defaults: its font size and default tab distance.
void ScaleDefaults(QTextDocument *doc, qreal factor) {
    QFont base = doc->defaultFont();
    if (base.pointSizeF() > 0) base.setPointSizeF(base.pointSizeF() * factor);
    doc->setDefaultFont(base);
    QTextOption option = doc->defaultTextOption();
    option.setTabStopDistance(option.tabStopDistance() * factor);
    doc->setDefaultTextOption(option);
}

void ScaleDocument(QTextDocument *doc, qreal factor) {
    if (factor == 1.0) return;
    ScaleDefaults(doc, factor);
    QTextCursor cursor(doc);
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat bf = block.blockFormat();
        bf.setLeftMargin(bf.leftMargin() * factor);
        bf.setRightMargin(bf.rightMargin() * factor);
        bf.setTextIndent(bf.textIndent() * factor);
        QList<QTextOption::Tab> tabs = bf.tabPositions();
        for (QTextOption::Tab &t : tabs) t.position *= factor;
        bf.setTabPositions(tabs);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(bf);
        QTextCharFormat mark = block.charFormat();
        if (mark.hasProperty(QTextFormat::FontPointSize)) {
            mark.setFontPointSize(mark.fontPointSize() * factor);
            cursor.setBlockCharFormat(mark);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat cf = fragment.charFormat();
            if (!cf.hasProperty(QTextFormat::FontPointSize)) continue;
            cf.setFontPointSize(cf.fontPointSize() * factor);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(cf);
        }
    }
}

namespace {

// The document as stored: a copy with the zoom taken off.
std::unique_ptr<QTextDocument> Unzoomed(const QTextDocument *doc, qreal zoom) {
    std::unique_ptr<QTextDocument> copy(doc->clone());
    ScaleDocument(copy.get(), 1.0 / zoom);
    return copy;
}

} // namespace

RichEdit::RichEdit(QWidget *parent) : QTextEdit(parent) {
    setAcceptRichText(true);
    setTabChangesFocus(false);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this, [this] {
        const int h = contentHeight();
        if (h == lastHeight_) return;
        lastHeight_ = h;
        emit heightRequested(h);
    });
}

QString RichEdit::rtf() const {
    if (zoom_ == 1.0) return WriteRtf(document());
    return WriteRtf(Unzoomed(document(), zoom_).get());
}

void RichEdit::setZoom(qreal ratio) {
    if (ratio <= 0 || ratio == zoom_) return;
    const bool wasModified = document()->isModified();
    const bool undo = document()->isUndoRedoEnabled();
    document()->setUndoRedoEnabled(false);
    ScaleDocument(document(), ratio / zoom_);
    document()->setUndoRedoEnabled(undo);
    document()->setModified(wasModified);
    zoom_ = ratio;
}

void RichEdit::setRtf(const QString &rtf) {
    const bool wasModified = document()->isModified();
    const int caret = selStart();
    const bool undo = document()->isUndoRedoEnabled();
    document()->setUndoRedoEnabled(false);
    if (zoom_ != 1.0) ScaleDefaults(document(), 1.0 / zoom_);
    ReadRtf(rtf, document());
    ScaleDocument(document(), zoom_);
    document()->setUndoRedoEnabled(undo);
    document()->setModified(wasModified);
    setSelStart(caret);
}

QString RichEdit::selectionRtf() const {
    const QTextCursor c = textCursor();
    if (!c.hasSelection()) return QString();
    if (zoom_ == 1.0) return WriteRtfSelection(c);
    const std::unique_ptr<QTextDocument> copy = Unzoomed(document(), zoom_);
    QTextCursor same(copy.get());
    same.setPosition(c.anchor());
    same.setPosition(c.position(), QTextCursor::KeepAnchor);
    return WriteRtfSelection(same);
}

void RichEdit::replaceSelectionRtf(const QString &rtf) {
    QTextDocument part;
    part.setDefaultFont(document()->defaultFont());
    if (zoom_ != 1.0) ScaleDefaults(&part, 1.0 / zoom_);
    ReadRtf(rtf, &part);
    ScaleDocument(&part, zoom_);
    QTextCursor c = textCursor();
    c.beginEditBlock();
    c.removeSelectedText();
    c.insertFragment(QTextDocumentFragment(&part));
    c.endEditBlock();
    setTextCursor(c);
}

QString RichEdit::text() const {
    QString out;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (b != document()->begin()) out += QLatin1String("\r\n");
        out += b.text();
    }
    out.replace(QChar(QChar::LineSeparator), QChar(0x0B));
    return out;
}

int RichEdit::textPos(int docPos) const {
    const QTextBlock target = document()->findBlock(docPos);
    int acc = 0;
    for (QTextBlock b = document()->begin(); b.isValid() && b != target; b = b.next()) acc += b.length() + 1;
    return acc + std::max(0, docPos - target.position());
}

int RichEdit::docPos(int textPos) const {
    int acc = 0;
    QTextBlock last;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const int chars = b.length() - 1;
        if (textPos <= acc + chars) return b.position() + std::max(0, textPos - acc);
        acc += chars + 2;
        if (textPos < acc) return b.position() + chars; // between CR and LF
        last = b;
    }
    return last.isValid() ? last.position() + last.length() - 1 : 0;
}

int RichEdit::selStart() const { return textPos(textCursor().selectionStart()); }

int RichEdit::selLength() const {
    const QTextCursor c = textCursor();
    return textPos(c.selectionEnd()) - textPos(c.selectionStart());
}

void RichEdit::setSelStart(int pos) {
    QTextCursor c = textCursor();
    c.setPosition(docPos(std::max(0, pos)));
    setTextCursor(c);
}

void RichEdit::setSelLength(int len) {
    const int start = selStart();
    select(start, len);
}

void RichEdit::select(int start, int length) {
    QTextCursor c = textCursor();
    c.setPosition(docPos(std::max(0, start)));
    c.setPosition(docPos(std::max(0, start + std::max(0, length))), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichEdit::selText() const { return text().mid(selStart(), selLength()); }

bool RichEdit::modified() const { return document()->isModified(); }
void RichEdit::setModified(bool m) { document()->setModified(m); }

bool RichEdit::wholeSelection(const std::function<bool(const QTextCharFormat &)> &test) const {
    const QTextCursor c = textCursor();
    if (!c.hasSelection()) return test(c.charFormat());
    const int start = c.selectionStart(), end = c.selectionEnd();
    for (QTextBlock b = document()->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= start || f.position() >= end) continue;
            if (!test(f.charFormat())) return false;
        }
    }
    return true;
}

bool RichEdit::selBold() const {
    return wholeSelection([](const QTextCharFormat &f) { return f.fontWeight() >= QFont::DemiBold; });
}
bool RichEdit::selItalic() const {
    return wholeSelection([](const QTextCharFormat &f) { return f.fontItalic(); });
}
bool RichEdit::selUnderline() const {
    return wholeSelection([](const QTextCharFormat &f) { return f.fontUnderline(); });
}

void RichEdit::setSelBold(bool on) {
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeCurrentCharFormat(f);
}

void RichEdit::setSelItalic(bool on) {
    QTextCharFormat f;
    f.setFontItalic(on);
    mergeCurrentCharFormat(f);
}

void RichEdit::setSelUnderline(bool on) {
    QTextCharFormat f;
    f.setFontUnderline(on);
    mergeCurrentCharFormat(f);
}

void RichEdit::setSelPlain() {
    QTextCharFormat f;
    f.setFontWeight(QFont::Normal);
    f.setFontItalic(false);
    f.setFontUnderline(false);
    f.setFontStrikeOut(false);
    f.setVerticalAlignment(QTextCharFormat::AlignNormal);
    mergeCurrentCharFormat(f);
    clearSelProperty(RtfRaiseProperty);
    clearSelProperty(QTextFormat::TextBaselineOffset);
}

void RichEdit::clearSelProperty(int property) {
    QTextCursor c = textCursor();
    if (!c.hasSelection()) {
        QTextCharFormat f = currentCharFormat();
        f.clearProperty(property);
        setCurrentCharFormat(f);
        return;
    }
    struct Piece {
        int pos, len;
        QTextCharFormat format;
    };
    QList<Piece> pieces;
    const int start = c.selectionStart(), end = c.selectionEnd();
    for (QTextBlock b = document()->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int from = std::max(start, f.position()), to = std::min(end, f.position() + f.length());
            if (from < to && f.charFormat().hasProperty(property)) pieces.append({from, to - from, f.charFormat()});
        }
    }
    c.beginEditBlock();
    for (Piece &p : pieces) {
        QTextCursor r(document());
        r.setPosition(p.pos);
        r.setPosition(p.pos + p.len, QTextCursor::KeepAnchor);
        p.format.clearProperty(property);
        r.setCharFormat(p.format);
    }
    c.endEditBlock();
}

void RichEdit::setSelFont(const QString &family) {
    QTextCharFormat f;
    f.setFontFamilies(QStringList{family});
    mergeCurrentCharFormat(f);
}

void RichEdit::setSelSize(qreal points) {
    if (points <= 0) return;
    QTextCharFormat f;
    f.setFontPointSize(points);
    mergeCurrentCharFormat(f);
}

QColor RichEdit::selColour() const {
    const QTextCharFormat f = textCursor().charFormat();
    if (!f.hasProperty(QTextFormat::ForegroundBrush) || f.foreground().style() == Qt::NoBrush) return {};
    return f.foreground().color();
}

void RichEdit::setSelColour(const QColor &colour) {
    if (!colour.isValid()) {
        clearSelProperty(QTextFormat::ForegroundBrush);
        return;
    }
    QTextCharFormat f;
    f.setForeground(colour);
    mergeCurrentCharFormat(f);
}

int RichEdit::contentHeight() const {
    return int(std::ceil(document()->size().height())) + 2 * frameWidth();
}

bool RichEdit::event(QEvent *e) {
    if (e->type() == QEvent::ShortcutOverride) {
        auto *ke = static_cast<QKeyEvent *>(e);
        const QKeySequence seq(ke->keyCombination());
        bool leave = windowKeys_.contains(seq);
        if (!leave && copyLeftWithoutSelection_ && !textCursor().hasSelection() && ke->matches(QKeySequence::Copy))
            leave = true;
        if (leave) {
            e->ignore();
            return false;
        }
    }
    return QTextEdit::event(e);
}

QStringList RtfMimeTypes() {
    return {QStringLiteral("text/rtf"), QStringLiteral("application/rtf"), QStringLiteral("text/richtext")};
}

QString RtfFromMimeData(const QMimeData *data) {
    if (!data) return {};
    for (const QString &type : RtfMimeTypes()) {
        if (!data->hasFormat(type)) continue;
        QByteArray bytes = data->data(type);
        while (bytes.endsWith('\0')) bytes.chop(1);
        if (!bytes.isEmpty()) return Cp1252::decode(bytes);
    }
    return {};
}

bool RichEdit::canInsertFromMimeData(const QMimeData *source) const {
    if (!source) return false;
    for (const QString &type : RtfMimeTypes())
        if (source->hasFormat(type)) return true;
    return QTextEdit::canInsertFromMimeData(source);
}

void RichEdit::insertFromMimeData(const QMimeData *source) {
    if (!source || isReadOnly()) return;
    if (pasteHandler_ && pasteHandler_(source)) return;
    insertMimeData(source);
}

void RichEdit::insertMimeData(const QMimeData *source) {
    const QString rtf = RtfFromMimeData(source);
    if (!rtf.isEmpty()) {
        replaceSelectionRtf(rtf);
        ensureCursorVisible();
        return;
    }
    QTextEdit::insertFromMimeData(source);
}

QMimeData *RichEdit::createMimeDataFromSelection() const {
    const QTextCursor c = textCursor();
    auto *m = new QMimeData;
    if (!c.hasSelection()) return m;
    const QTextDocumentFragment fragment = c.selection();
    m->setData(QStringLiteral("text/rtf"), selectionRtf().toLatin1());
    m->setHtml(fragment.toHtml());
    m->setText(fragment.toPlainText());
    return m;
}

void CopyRTF(RichEdit *source, RichEdit *target) {
    if (!source || !target || source->document()->isEmpty()) return;
    QTextCursor c = source->textCursor();
    if (!c.hasSelection()) c.select(QTextCursor::Document);
    target->replaceSelectionRtf(WriteRtfSelection(c));
}

void CopyRich(RichEdit *source, RichEdit *target) {
    if (!source || !target) return;
    if (source->document()->isEmpty()) {
        const bool m = target->modified();
        target->clear();
        target->setModified(m);
        return;
    }
    target->setRtf(source->rtf());
}

std::optional<QColor> GetSelBackColor(RichEdit *edit) {
    const QTextCursor c = edit->textCursor();
    auto background = [](const QTextCharFormat &f) -> QColor {
        if (!f.hasProperty(QTextFormat::BackgroundBrush) || f.background().style() == Qt::NoBrush) return {};
        return f.background().color();
    };
    if (!c.hasSelection()) return background(c.charFormat());
    std::optional<QColor> found;
    const int start = c.selectionStart(), end = c.selectionEnd();
    const QTextDocument *doc = edit->document();
    for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= start || f.position() >= end) continue;
            const QColor colour = background(f.charFormat());
            if (!found) found = colour;
            else if (found->isValid() != colour.isValid() || (colour.isValid() && found->rgb() != colour.rgb()))
                return std::nullopt;
        }
    }
    return found ? found : background(c.charFormat());
}

void SetSelBackColor(RichEdit *edit, const QColor &colour) {
    if (!colour.isValid()) {
        edit->clearSelProperty(QTextFormat::BackgroundBrush);
        return;
    }
    QColor c = colour.toRgb();
    if (c.red() == 0 && c.green() == 0 && c.blue() == 0) c = QColor(1, 0, 0);
    QTextCharFormat f;
    f.setBackground(c);
    edit->mergeCurrentCharFormat(f);
}

void LoadRichText(const QString &rtf, RichEdit *edit) { edit->setRtf(rtf); }

QString StripRtfHeaderGroups(RichEdit *edit) { return edit->rtf(); }

RichEdit *EnsureWorkRich() {
    if (!WorkRich) {
        WorkRich = new RichEdit;
        WorkRich->setObjectName(QStringLiteral("WorkRich"));
        WorkRich->hide();
        qAddPostRoutine([] {
            delete WorkRich;
            WorkRich = nullptr;
        });
    }
    return WorkRich;
}
