#include "programme/rows/ItemRows.h"

#include "base/Cp1252.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace {

const char *const TagProperty = "Tag";

QColor ToColor(const Rgb &c) { return QColor(c.r, c.g, c.b); }

QLabel *NewLabel(QWidget *parent, const QString &name, int tag, const PixelRect &r) {
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(r.left, r.top, r.width, r.height);
    label->setProperty(TagProperty, tag);
    return label;
}

QLabel *NewSeparator(QWidget *parent, const PixelRect &r) {
    auto *line = new QLabel(parent);
    line->setGeometry(r.left, r.top, r.width, r.height);
    line->setAutoFillBackground(true);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, Qt::red);
    line->setPalette(p);
    return line;
}

void SetWindowColours(QWidget *w, const Rgb &background, const Rgb &font) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, ToColor(background));
    p.setColor(QPalette::WindowText, ToColor(font));
    w->setPalette(p);
}

} // namespace

int LabelTagOf(const QWidget *label) {
    const QVariant tag = label ? label->property(TagProperty) : QVariant();
    return tag.isValid() ? tag.toInt() : -1;
}

void SetLabelColour(QLabel *label, const Rgb &background) {
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, ToColor(background));
    label->setPalette(p);
}

void ClearLabelColour(QLabel *label) {
    label->setAutoFillBackground(false);
    label->setPalette(QPalette());
}

// ---------------------------------------------------------------------------

TItem::TItem(QWidget *parent, RowEventSink *sink, const RowGeometry &geometry) : QFrame(parent), sink(sink) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::ClickFocus);
    resize(width(), geometry.height);
    tableColour = {RowGrey, Black, White, false};

    Action = new QLabel(QStringLiteral("+"), this);
    Action->setObjectName(QStringLiteral("Action"));
    Action->setAlignment(Qt::AlignCenter);
    Action->setAutoFillBackground(true);
    QPalette p = Action->palette();
    p.setColor(QPalette::Window, Qt::red);
    p.setColor(QPalette::WindowText, Qt::white);
    Action->setPalette(p);
    QFont bold = Action->font();
    bold.setBold(true);
    Action->setFont(bold);
    for (const RowChild &c : geometry.children)
        if (c.kind == RowChild::Action) Action->setGeometry(c.rect.left, c.rect.top, c.rect.width, c.rect.height);
    if (sink) Action->installEventFilter(this);
    showColours();
}

void TItem::setCaption(const QString &text) {
    if (text == rowCaption) return;
    rowCaption = text;
    update();
}

void TItem::applyColour(const RowColour &colour) {
    tableColour = colour;
    selected = colour.selected;
    showColours();
}

void TItem::setSelected(bool on) {
    if (on == selected) return;
    selected = on;
    showColours();
}

Rgb TItem::background() const { return selected ? SelectedRow : tableColour.background; }

void TItem::showColours() {
    const Rgb font = selected ? Black : tableColour.font;
    SetWindowColours(this, background(), font);
    // A "Time" label takes the row's font colour and is never bold.
    if (auto *time = findChild<QLabel *>(QStringLiteral("Time"), Qt::FindDirectChildrenOnly)) {
        QPalette p = time->palette();
        p.setColor(QPalette::WindowText, ToColor(font));
        time->setPalette(p);
        QFont plain = time->font();
        plain.setBold(false);
        time->setFont(plain);
    }
}

void TItem::paintEvent(QPaintEvent *event) {
    QFrame::paintEvent(event);
    if (rowCaption.isEmpty()) return;
    // The caption centred in a band one text line high; no mnemonic flag, so
    // "&" shows as itself.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int band = fontMetrics().height();
    const QRect r = contentsRect();
    painter.drawText(QRect(r.left(), (height() - band) / 2, r.width(), band), Qt::AlignCenter, rowCaption);
}

void TItem::mousePressEvent(QMouseEvent *event) {
    if (sink) sink->ItemMouseDown(this, event);
    else QFrame::mousePressEvent(event);
}

void TItem::mouseReleaseEvent(QMouseEvent *event) {
    if (sink) sink->ItemMouseUp(this, event);
    else QFrame::mouseReleaseEvent(event);
}

void TItem::mouseMoveEvent(QMouseEvent *event) {
    if (sink) sink->ItemMouseMove(this, event);
    else QFrame::mouseMoveEvent(event);
}

bool TItem::eventFilter(QObject *watched, QEvent *event) {
    if (watched == Action && sink) {
        // The "+" has only a click of its own; it does not start a drag.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) return true;
        if (event->type() == QEvent::MouseButtonRelease) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton && Action->rect().contains(mouse->position().toPoint()))
                sink->ActionClick(this);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------

TDance::TDance(QWidget *parent, RowEventSink *sink, const RowGeometry &geometry, bool growLarge)
    : TItem(parent, sink, geometry) {
    Tag = 2;
    const PixelRect none{0, 0, 0, 0};
    Title = NewLabel(this, QStringLiteral("Title"), KeyTag, none);
    Format = NewLabel(this, QStringLiteral("Format"), KeyTag, none);
    Style = NewLabel(this, QStringLiteral("Style"), KeyTag, none);
    // Columns [Display] does not name stay hidden.
    for (QLabel *key : {Title, Format, Style}) key->hide();
    if (growLarge) {
        QFont f = font();
        if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() * 3 / 2);
        else f.setPixelSize(f.pixelSize() * 3 / 2);
        setFont(f);
        QFont bold = f;
        bold.setBold(true);
        Action->setFont(bold);
    }
    for (const RowChild &c : geometry.children) {
        if (c.kind == RowChild::Separator) {
            NewSeparator(this, c.rect);
            continue;
        }
        if (c.kind != RowChild::Column) continue;
        QLabel *label = nullptr;
        if (SameText(c.name, QStringLiteral("Title"))) label = Title;
        else if (SameText(c.name, QStringLiteral("Format"))) label = Format;
        else if (SameText(c.name, QStringLiteral("Style"))) label = Style;
        if (label) {
            label->setObjectName(c.name);
            label->setGeometry(c.rect.left, c.rect.top, c.rect.width, c.rect.height);
            label->setProperty(TagProperty, c.tag);
            label->show();
        } else {
            label = NewLabel(this, c.name, c.tag, c.rect);
        }
        columns.append(label);
    }
}

DanceKey TDance::key() const { return {Title->text(), Format->text(), Style->text()}; }

void TDance::setKey(const DanceKey &key) {
    Title->setText(key.Title);
    Format->setText(key.Format);
    Style->setText(key.Style);
}

void TDance::clearForReuse() {
    for (QObject *child : children()) {
        auto *label = qobject_cast<QLabel *>(child);
        if (!label || label == Action) continue;
        if (label->text() != QLatin1String("|")) label->clear();
        label->setToolTip(QString());
        if (label->property(TagProperty).isValid()) ClearLabelColour(label);
    }
    Recording = 0;
}

void TDance::contextMenuEvent(QContextMenuEvent *event) {
    if (!sink) return TItem::contextMenuEvent(event);
    auto *label = qobject_cast<QLabel *>(childAt(event->pos()));
    if (!label || label == Action) return TItem::contextMenuEvent(event);
    const QString name = label->objectName();
    if (label == Title) sink->TitleClick(this);
    else if (SameText(name, QStringLiteral("Called")) || SameText(name, QStringLiteral("LastC"))
             || SameText(name, QStringLiteral("Recent")))
        sink->LastCRClick(this, label);
    else if (SameText(name, QStringLiteral("LastH")))
        sink->LastHClick(this, label);
    else
        return TItem::contextMenuEvent(event);
    event->accept();
}

// ---------------------------------------------------------------------------

TNotes::TNotes(QWidget *parent, RowEventSink *sink, const RowGeometry &geometry) : TItem(parent, sink, geometry) {
    Tag = 3;
    Notes = new QPlainTextEdit(this);
    Notes->setObjectName(QStringLiteral("Notes"));
    Notes->setFrameShape(QFrame::NoFrame);
    Notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Notes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Notes->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Notes->document()->setDocumentMargin(2);
    Notes->move(15, 1);
    Notes->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Notes, &QPlainTextEdit::textChanged, this, &TNotes::memoChanged);
    if (sink) {
        connect(Notes, &QWidget::customContextMenuRequested, this, [this] { this->sink->NotesRClick(this); });
        Notes->viewport()->installEventFilter(this);
    }
}

QString TNotes::text() const {
    QString t = Notes->toPlainText();
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return t;
}

void TNotes::setText(const QString &text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    settingText = true;
    Notes->setPlainText(shown);
    settingText = false;
}

bool TNotes::fitToText() {
    // Lines as the memo wraps them at its width, measured in its font.
    const QFontMetrics fm(Notes->font());
    const qreal margin = Notes->document()->documentMargin();
    const qreal lineWidth = std::max<qreal>(1, Notes->width() - 2 * margin - 1);
    int lines = 0;
    for (QTextBlock block = Notes->document()->begin(); block.isValid(); block = block.next()) {
        QTextLayout layout(block.text(), Notes->font());
        QTextOption option = Notes->document()->defaultTextOption();
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        int blockLines = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(lineWidth);
            ++blockLines;
        }
        layout.endLayout();
        lines += std::max(blockLines, 1);
    }
    lines = std::max(lines, 1);
    const int memoHeight = lines * fm.lineSpacing() + int(2 * margin) + 2;
    Notes->resize(Notes->width(), memoHeight);
    const int rowHeight = memoHeight + 4;
    if (rowHeight == height()) return false;
    resize(width(), rowHeight);
    return true;
}

void TNotes::memoChanged() {
    if (settingText) return;
    // The separator divides the programme's items: typed or pasted into a
    // note it would split the note, so it becomes a blank.
    if (!separator.isNull() && Notes->toPlainText().contains(separator)) {
        QTextCursor cursor = Notes->textCursor();
        const int position = cursor.position();
        QString t = Notes->toPlainText();
        t.replace(separator, QLatin1Char(' '));
        settingText = true;
        Notes->setPlainText(t);
        settingText = false;
        cursor = Notes->textCursor();
        cursor.setPosition(std::min(position, int(t.size())));
        Notes->setTextCursor(cursor);
    }
    if (sink) sink->NotesChange(this);
}

void TNotes::applyColour(const RowColour &colour) { TItem::applyColour(colour); }

void TNotes::showColours() {
    TItem::showColours();
    if (!Notes) return;
    QPalette p = Notes->palette();
    p.setColor(QPalette::Base, ToColor(selected ? SelectedMemo : tableColour.memo));
    p.setColor(QPalette::Text, ToColor(Black));
    Notes->setPalette(p);
}

bool TNotes::eventFilter(QObject *watched, QEvent *event) {
    if (sink && watched == Notes->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            sink->NotesMouseDown(this, static_cast<QMouseEvent *>(event));
        else if (event->type() == QEvent::MouseButtonDblClick) {
            // The second press of a double click is a press as well.
            sink->NotesMouseDown(this, static_cast<QMouseEvent *>(event));
            sink->NotesDblClick(this);
        }
    }
    return TItem::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------

THeading::THeading(QWidget *parent, RowEventSink *sink, const RowGeometry &geometry) : TItem(parent, sink, geometry) {
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    for (const RowChild &c : geometry.children) {
        if (c.kind == RowChild::Separator) NewSeparator(this, c.rect);
        else if (c.kind == RowChild::Column) Time = NewLabel(this, c.name, c.tag, c.rect);
    }
    if (Time) {
        QFont plain = Time->font();
        plain.setBold(false);
        Time->setFont(plain);
    }
}

