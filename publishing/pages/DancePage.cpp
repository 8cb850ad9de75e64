#include "publishing/pages/DancePage.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/TextRoutines.h"
#include "presentation/InstructionText.h"
#include "programme/text/NoteLinks.h"
#include "publishing/pages/Html.h"

#include <QStringList>

namespace {

const QString CrLf = QStringLiteral("\r\n");

bool IsWordChar(QChar c) {
    const ushort u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '+' || u == '-';
}

int HexDigit(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// The whole run of digits at the front of s (a size "8" of "\fs8\b"); -1 for none.
int LeadingNumber(const QString &s) {
    qsizetype n = 0;
    while (n < s.size() && s[n].isDigit()) ++n;
    return n == 0 ? -1 : s.left(n).toInt();
}

// A gap of half a line: a paragraph of control words only, at size 12.
bool IsHalfLine(const QString &line) {
    if (!line.startsWith(QLatin1String("\\par "))) return false;
    for (qsizetype i = 5; i < line.size();) {
        if (line[i] != QLatin1Char('\\')) return false;
        const qsizetype start = ++i;
        while (i < line.size() && IsWordChar(line[i])) ++i;
        if (i == start) return false;
        if (i < line.size() && line[i] == QLatin1Char(' ')) ++i;
    }
    return RTFWordPos(QStringLiteral("\\fs12"), line) > 0;
}

class Converter {
public:
    Converter(const DancePageInput &in, QString &page) : in(in), page(page) {
        font.face = in.primaryFont;
        font.size = 2 * in.primarySize;
    }

    QString fonts[10];
    int sizes[10] = {};
    // The body font: our writer numbers fonts in order of use, so the
    // card's primary font may have any number; it stands for font 0.
    bool primary[10] = {};
    int highest = 0;
    QString colours[10];
    bool table = false;

    // One line of the body; false with stop set when the RTF cannot be read.
    bool line(QString text, bool firstLine) {
        if (table) {
            if (firstLine) {
                text.replace(QStringLiteral("\\tab\\tab"), QStringLiteral("\\tab"));
                text.replace(QStringLiteral("\\tab"), QStringLiteral(" \\~ \\~"));
                text.replace(QStringLiteral("\\cf2"), QStringLiteral(" \\~\\cf2"));
            } else if (RTFWordPos(QStringLiteral("\\tab"), text) == 0) {
                // A label ending in a colon stands in the first cell.
                const qsizetype at = text.indexOf(QStringLiteral(":\\~ "));
                if (at >= 0) text.replace(at, 4, QStringLiteral(":\\tab "));
            }
            page += RTFWordPos(QStringLiteral("\\tab"), text) > 0 ? QStringLiteral("  <TR><TD Width=40 VAlign=Top>")
                                                                  : QStringLiteral("  <TR><TD ColSpan=2>");
            openFormatting();
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == QLatin1Char(' ') && i + 1 < text.size() && text[i + 1] == QLatin1Char(' ')) {
                page += QStringLiteral("&nbsp;");
            } else if (c == QLatin1Char('-') && i > 0 && text[i - 1] == QLatin1Char(' ') && i + 1 < text.size() &&
                       text[i + 1] == QLatin1Char(' ')) {
                page += QStringLiteral("&ndash;");
            } else if (c == QLatin1Char('\\')) {
                if (!control(text, i)) return false;
            } else if (c.unicode() < 128 && !QStringLiteral("&<>\"").contains(c)) {
                page += c;
            } else {
                page += HtmlValue(QString(c), in.separator);
            }
        }
        if (table) {
            closeFormatting(false);
            page += QStringLiteral("</TD></TR>");
        }
        page += CrLf;
        return true;
    }

    void end() {
        if (table) page += QStringLiteral("</Table>");
        if (fontNo != 0) {
            page += in.useCss ? QStringLiteral("</Span>") : QStringLiteral("</Font>");
            font.open = false;
        }
    }

    bool fontOpen() const { return font.open; }
    QString stop;

private:
    const DancePageInput &in;
    QString &page;
    FontState font;
    int fontNo = 0;
    bool bold = false, italic = false, underline = false;
    bool spanWhilePlain = false, highlightOpen = false;

    void openFormatting() {
        if (bold) page += QStringLiteral("<B>");
        if (italic) page += QStringLiteral("<I>");
        if (underline) page += QStringLiteral("<U>");
    }
    // Closes the formatting in force: in the order bold, italic, underline,
    // or italic first when a cell ends.
    void closeFormatting(bool italicFirst) {
        if (italicFirst && italic) page += QStringLiteral("</I>");
        if (bold) page += QStringLiteral("</B>");
        if (!italicFirst && italic) page += QStringLiteral("</I>");
        if (underline) page += QStringLiteral("</U>");
    }

    // The control at text[i] (a backslash); i is left on its last character.
    bool control(const QString &text, qsizetype &i) {
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (next == QLatin1Char('\'')) {
            const int hi = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
            const int lo = i + 3 < text.size() ? HexDigit(text[i + 3]) : -1;
            i += 3;
            if (hi >= 0 && lo >= 0) {
                const QChar ch = Cp1252::decodeByte(static_cast<unsigned char>(hi * 16 + lo));
                page += QStringLiteral("&#") + QString::number(ch.unicode()) + QLatin1Char(';');
            }
            return true;
        }
        const struct {
            char symbol;
            const char *html;
        } symbols[] = {{'~', "&nbsp;"}, {'-', "-"}, {'\\', "\\"}, {'_', "&#x2011;"}, {'{', "{"}, {'}', "}"}};
        for (const auto &s : symbols) {
            if (next != QLatin1Char(s.symbol)) continue;
            page += QLatin1String(s.html);
            ++i;
            return true;
        }
        qsizetype end = i + 1;
        while (end < text.size() && IsWordChar(text[end])) ++end;
        const QString word = text.mid(i + 1, end - i - 1);
        if (word.isEmpty()) {
            stop = QStringLiteral("Text contains invalid RTF");
            return false;
        }
        i = end - 1;
        if (end < text.size() && text[end] == QLatin1Char(' ')) ++i;
        // "\uN" and its one replacement character.
        if (word.size() > 1 && word[0] == QLatin1Char('u') && (word[1].isDigit() || word[1] == QLatin1Char('-'))) {
            int n = word.mid(1).toInt();
            if (n < 0) n += 65536;
            page += QStringLiteral("&#") + QString::number(n) + QLatin1Char(';');
            if (i + 1 < text.size() && text[i + 1] != QLatin1Char('\\')) ++i;
            return true;
        }
        apply(word);
        return true;
    }

    bool pageEndsCell() const {
        return page.endsWith(QLatin1String("<TD Width=40 VAlign=Top>")) || page.endsWith(QLatin1String("<TD ColSpan=2>"));
    }

    void apply(const QString &word) {
        static const struct {
            const char *word, *html;
        } plainWords[] = {{"emdash", "&mdash;"},   {"endash", "&ndash;"},   {"line", "<Br>"},
                          {"bullet", "&bull;"},    {"lquote", "&lsquo;"},   {"rquote", "&rsquo;"},
                          {"ldblquote", "&ldquo;"}, {"rdblquote", "&rdquo;"}};
        for (const auto &w : plainWords)
            if (word == QLatin1String(w.word)) {
                page += QLatin1String(w.html);
                return;
            }
        if (word == QLatin1String("b")) {
            page += QStringLiteral("<B>");
            bold = true;
        } else if (word == QLatin1String("i")) {
            page += QStringLiteral("<I>");
            italic = true;
        } else if (word == QLatin1String("ul")) {
            page += QStringLiteral("<U>");
            underline = true;
        } else if (word == QLatin1String("plain")) {
            closeFormatting(false);
            bold = italic = underline = false;
        } else if (word == QLatin1String("b0") || word == QLatin1String("bnone")) {
            const QString span = QStringLiteral("</Span>");
            if (spanWhilePlain && page.endsWith(span)) page.insert(page.size() - span.size(), QStringLiteral("</B>"));
            else page += QStringLiteral("</B>");
            bold = false;
        } else if (word == QLatin1String("i0") || word == QLatin1String("inone")) {
            page += QStringLiteral("</I>");
            italic = false;
        } else if (word == QLatin1String("ul0") || word == QLatin1String("ulnone")) {
            page += QStringLiteral("</U>");
            underline = false;
        } else if (word == QLatin1String("tab")) {
            if (table) {
                closeFormatting(true);
                page += QStringLiteral("</TD><TD>");
                if (italic) page += QStringLiteral("<I>");
                if (bold) page += QStringLiteral("<B>");
                if (underline) page += QStringLiteral("<U>");
            } else {
                page += QStringLiteral(" &nbsp; &nbsp; ");
            }
        } else if (word == QLatin1String("par")) {
            if (in.paraGap == 0 && !in.halfLines) page += QStringLiteral("<Br>");
            else if (!((table && (bold || italic || underline)) || pageEndsCell())) page += QStringLiteral("<P>");
        } else if (word.startsWith(QLatin1String("fs"))) {
            const int n = LeadingNumber(word.mid(2));
            if (n < 0 || n == font.size || (n == 12 && in.halfLines)) return;
            font.size = n;
            OpenFontTag(page, font, in.useCss, in.primaryFont, in.primarySize);
        } else if (word.startsWith(QLatin1String("cf")) && word.size() > 2 && word[2].isDigit()) {
            const int d = word[2].digitValue();
            if (d == 0) {
                page += QStringLiteral("</Span>");
                return;
            }
            spanWhilePlain = !bold;
            page += QStringLiteral("<Span Style=\"Color: #") + colours[d] + QStringLiteral("\">");
        } else if (word.startsWith(QLatin1String("highlight")) && word.size() > 9 && word[9].isDigit()) {
            const int d = word[9].digitValue();
            if (d == 0) {
                page += QStringLiteral("</Span>");
                highlightOpen = false;
                return;
            }
            if (highlightOpen) page += QStringLiteral("</Span>");
            highlightOpen = true;
            spanWhilePlain = !bold;
            page += QStringLiteral("<Span Style=\"Background-color: #") + colours[d] + QStringLiteral("\">&nbsp;");
        } else if (word.size() > 1 && word[0] == QLatin1Char('f') && word[1].isDigit()) {
            const int d = primary[word[1].digitValue()] ? 0 : word[1].digitValue();
            if (d == 0) {
                if (fontNo != 0) page += in.useCss ? QStringLiteral("</Span>") : QStringLiteral("</Font>");
                // The size goes back to the primary one: a size's tag ends too.
                if (font.open) page += QStringLiteral("</Font>");
                font.open = false;
                font.size = 2 * in.primarySize;
                font.face = in.primaryFont;
                fontNo = 0;
                return;
            }
            if (table) {
                page += QStringLiteral("</TD>") + CrLf + QStringLiteral("</TR>") + CrLf + QStringLiteral("</Table>");
                table = false;
            }
            if (in.useCss)
                page += QStringLiteral("<Span Class=F") + QString::number(d) + QLatin1Char('>');
            else
                page += QStringLiteral("<Font Face=\"") + HtmlValue(fonts[d], in.separator) + QStringLiteral("\" Size=") +
                        QString::number((sizes[d] - 11) / 4) + QLatin1Char('>');
            font.size = sizes[d];
            font.face = fonts[d];
            fontNo = d;
        }
    }
};

// The font table: names and sizes of fonts 1 to 9. False with the stop
// message when an entry's number is not a digit.
bool ReadFonts(const QString &rtf, const QString &body, const DancePageInput &in, Converter &c, QString &stop) {
    qsizetype at = rtf.indexOf(QLatin1String("\\fonttbl{"));
    if (at < 0) return true;
    at += 8;
    while (at < rtf.size() && rtf[at] == QLatin1Char('{')) {
        const qsizetype f = rtf.indexOf(QLatin1String("\\f"), at);
        if (f < 0 || f + 2 >= rtf.size()) break;
        if (!rtf[f + 2].isDigit()) {
            stop = QStringLiteral("Internal error - please contact Vellam Orrisk.");
            return false;
        }
        const int number = rtf[f + 2].digitValue();
        // The name follows the blank that ends the entry's control words; a
        // group inside the entry is passed over.
        qsizetype p = f + 2;
        int depth = 0;
        while (p < rtf.size()) {
            const QChar ch = rtf[p];
            if (ch == QLatin1Char('{')) ++depth;
            else if (ch == QLatin1Char('}')) {
                if (depth == 0) break;
                --depth;
            } else if (ch == QLatin1Char(' ') && depth == 0) break;
            ++p;
        }
        const qsizetype semi = rtf.indexOf(QLatin1Char(';'), p);
        if (semi < 0) break;
        const QString name = rtf.mid(p + 1, semi - p - 1).trimmed();
        if (SameText(name, in.primaryFont)) {
            c.primary[number] = true;
        } else if (number >= 1) {
            c.fonts[number] = name;
            c.highest = std::max(c.highest, number);
            int size = 0;
            const int used = RTFWordPos(QStringLiteral("\\f") + QString::number(number), body);
            if (used > 0) {
                size = 2 * in.primarySize;
                const qsizetype fs = body.indexOf(QLatin1String("\\fs"), used - 1 + 3);
                if (fs >= 0 && fs - (used - 1) <= 20) {
                    const int n = LeadingNumber(body.mid(fs + 3, 8));
                    if (n > 0) size = n;
                }
            }
            c.sizes[number] = size;
        }
        const qsizetype close = rtf.indexOf(QLatin1Char('}'), semi);
        if (close < 0) break;
        at = close + 1;
    }
    return true;
}

// The colour table: colours 1 to 9 as six hexadecimal digits.
bool ReadColours(const QString &rtf, Converter &c, QString &stop) {
    const qsizetype at = PosNoCase(QStringLiteral("\\colortbl"), rtf) - 1;
    if (at < 0) return true;
    qsizetype end = rtf.indexOf(QLatin1Char('\r'), at);
    if (end < 0) end = rtf.indexOf(QLatin1Char('\n'), at);
    QString entries = rtf.mid(at, end < 0 ? -1 : end - at);
    const qsizetype first = entries.indexOf(QLatin1Char(';'));
    if (first < 0) return true;
    entries.remove(0, first + 1);
    for (int n = 1;; ++n) {
        const qsizetype semi = entries.indexOf(QLatin1Char(';'));
        if (semi < 0 || entries.trimmed().startsWith(QLatin1Char('}'))) break;
        if (n > 9) {
            stop = QStringLiteral("The instructions use more than nine colours, which a web page cannot show.");
            return false;
        }
        const QString entry = entries.left(semi + 1);
        c.colours[n] = RtfColourHex(entry, QStringLiteral("red")) + RtfColourHex(entry, QStringLiteral("green")) +
                       RtfColourHex(entry, QStringLiteral("blue"));
        entries.remove(0, semi + 1);
    }
    return true;
}

void StyleBlock(QString &page, const DancePageInput &in, const Converter &c) {
    page += QStringLiteral("  <Style>") + CrLf;
    if (!in.showTitles)
        page += QStringLiteral("    .Title {Font-family: Verdana, Sans-serif; Color: #8000C0; Font-size: 18pt; "
                               "Font-weight: Bold}") + CrLf;
    page += QStringLiteral("    Body   {Font-family: Arial, Sans-serif; Color: Black; Background-color: White; "
                           "Font-size: ") + QString::number(in.primarySize) + QStringLiteral("pt}") + CrLf;
    for (int k = 1; k <= c.highest; ++k)
        if (!c.fonts[k].isEmpty())
            page += QStringLiteral("   .F") + QString::number(k) + QStringLiteral("     {Font-family: ") +
                HtmlValue(c.fonts[k], in.separator) + QStringLiteral("; Font-size: ") + QString::number(c.sizes[k] / 2) +
                QStringLiteral("pt}") + CrLf;
    page += QStringLiteral(".Button  {Background: Linear-gradient(to Bottom, #F7C1F7 0, #D1A0EB 65%, "
                           "#C47DE6 80%, #AF59DD 100%); Text-decoration: None; Border: Solid 1px #875793; "
                           "Border-radius: 6px;  Font-size: 10pt; Font-weight: Bold; Color: #000;}") + CrLf +
            QStringLiteral("</Style>");
}

} // namespace

QString DanceNotesHtml(const QString &notes) {
    QString out;
    QString rest = notes;
    const auto text = [](QString t) {
        t.replace(QStringLiteral("\\&quot;"), QStringLiteral("\\\""));
        QString html = HtmlValue(t);
        html.replace(CrLf, QStringLiteral("\n"));
        html.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        html.replace(QLatin1Char('\n'), QStringLiteral("<Br>"));
        return html;
    };
    for (;;) {
        const LinkFound found = ExtractLink(rest, false);
        if (found.position == 0) {
            out += text(found.repaired);
            break;
        }
        const qsizetype from = found.position - 1;
        const QString cut = found.repaired.mid(from, found.length);
        // A web address is cut with the character after it, which stays.
        const qsizetype used = cut.startsWith(found.link) && !found.link.isEmpty() ? found.link.size() : found.length;
        out += text(found.repaired.left(from));
        const QString href = HtmlHref(found.link);
        if (found.link.isEmpty()) {
        } else if (href.isEmpty()) {
            out += text(found.link);
        } else {
            const QString label = PosNoCase(QStringLiteral("abc.aspx"), found.link) > 0 ? QStringLiteral("Music")
                                                                                       : QStringLiteral("Link");
            out += QStringLiteral("&nbsp;<a Class=Button href=\"") + href + QStringLiteral("\">&nbsp;&nbsp;") + label +
                   QStringLiteral("&nbsp;&nbsp;</a>&nbsp;");
        }
        rest = found.repaired.mid(from + used);
        rest.replace(QStringLiteral("\\&quot;"), QStringLiteral("\\\""));
    }
    return out;
}

DancePageResult BuildDancePage(const DancePageInput &in) {
    DancePageResult r;
    r.title = HtmlValue(DisplayTitle(in.title), in.separator);

    // Preparation.
    QString rtf = in.rtf;
    for (qsizetype at = PosNoCase(QStringLiteral("\\cf1  \\cf"), rtf); at > 0;
         at = PosNoCase(QStringLiteral("\\cf1  \\cf"), rtf, at))
        rtf.remove(at - 1, 6);
    const qsizetype half = PosNoCase(QStringLiteral("\\fs12"), rtf);
    const bool tableMode = half == 0 || PosNoCase(QStringLiteral("\\tab"), rtf, half) > 0;
    if (PosNoCase(QStringLiteral("\\intbl"), rtf) > 0) {
        r.stop = r.title + QStringLiteral("\rcontains a table and cannot be displayed");
        return r;
    }
    QStringList lines;
    if (!rtf.trimmed().isEmpty()) {
        const int uc = RTFWordPos(QStringLiteral("\\uc1"), rtf);
        if (uc == 0) {
            r.stop = QStringLiteral("Error in RTF");
            return r;
        }
        QString body = rtf.mid(uc - 1 + 4);
        if (body.startsWith(QLatin1Char(' '))) body.remove(0, 1);
        body.replace(CrLf, QStringLiteral("\n"));
        lines = body.split(QLatin1Char('\n'));
        while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        // Formatting still on is closed at the end.
        if (lines.size() >= 2) lines[lines.size() - 2] += QStringLiteral("\\plain ");
    }

    Converter c(in, r.page);
    c.table = tableMode;
    if (!ReadFonts(rtf, lines.join(QLatin1Char('\n')), in, c, r.stop) || !ReadColours(rtf, c, r.stop)) return r;

    // Page head.
    QString &page = r.page;
    page = PageHead(r.title, in.printSize, in.printFont);
    if (in.useCss) StyleBlock(page, in, c);
    page += QStringLiteral("</Head>") + CrLf + QStringLiteral("<Body BgColor=White>") + CrLf;
    const int firstLine = in.showTitles ? 2 : 0;
    const qsizetype bodyStart = page.size();
    if (in.showTitles)
        page += QStringLiteral("<P>");
    else if (in.useCss)
        page += QStringLiteral("<H1 Class=Title>") + r.title + QStringLiteral("</H1>") + CrLf;
    else
        page += QStringLiteral("<B><Font Face=\"Verdana, Sans-serif\" Color=\"#8000C0\" Size=5>") + r.title +
                QStringLiteral("</Font></B>") + CrLf;
    if (c.table) page += CrLf + QStringLiteral("<Table>") + CrLf;
    if (lines.size() < 2) page += QStringLiteral("<B>No instructions.</B>");

    // Lines.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (IsHalfLine(lines[i])) {
            if (i + 1 < lines.size() && lines[i + 1].startsWith(QLatin1String("\\par \\fs24"))) lines[i + 1].remove(0, 10);
            continue;
        }
        if (!c.line(lines[i], i == firstLine)) {
            r.stop = c.stop;
            r.page.clear();
            return r;
        }
    }

    // Page end.
    c.end();
    // The rich text switches formatting on and off in any order; the page
    // nests its tags, and nothing stays open into the notes.
    page = page.left(bodyStart) + BalanceInlineTags(page.mid(bodyStart));
    r.fontOpen = false;
    if (!in.notes.isEmpty())
        page += CrLf + QStringLiteral("<P><HR NoShade Color=\"#8000C0\"><P>") + DanceNotesHtml(in.notes);
    return r;
}
