#include "platform/rtf/RtfWriter.h"

#include "base/Cp1252.h"
#include "platform/rtf/RtfCodePages.h"
#include "platform/rtf/RtfReader.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>

namespace {

int twips(qreal px) { return qRound(px * TwipsPerPixel); }

struct RunProps {
    QColor fg, bg; // invalid: none
    QString family;
    int halfPoints = 24;
    int raise = 0;
    int vert = 0; // 1 superscript, 2 subscript
    bool bold = false, italic = false, underline = false, strike = false;
};

struct TabStop {
    int twips = 0;
    QTextOption::TabType type = QTextOption::LeftTab;
    bool operator==(const TabStop &) const = default;
};

struct ParaProps {
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
    int slType = 0; // 0 single, 1 exact, 2 at least, 3 multiple
    int sl = 0;     // twips, or 240ths of a line for multiple spacing
    QList<TabStop> tabs;
    int align = 0; // 0 left, 1 centre, 2 right, 3 justified
    bool operator==(const ParaProps &) const = default;
};

QColor brushColour(const QTextCharFormat &f, QTextFormat::Property p) {
    if (!f.hasProperty(p)) return {};
    const QBrush b = f.brushProperty(p);
    return b.style() == Qt::NoBrush ? QColor() : b.color();
}

ParaProps paraOf(const QTextBlockFormat &f) {
    ParaProps p;
    p.li = twips(f.leftMargin());
    p.ri = twips(f.rightMargin());
    p.fi = twips(f.textIndent());
    p.sb = twips(f.topMargin());
    p.sa = twips(f.bottomMargin());
    switch (f.lineHeightType()) {
    case QTextBlockFormat::FixedHeight: p.slType = 1; p.sl = twips(f.lineHeight()); break;
    case QTextBlockFormat::MinimumHeight: p.slType = 2; p.sl = twips(f.lineHeight()); break;
    case QTextBlockFormat::ProportionalHeight:
        if (qRound(f.lineHeight()) != 100) { p.slType = 3; p.sl = qRound(f.lineHeight() * 240.0 / 100.0); }
        break;
    default: break;
    }
    const bool hasImplicit = f.hasProperty(RtfImplicitTabProperty);
    const qreal implicit = hasImplicit ? f.doubleProperty(RtfImplicitTabProperty) : 0;
    for (const QTextOption::Tab &t : f.tabPositions()) {
        if (hasImplicit && t.position == implicit && t.type == QTextOption::LeftTab) continue;
        p.tabs.append({twips(t.position), t.type});
    }
    const Qt::Alignment a = f.alignment();
    if (a & Qt::AlignJustify) p.align = 3;
    else if (a & Qt::AlignHCenter) p.align = 1;
    else if (a & Qt::AlignRight) p.align = 2;
    return p;
}

QString number(int n) { return QString::number(n); }

bool sameColour(const QColor &a, const QColor &b) {
    return a.isValid() == b.isValid() && (!a.isValid() || a.rgb() == b.rgb());
}

class Writer {
    friend QString(::RtfEscape)(const QString &text);

public:
    explicit Writer(const QTextDocument *doc) : docFont_(doc->defaultFont()) {}

    QString write(const QTextDocument *doc) {
        body_.reserve(4096);
        writeFrame(doc->rootFrame());
        if (prev_ == Prev::None) writeBlock(QTextBlock()); // a document without blocks
        QString out;
        out.reserve(body_.size() + 256);
        out += QLatin1String("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl");
        for (int i = 0; i < fonts_.size(); ++i) {
            out += QLatin1String("{\\f") + number(i) + QLatin1String("\\fnil\\fcharset0 ");
            QString name = fonts_[i];
            name.remove(QChar(';'));
            escape(name, out);
            out += QLatin1String(";}");
        }
        out += QLatin1String("}\r\n");
        if (!colours_.isEmpty()) {
            out += QLatin1String("{\\colortbl ;");
            for (QRgb c : colours_)
                out += QLatin1String("\\red") + number(qRed(c)) + QLatin1String("\\green") + number(qGreen(c)) +
                       QLatin1String("\\blue") + number(qBlue(c)) + QChar(';');
            out += QLatin1String("}\r\n");
        }
        out += body_;
        out += QLatin1String("\r\n\\par }\r\n");
        return out;
    }

private:
    enum class Prev { None, Para, Row };

    RunProps propsOf(const QTextCharFormat &f) const {
        RunProps r;
        const QStringList families = f.fontFamilies().toStringList();
        r.family = families.isEmpty() ? docFont_.family() : families.first();
        qreal pt = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : docFont_.pointSizeF();
        if (pt <= 0) pt = 12;
        r.halfPoints = std::max(1, qRound(pt * 2));
        r.bold = f.fontWeight() >= QFont::DemiBold;
        r.italic = f.fontItalic();
        r.underline = f.fontUnderline();
        r.strike = f.fontStrikeOut();
        r.fg = brushColour(f, QTextFormat::ForegroundBrush);
        r.bg = brushColour(f, QTextFormat::BackgroundBrush);
        r.raise = f.intProperty(RtfRaiseProperty);
        if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) r.vert = 1;
        else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) r.vert = 2;
        return r;
    }

    int fontNumber(const QString &family) {
        int i = int(fonts_.indexOf(family));
        if (i < 0) {
            fonts_.append(family);
            i = int(fonts_.size()) - 1;
        }
        return i;
    }

    int colourNumber(const QColor &c) {
        const QRgb rgb = c.rgb() | 0xFF000000u;
        int i = int(colours_.indexOf(rgb));
        if (i < 0) {
            colours_.append(rgb);
            i = int(colours_.size()) - 1;
        }
        return i + 1;
    }

    void word(const QString &w) {
        body_ += w;
        needDelim_ = true;
    }

    void charChanges(const RunProps &n) {
        const bool k = known_;
        const RunProps &c = cur_;
        if (!k || !sameColour(n.fg, c.fg)) {
            if (n.fg.isValid()) word(QLatin1String("\\cf") + number(colourNumber(n.fg)));
            else if (k) word(QStringLiteral("\\cf0"));
        }
        if (!k || !sameColour(n.bg, c.bg)) {
            if (n.bg.isValid()) word(QLatin1String("\\highlight") + number(colourNumber(n.bg)));
            else if (k) word(QStringLiteral("\\highlight0"));
        }
        if (k ? n.bold != c.bold : n.bold) word(n.bold ? QStringLiteral("\\b") : QStringLiteral("\\b0"));
        if (k ? n.italic != c.italic : n.italic) word(n.italic ? QStringLiteral("\\i") : QStringLiteral("\\i0"));
        if (k ? n.underline != c.underline : n.underline)
            word(n.underline ? QStringLiteral("\\ul") : QStringLiteral("\\ulnone"));
        if (k ? n.strike != c.strike : n.strike) word(n.strike ? QStringLiteral("\\strike") : QStringLiteral("\\strike0"));
        if (!k || n.family != c.family)
            word(QLatin1String("\\f") + number(fontNumber(n.family)) + QLatin1String("\\fs") + number(n.halfPoints));
        else if (n.halfPoints != c.halfPoints)
            word(QLatin1String("\\fs") + number(n.halfPoints));
        bool raiseReset = false;
        if (k ? n.vert != c.vert : n.vert != 0) {
            word(n.vert == 1 ? QStringLiteral("\\super") : n.vert == 2 ? QStringLiteral("\\sub") : QStringLiteral("\\nosupersub"));
            raiseReset = n.vert == 0;
        }
        if (k ? (n.raise != c.raise || (raiseReset && n.raise != 0)) : n.raise != 0) {
            if (n.raise > 0) word(QLatin1String("\\up") + number(n.raise));
            else if (n.raise < 0) word(QLatin1String("\\dn") + number(-n.raise));
            else if (!raiseReset) word(QStringLiteral("\\up0"));
        }
        cur_ = n;
        known_ = true;
    }

    void paraWords(const ParaProps &p, const ParaProps *before) {
        QString s;
        if (p.slType == 1) s += QLatin1String("\\sl-") + number(p.sl);
        else if (p.slType >= 2) s += QLatin1String("\\sl") + number(p.sl);
        if (p.sa) s += QLatin1String("\\sa") + number(p.sa);
        if (p.slType == 1 || p.slType == 2) s += QLatin1String("\\slmult0");
        else if (p.slType == 3) s += QLatin1String("\\slmult1");
        for (const TabStop &t : p.tabs) {
            if (t.type == QTextOption::RightTab) s += QLatin1String("\\tqr");
            else if (t.type == QTextOption::CenterTab) s += QLatin1String("\\tqc");
            else if (t.type == QTextOption::DelimiterTab) s += QLatin1String("\\tqdec");
            s += QLatin1String("\\tx") + number(t.twips);
        }
        if (p.fi) s += QLatin1String("\\fi") + number(p.fi);
        if (p.li) s += QLatin1String("\\li") + number(p.li);
        if (p.ri) s += QLatin1String("\\ri") + number(p.ri);
        else if (before && before->ri) s += QLatin1String("\\ri0");
        if (p.sb) s += QLatin1String("\\sb") + number(p.sb);
        else if (before && before->sb) s += QLatin1String("\\sb0");
        switch (p.align) {
        case 1: s += QLatin1String("\\qc"); break;
        case 2: s += QLatin1String("\\qr"); break;
        case 3: s += QLatin1String("\\qj"); break;
        default: if (before && before->align) s += QLatin1String("\\ql"); break;
        }
        if (!s.isEmpty()) word(s);
    }

    void text(const QString &t) {
        if (t.isEmpty()) return;
        if (needDelim_) body_ += QChar(' ');
        escape(t, body_, CodePageOfCharset(0, cur_.family) == SymbolCodePage);
        needDelim_ = false;
    }

    // In the Symbol font a byte, given as itself or as \'hh, reads as the
    // letter that font shows there (a as alpha): symbolFont writes every
    // character that would change so as \uN?, which reads as it stands.
    static void escape(const QString &t, QString &out, bool symbolFont = false) {
        static const char hex[] = "0123456789abcdef";
        const qsizetype n = t.size();
        for (qsizetype i = 0; i < n; ++i) {
            const QChar c = t[i];
            const char16_t u = c.unicode();
            if (symbolFont && u < 0x100 && SymbolFontChar(c) != c) {
                out += QLatin1String("\\u") + number(u) + QChar('?');
                continue;
            }
            if (u >= 0x20 && u < 0x7F) {
                if (u == '\\' || u == '{' || u == '}') {
                    out += QChar('\\');
                    out += c;
                    continue;
                }
                // A run of printable ASCII goes over whole.
                qsizetype j = i + 1;
                while (j < n) {
                    const char16_t v = t[j].unicode();
                    if (v < 0x20 || v >= 0x7F || v == '\\' || v == '{' || v == '}') break;
                    if (symbolFont && SymbolFontChar(t[j]) != t[j]) break;
                    ++j;
                }
                out += QStringView(t).mid(i, j - i);
                i = j - 1;
                continue;
            }
            switch (u) {
            case '\t': out += QLatin1String("\\tab "); continue;
            case QChar::LineSeparator: out += QLatin1String("\\line "); continue;
            case 0x00A0: out += QLatin1String("\\~"); continue;
            case 0x2011: out += QLatin1String("\\_"); continue;
            case 0x00AD: out += QLatin1String("\\-"); continue;
            case 0x2014: out += QLatin1String("\\emdash "); continue;
            case 0x2013: out += QLatin1String("\\endash "); continue;
            case 0x2022: out += QLatin1String("\\bullet "); continue;
            case 0x2018: out += QLatin1String("\\lquote "); continue;
            case 0x2019: out += QLatin1String("\\rquote "); continue;
            case 0x201C: out += QLatin1String("\\ldblquote "); continue;
            case 0x201D: out += QLatin1String("\\rdblquote "); continue;
            case QChar::ObjectReplacementCharacter: case QChar::ParagraphSeparator: case 0xFDD0: case 0xFDD1: continue;
            default: break;
            }
            const int b = Cp1252::byteOf(c);
            if (b >= 0) {
                out += QLatin1String("\\'");
                out += QChar(hex[b >> 4]);
                out += QChar(hex[b & 15]);
            } else {
                out += QLatin1String("\\u") + number(int(qint16(u))) + QChar('?');
            }
        }
    }

    void startLine(const ParaProps &p) {
        switch (prev_) {
        case Prev::None:
            word(QStringLiteral("\\viewkind4\\uc1\\pard"));
            paraWords(p, nullptr);
            break;
        case Prev::Para:
            body_ += QLatin1String("\r\n\\par ");
            needDelim_ = false;
            if (!(p == prevPara_)) {
                word(QStringLiteral("\\pard"));
                paraWords(p, &prevPara_);
            }
            break;
        case Prev::Row:
            body_ += QLatin1String("\r\n");
            word(QStringLiteral("\\pard"));
            paraWords(p, nullptr);
            break;
        }
        prevPara_ = p;
        prev_ = Prev::Para;
    }

    // The runs of a block: changes before each, the empty block's own format.
    void runs(const QTextBlock &b) {
        if (!b.isValid()) {
            charChanges(propsOf(QTextCharFormat()));
            return;
        }
        bool any = false;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid() || frag.length() == 0) continue;
            charChanges(propsOf(frag.charFormat()));
            text(frag.text());
            any = true;
        }
        if (!any) charChanges(propsOf(b.charFormat()));
    }

    void writeBlock(const QTextBlock &b) {
        startLine(b.isValid() ? paraOf(b.blockFormat()) : ParaProps{});
        runs(b);
    }

    void writeCellContent(QTextFrame::iterator it, bool &firstBlock) {
        for (; !it.atEnd(); ++it) {
            if (QTextFrame *f = it.currentFrame()) {
                writeCellContent(f->begin(), firstBlock);
                continue;
            }
            if (!firstBlock) {
                body_ += QLatin1String("\\par ");
                needDelim_ = false;
            }
            firstBlock = false;
            runs(it.currentBlock());
        }
    }

    void writeTable(QTextTable *t) {
        if (prev_ == Prev::None) writeBlock(QTextBlock());
        const QList<QTextLength> widths = t->format().columnWidthConstraints();
        for (int r = 0; r < t->rows(); ++r) {
            body_ += prev_ == Prev::Para ? QLatin1String("\r\n\\par ") : QLatin1String("\r\n");
            needDelim_ = false;
            // A cell that spans columns is one cell, its edge at the right of
            // the last column it covers.
            QString def = QStringLiteral("\\trowd");
            int right = 0;
            for (int c = 0; c < t->columns(); ++c) {
                const bool fixed = c < widths.size() && widths[c].type() == QTextLength::FixedLength;
                right += fixed ? twips(widths[c].rawValue()) : 1440;
                const QTextTableCell cell = t->cellAt(r, c);
                if (cell.column() + cell.columnSpan() - 1 <= c) def += QLatin1String("\\cellx") + number(right);
            }
            word(def + QLatin1String("\\pard\\intbl"));
            for (int c = 0; c < t->columns(); ++c) {
                const QTextTableCell cell = t->cellAt(r, c);
                if (cell.column() != c) continue;
                if (cell.row() == r) {
                    bool firstBlock = true;
                    writeCellContent(cell.begin(), firstBlock);
                    // A "\par" just before "\cell" only ends the paragraph before
                    // it; an empty last paragraph needs one more to stay.
                    const QTextBlock last = cell.lastCursorPosition().block();
                    if (last.length() <= 1 && last != cell.firstCursorPosition().block()) {
                        body_ += QLatin1String("\\par ");
                        needDelim_ = false;
                    }
                }
                word(QStringLiteral("\\cell"));
            }
            word(QStringLiteral("\\row"));
            prev_ = Prev::Row;
        }
    }

    void writeFrame(QTextFrame *frame) {
        for (auto it = frame->begin(); !it.atEnd(); ++it) {
            if (QTextFrame *child = it.currentFrame()) {
                if (auto *table = qobject_cast<QTextTable *>(child)) writeTable(table);
                else writeFrame(child);
            } else {
                writeBlock(it.currentBlock());
            }
        }
    }

    QFont docFont_;
    QStringList fonts_;
    QList<QRgb> colours_;
    QString body_;
    RunProps cur_;
    bool known_ = false;
    bool needDelim_ = false;
    ParaProps prevPara_;
    Prev prev_ = Prev::None;
};

} // namespace

QString RtfEscape(const QString &text) {
    QString out;
    Writer::escape(text, out);
    return out;
}

QString WriteRtf(const QTextDocument *doc) {
    Writer w(doc);
    return w.write(doc);
}

QString WriteRtfSelection(const QTextCursor &cursor) {
    QTextDocument part;
    if (const QTextDocument *doc = cursor.document()) {
        part.setDefaultFont(doc->defaultFont());
        part.setDefaultTextOption(doc->defaultTextOption());
    }
    if (cursor.hasSelection()) QTextCursor(&part).insertFragment(cursor.selection());
    return WriteRtf(&part);
}
