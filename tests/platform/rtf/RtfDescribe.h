#pragma once
// Readable one-line descriptions of a rich-text document, so that reader and
// writer tests compare short strings instead of poking at formats.

#include "platform/rtf/RtfReader.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

// Lengths back in twips for reading.
inline int Twips(qreal px) { return qRound(px * TwipsPerPixel); }

// The character format: "b i u s f=Arial pt=12 fg=#ff0000 bg=#010000 up=6 super".
inline QString DescribeChar(const QTextCharFormat &f) {
    QStringList parts;
    if (f.fontWeight() > QFont::Normal) parts << "b";
    if (f.fontItalic()) parts << "i";
    if (f.fontUnderline()) parts << "u";
    if (f.fontStrikeOut()) parts << "s";
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty()) parts << "f=" + families.first();
    if (f.hasProperty(QTextFormat::FontPointSize)) parts << "pt=" + QString::number(f.fontPointSize());
    if (f.hasProperty(QTextFormat::ForegroundBrush)) parts << "fg=" + f.foreground().color().name();
    if (f.hasProperty(QTextFormat::BackgroundBrush)) parts << "bg=" + f.background().color().name();
    if (f.hasProperty(RtfRaiseProperty)) parts << "up=" + QString::number(f.intProperty(RtfRaiseProperty));
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) parts << "super";
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) parts << "sub";
    return parts.join(' ');
}

// The format of the first character of the first occurrence of probe.
inline QString CharAt(const QTextDocument &doc, const QString &probe) {
    const QTextCursor found = doc.find(probe, 0, QTextDocument::FindCaseSensitively);
    if (found.isNull()) return "<" + probe + " not found>";
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    c.setPosition(found.selectionStart() + 1);
    return DescribeChar(c.charFormat());
}

// The block format: "li=727 fi=-727 sa=100 lh=fixed:230 tabs=727,*1440 al=c".
inline QString DescribeBlock(const QTextBlock &b) {
    const QTextBlockFormat f = b.blockFormat();
    QStringList parts;
    if (f.leftMargin()) parts << "li=" + QString::number(Twips(f.leftMargin()));
    if (f.rightMargin()) parts << "ri=" + QString::number(Twips(f.rightMargin()));
    if (f.textIndent()) parts << "fi=" + QString::number(Twips(f.textIndent()));
    if (f.topMargin()) parts << "sb=" + QString::number(Twips(f.topMargin()));
    if (f.bottomMargin()) parts << "sa=" + QString::number(Twips(f.bottomMargin()));
    switch (f.lineHeightType()) {
    case QTextBlockFormat::FixedHeight: parts << "lh=fixed:" + QString::number(Twips(f.lineHeight())); break;
    case QTextBlockFormat::MinimumHeight: parts << "lh=min:" + QString::number(Twips(f.lineHeight())); break;
    case QTextBlockFormat::ProportionalHeight: parts << "lh=prop:" + QString::number(f.lineHeight()); break;
    default: break;
    }
    const qreal implicit = f.hasProperty(RtfImplicitTabProperty) ? f.doubleProperty(RtfImplicitTabProperty) : -1;
    QStringList tabs;
    for (const QTextOption::Tab &t : f.tabPositions()) {
        QString s = QString::number(Twips(t.position));
        if (t.position == implicit) s = "*" + s;
        if (t.type == QTextOption::RightTab) s += "r";
        if (t.type == QTextOption::CenterTab) s += "c";
        if (t.type == QTextOption::DelimiterTab) s += "d";
        tabs << s;
    }
    if (!tabs.isEmpty()) parts << "tabs=" + tabs.join(',');
    if (f.alignment() & Qt::AlignHCenter) parts << "al=c";
    else if (f.alignment() & Qt::AlignRight) parts << "al=r";
    else if (f.alignment() & Qt::AlignJustify) parts << "al=j";
    return parts.join(' ');
}

inline QString DescribeFrame(QTextFrame *frame);

// The structure: block texts joined by "|", a table as "[a/b;c/d]" (cells by
// "/", rows by ";"); a column covered by the cell to its left shows "<".
inline QString DescribeFrame(QTextFrame *frame) {
    QStringList items;
    for (auto it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame *child = it.currentFrame()) {
            if (auto *table = qobject_cast<QTextTable *>(child)) {
                QStringList rows;
                for (int r = 0; r < table->rows(); ++r) {
                    QStringList cells;
                    for (int c = 0; c < table->columns(); ++c) {
                        const QTextTableCell cell = table->cellAt(r, c);
                        if (cell.column() != c) {
                            cells << "<";
                            continue;
                        }
                        QStringList blocks;
                        for (auto ci = cell.begin(); !ci.atEnd(); ++ci)
                            if (ci.currentBlock().isValid()) blocks << ci.currentBlock().text();
                        cells << blocks.join('|');
                    }
                    rows << cells.join('/');
                }
                items << "[" + rows.join(';') + "]";
            } else {
                items << "{" + DescribeFrame(child) + "}";
            }
        } else {
            items << it.currentBlock().text();
        }
    }
    return items.join('|');
}

inline QString DescribeText(const QTextDocument &doc) { return DescribeFrame(doc.rootFrame()); }

inline QTextBlock BlockWith(const QTextDocument &doc, const QString &probe) {
    const QTextCursor found = doc.find(probe, 0, QTextDocument::FindCaseSensitively);
    return found.isNull() ? QTextBlock() : found.block();
}
