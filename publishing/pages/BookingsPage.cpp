#include "publishing/pages/BookingsPage.h"

#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/FastStrings.h"
#include "base/Messages.h"
#include "publishing/pages/Html.h"
#include "publishing/pages/HtmlWalk.h"
#include "publishing/pages/TableText.h"

#include <QDate>
#include <cmath>

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString LineBreak = QStringLiteral("&#013;&#010;");

// The decoding shared by the page's two functions: first character, last,
// new first, new last ... then "?" and "!" back to "." and "@". Our scripts
// hold no "&" and nothing above 127, so the page's escaping leaves them be.
QString DecodeScript(const QString &name, const QString &write) {
    return QStringLiteral("function ") + name +
           QStringLiteral("(A){var s=\"\";while(A.length>0){s+=A.charAt(0);A=A.substring(1);if(A.length>0){"
                          "s+=A.charAt(A.length-1);A=A.substring(0,A.length-1);}}"
                          "s=s.split(\"?\").join(\".\").split(\"!\").join(\"@\");document.write(") +
           write + QStringLiteral(");}");
}

// A value as one cell's text; in a tooltip ("a=") a line break is a
// character reference the tooltip shows as a new line.
QString Value(const QString &s) { return TableTextValue(s, QStringLiteral("<Br>")); }
QString Detail(const QString &s) { return TableTextValue(s, LineBreak); }

QString WebCell(const QString &value) {
    CheckNoOuterSpaces(value);
    if (value.isEmpty() || value.startsWith(QLatin1Char('?'))) return QStringLiteral("&nbsp;|");
    if (FoldUpper(value).startsWith(QLatin1String("HTTP"))) {
        const QString href = TableTextHref(value);
        if (!href.isEmpty()) return QStringLiteral("<A Href=\"") + href + QStringLiteral("\">Web Link</A>|");
    }
    return Value(value) + QLatin1Char('|');
}

// A web address the page may link to: http(s), and nothing in it that
// could end the attribute.
bool LinkableAddress(const QString &address) {
    const QString folded = address.toLower();
    if (!folded.startsWith(QLatin1String("http://")) && !folded.startsWith(QLatin1String("https://"))) return false;
    for (const QChar c : address)
        if (c.unicode() <= ' ' || c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('<') ||
            c == QLatin1Char('>') || c == QLatin1Char('`'))
            return false;
    return true;
}

// A mail address with everything outside letters, digits and "@._+-%_" as a
// "%" escape (a blank, a quote or a "<" cannot end a value or a string).
QString SafeAddress(const QString &address) {
    QString out;
    for (const QChar c : address) {
        const ushort u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
            QStringLiteral("@._+-%_").contains(c)) {
            out += c;
        } else {
            for (const char byte : QString(c).toUtf8())
                out += QLatin1Char('%') + QStringLiteral("%1").arg(uint(uchar(byte)), 2, 16, QLatin1Char('0')).toUpper();
        }
    }
    return out;
}

// What every piece of both renderings goes through: the first "è" and the
// first one-half sign as their names, and the "Quote!" warning for "Æ".
QString Fix(TableHtml &out, const QString &s) {
    QString fixed = s;
    const qsizetype e = fixed.indexOf(QChar(0xE8));
    if (e >= 0) fixed.replace(e, 1, QStringLiteral("&egrave;"));
    qsizetype half = fixed.indexOf(QChar(0xBD));
    const qsizetype dos = fixed.indexOf(QChar(0xAB));
    if (half < 0 || (dos >= 0 && dos < half)) half = dos;
    if (half >= 0) fixed.replace(half, 1, QStringLiteral("&frac12;"));
    if (fixed.contains(QChar(0xC6))) out.quote = true;
    return fixed;
}

void Both(TableHtml &out, const QString &s) {
    const QString fixed = Fix(out, s);
    out.page += fixed;
    out.printable += fixed;
}

// A line of the printable list as a string of R()'s document.write.
QString ScriptString(const QString &line) {
    QString s = line;
    s.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    s.replace(QLatin1Char('/'), QStringLiteral("\\/"));
    s.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + s + QStringLiteral("\"+") + CrLf;
}

// The Reformat function: the printable list written over the page.
QString ReformatScript(const QString &printable) {
    QString out = QStringLiteral("<Script>") + CrLf + QStringLiteral("function R() {") + CrLf +
                  QStringLiteral("document.write(") + CrLf;
    bool inScript = false;
    for (QString line : SplitLines(printable)) {
        line.replace(LineBreak, QStringLiteral("<Br>"));
        if (line.startsWith(QLatin1String("<ScripT>"))) {
            const qsizetype end = line.indexOf(QLatin1String("</Script>"));
            out += QStringLiteral("\"\");") + line.mid(8, (end < 0 ? line.size() : end) - 8) + QLatin1Char('\r') +
                   QStringLiteral("document.write(") + CrLf;
        } else if (inScript) {
            if (FoldUpper(line).contains(QLatin1String("</SCRIPT"))) inScript = false;
        } else if (line.contains(QLatin1String("<Script"))) {
            inScript = !FoldUpper(line).contains(QLatin1String("</SCRIPT"));
        } else {
            out += ScriptString(line);
        }
    }
    return out + QStringLiteral("\"<\\/Div><\\/Div><\\/Body><\\/HTML>\");document.close();}") + CrLf +
           QStringLiteral("</Script>");
}

// Where the old table starts: the tag of the script element holding our
// decoding function as code, else the first table whose class is
// "WebStart"; both only as elements a browser reads. Otherwise start is -1
// and stop the message.
struct OldTable {
    qsizetype start = -1;
    QString stop;
};

const QString DecodeFunction = QStringLiteral("function E(A){");

// Whether a class attribute names the class "WebStart" (case ignored)
// among the names it holds, parted by blanks.
bool ClassHoldsWebStart(const QString &classes) {
    QString name;
    for (const QChar c : classes + QLatin1Char(' ')) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r') &&
            c != QLatin1Char('\f')) {
            name += c;
        } else {
            if (FoldUpper(name) == QLatin1String("WEBSTART")) return true;
            name.clear();
        }
    }
    return false;
}

OldTable FindOldTable(const QString &page, const QString &path) {
    OldTable found;
    qsizetype table = -1;
    const HtmlWalkEnd end = WalkHtml(page, [&](const HtmlStartTag &tag) {
        if (tag.name == QLatin1String("SCRIPT") &&
            FindScriptCode(page.mid(tag.end, tag.textEnd - tag.end), DecodeFunction) >= 0) {
            found.start = tag.start;
            return false;
        }
        if (table < 0 && tag.name == QLatin1String("TABLE") && ClassHoldsWebStart(tag.attribute(QStringLiteral("CLASS"))))
            table = tag.start;
        return true;
    });
    if (found.start < 0) found.start = table;
    if (found.start >= 0) return found;
    found.stop = QStringLiteral("Error: \"WebStart\" not found in ") + path;
    // A page cut short may hold the table or the script in the part left
    // open; say where that part begins, so the caller can mend it.
    const QString open = page.mid(end.from);
    if (end.kind != HtmlWalkEnd::Text &&
        (FoldUpper(open).contains(QLatin1String("WEBSTART")) || open.contains(DecodeFunction))) {
        const QString what = end.kind == HtmlWalkEnd::Comment ? QStringLiteral("comment")
                             : end.kind == HtmlWalkEnd::Tag   ? QStringLiteral("tag")
                                                              : end.element.toLower() + QStringLiteral(" element");
        found.stop += QStringLiteral("\rThe page ends inside an unclosed ") + what + QStringLiteral(" begun on line ") +
                      QString::number(page.left(end.from).count(QLatin1Char('\n')) + 1) + QLatin1Char('.');
    }
    return found;
}

} // namespace

void AppendTableTextHtml(TableHtml &out, const QString &tableText, const TableHtmlOptions &o) {
    QStringList lines = SplitLines(tableText);
    while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    const bool hasHeader = !lines.isEmpty() && !lines.first().isEmpty();
    if (!hasHeader && !lines.isEmpty()) lines.removeFirst();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool header = hasHeader && i == 0;
        const TableTextRow row = ParseTableTextRow(lines[i]);
        if (!row.hasRowAttributes) Both(out, QStringLiteral("  <TR>") + CrLf + QStringLiteral("    "));
        else if (o.maintainer && header && o.styled) Both(out, QStringLiteral("  <TR Class=Titles>") + CrLf + QStringLiteral("    "));
        else Both(out, QStringLiteral("  <TR ") + row.rowAttributes + QLatin1Char('>') + CrLf + QStringLiteral("    "));
        if (row.rest.isEmpty()) {
            Both(out, QStringLiteral("&nbsp;"));
        } else if (row.headerCell) {
            Both(out, QStringLiteral("<TH ") + row.headerAttributes + QLatin1Char('>') + row.cells.value(0).content +
                     QStringLiteral("</TH>"));
        } else {
            for (const TableTextCell &cell : row.cells) {
                QString content = cell.content;
                content.replace(o.separator, o.separatorAs);
                while (content.endsWith(QLatin1Char(' '))) content.chop(1);
                if (content.isEmpty()) content = QStringLiteral("&nbsp;");
                Both(out, content.contains(QLatin1String("CDsmall.gif")) ? QStringLiteral("<TD Style=\"Padding:0 30px\">")
                         : header                                       ? QStringLiteral("<TH>")
                                                                        : QStringLiteral("<TD>"));
                for (const auto &[letter, raw] : cell.attributes) {
                    out.attributes = true;
                    QString value = QString(raw).replace(o.separator, o.separatorAs);
                    if (letter.toLower() != QLatin1Char('e')) value.replace(QLatin1Char('"'), QLatin1String("&quot;"));
                    const QChar l = letter.toLower();
                    if (l == QLatin1Char('a')) {
                        out.page += Fix(out, QStringLiteral("<img src=\"") + o.imageFolder +
                                            QStringLiteral("Diamond.gif\" height=\"13\" width=\"13\" alt=\"\" Title=\"") +
                                            value + QStringLiteral("\">&nbsp;"));
                        const bool digit = !content.isEmpty() && content[0].isDigit();
                        out.printable += Fix(out, QStringLiteral("<Span Class=X>&nbsp;") + value +
                                                 QStringLiteral("&nbsp;</Span>") +
                                                 (digit ? QStringLiteral("&nbsp;") : QStringLiteral("<br />")));
                    } else if (l == QLatin1Char('e')) {
                        const QString scrambled = ScrambleAddress(value);
                        out.page += QStringLiteral("<Script>\rE(\"") + scrambled + QStringLiteral("\")</Script>\r");
                        out.printable += QStringLiteral("\r<ScripT>P(\"") + scrambled + QStringLiteral("\")</Script>\r");
                    } else if (LinkableAddress(raw)) {
                        QString shown = value;
                        for (const char *prefix : {"http://", "https://", "www."})
                            if (shown.startsWith(QLatin1String(prefix), Qt::CaseInsensitive)) shown.remove(0, int(strlen(prefix)));
                        if (shown.endsWith(QLatin1Char('/'))) shown.chop(1);
                        out.page += Fix(out, QStringLiteral("<A Href=\"") + value + QStringLiteral("\"> <Img Src=\"") + o.imageFolder +
                                            QStringLiteral("WebSite.gif\" Height=15 Width=15 Alt=\"\" Title=\"Web Site: ") +
                                            shown + QStringLiteral("\" /></A> "));
                        out.printable += Fix(out, CrLf + QStringLiteral("<Span Class=X>&nbsp;Web Site: ") + shown +
                                                 QStringLiteral("&nbsp;</Span><br />"));
                    }
                }
                if (o.indentDigit && content.size() == 1 && content[0].isDigit())
                    content = QStringLiteral(" &nbsp; &nbsp; ") + content;
                Both(out, content + (header ? QStringLiteral("</TH>") : QStringLiteral("</TD>")));
            }
        }
        Both(out, CrLf + QStringLiteral("  </TR>") + CrLf);
    }
}

QString CheckNoOuterSpaces(const QString &s) {
    if (s != s.trimmed()) AbortMsg(s + QStringLiteral(" has leading or trailing space."));
    return s;
}

QString ScrambleAddress(const QString &address) {
    QString a = SafeAddress(address);
    a.replace(QLatin1Char('@'), QLatin1Char('!'));
    a.replace(QLatin1Char('.'), QLatin1Char('?'));
    QString odd, even;
    for (qsizetype i = 0; i < a.size(); ++i) (i % 2 == 0 ? odd : even) += a[i];
    std::reverse(even.begin(), even.end());
    return odd + even;
}

QString UnscrambleAddress(const QString &scrambled) {
    QString a = scrambled, out;
    while (!a.isEmpty()) {
        out += a.front();
        a.remove(0, 1);
        if (a.isEmpty()) break;
        out += a.back();
        a.chop(1);
    }
    out.replace(QLatin1Char('?'), QLatin1Char('.'));
    out.replace(QLatin1Char('!'), QLatin1Char('@'));
    return out;
}

QString BookingsTableText(const QList<BookingEvent> &events, const BookingsOptions &o) {
    const QChar sep = o.separator;
    QString text = QStringLiteral("!BgColor=LightGreen|Date|Location|Event|Music|Contact") + CrLf;
    int year = -1;
    for (const BookingEvent &e : events) {
        if (std::trunc(e.EDate) < std::trunc(o.today)) continue;
        const QString org = CheckNoOuterSpaces(e.Org), town = CheckNoOuterSpaces(e.Town);
        if (e.Programme.startsWith(sep + QStringLiteral("N|Leader")) || e.EDate == NoDate) continue;
        const QDate date = DayNumberToDate(e.EDate);
        if (date.year() != year) {
            year = date.year();
            text += QStringLiteral("!BgColor=Yellow|<Big><Center>") + QString::number(year) +
                    QStringLiteral("</Center></Big>|&nbsp;|&nbsp;|&nbsp;|&nbsp;") + CrLf;
            if (!o.regular.isEmpty()) text += o.regular + CrLf;
        }
        text += ShortDayNames().value(date.dayOfWeek() % 7) + QLatin1Char(' ') + QString::number(date.day()) +
                QLatin1Char(' ') + ShortMonthNames().value(date.month() - 1) + QLatin1Char('|');
        if (e.Prv == QLatin1String("Y")) {
            text += e.Programme.startsWith(sep + QStringLiteral("N|-")) ? QStringLiteral("|Not available|||")
                                                                         : QStringLiteral("|Private event|||");
            text += CrLf;
            continue;
        }
        // Location.
        if (PosNoCase(QStringLiteral("http"), e.Venue) > 0)
            AbortMsg(QStringLiteral("Don't put a link in Venue - put it in Town instead."));
        QString details = Detail(e.Venue);
        if (!e.Venue.isEmpty() && !CheckNoOuterSpaces(e.Postcode).isEmpty())
            details += QStringLiteral(", ") + Detail(e.Postcode);
        if (!e.ETime.isEmpty())
            details = details.isEmpty() ? Detail(e.ETime)
                                        : details + QStringLiteral(".&nbsp; ") + Detail(e.ETime) + QLatin1Char('.');
        const QString notePrefix = sep + QStringLiteral("N|+");
        if (e.Programme.startsWith(notePrefix)) {
            QString note = e.Programme.mid(notePrefix.size());
            const qsizetype end = note.indexOf(sep);
            if (end >= 0) note.truncate(end);
            note = Detail(note);
            if (!details.isEmpty()) details += LineBreak;
            details += note;
        }
        if (!details.isEmpty()) text += QStringLiteral("a=\"") + details + QStringLiteral("\" ");
        text += WebCell(town);
        // Event.
        if (org != e.Contact && org != e.Event && org != town && !org.startsWith(QLatin1Char('?')))
            text += QStringLiteral("a=\"") + Detail(org) + QStringLiteral("\" ");
        text += WebCell(e.Event);
        // Music.
        text += WebCell(e.Band);
        // Contact.
        if (!CheckNoOuterSpaces(e.WebSite).isEmpty()) {
            const QString href = TableTextHref(FoldUpper(e.WebSite).startsWith(QLatin1String("HTTPS"))
                                                   ? e.WebSite
                                                   : QStringLiteral("http://") + e.WebSite);
            if (!href.isEmpty()) text += QStringLiteral("w=") + href + QLatin1Char(' ');
        }
        if (!e.Email.isEmpty()) text += QStringLiteral("e=") + SafeAddress(CheckNoOuterSpaces(e.Email)) + QLatin1Char(' ');
        if (!CheckNoOuterSpaces(e.Contact).isEmpty())
            text += QStringLiteral("a=\"") + Detail(e.Contact).replace(QLatin1Char(' '), QStringLiteral("&nbsp;")) +
                    QStringLiteral("\" ");
        text += WebCell(e.Phone);
        text += CrLf;
    }
    return ReplaceText(text, QStringLiteral(" & "), QStringLiteral(" &amp; "));
}

BookingsPageResult BookingsPage(const QString &oldPage, const QString &tableText, const BookingsPageOptions &o) {
    BookingsPageResult r;
    const OldTable old = FindOldTable(oldPage, o.path);
    if (old.start < 0) {
        r.stop = old.stop;
        return r;
    }
    const qsizetype start = old.start;
    // Cut at the line's start, or at the tag when the caller's text stands
    // before it on its line.
    // (A search back from before the page's start would wrap to its end.)
    const qsizetype lineStart = start > 0 ? oldPage.lastIndexOf(QLatin1Char('\n'), start - 1) + 1 : 0;
    const qsizetype cut = oldPage.mid(lineStart, start - lineStart).trimmed().isEmpty() ? lineStart : start;
    const QString head = oldPage.left(cut);
    const QString img = o.imageFolder;

    QString tableTag =
        QStringLiteral("<Table Align=center BgColor=CornSilk Border=1 CellSpacing=0 CellPadding=5 Class=\"WebStart\">");
    const bool styled = oldPage.contains(QLatin1String(".WebStart"));
    if (styled) tableTag = QStringLiteral("<Table Align=center Border=0 Class=\"WebStart\">");
    if (o.maintainer) tableTag = QStringLiteral("<Table Class=\"WebStart C\">");
    tableTag += QLatin1Char('\r');

    TableHtml out;
    out.page = QStringLiteral("<Script>\r") +
               DecodeScript(QStringLiteral("E"), QStringLiteral("'<a href=\"mailto:'+s+'\"><img src=\"") + img +
                                                     QStringLiteral("Email.gif\" height=\"13\" width=\"18\" alt=\"\" "
                                                                    "title=\"Email: '+s+'\"></a>'")) +
               QLatin1Char('\r');
    for (const char *icon : {"Email", "WebSite", "Diamond"})
        out.page += QStringLiteral("new Image().src=\"") + img + QLatin1String(icon) + QStringLiteral(".gif\";\r");
    out.page += QStringLiteral("</Script>\r") + tableTag;
    out.printable = head + QStringLiteral("<ScripT>") +
                    DecodeScript(QStringLiteral("P"), QStringLiteral("'<Span Class=X>\\xa0E-mail: '+s+' </Span> \\xa0'")) +
                    QStringLiteral("</Script>\r") + tableTag;

    TableHtmlOptions rows;
    rows.imageFolder = img;
    rows.maintainer = o.maintainer;
    rows.styled = styled;
    rows.separator = o.separator;
    AppendTableTextHtml(out, tableText, rows);
    Both(out, QStringLiteral("</Table>") + CrLf);
    if (out.attributes)
        out.page += QStringLiteral("<Br><Form>If you want to print this list complete with all the location, web site "
                                   "and email address information, click &nbsp; ") +
                    CrLf + QStringLiteral("<Input Type=button Value=Reformat OnClick=\"R()\"></Form>") + CrLf +
                    ReformatScript(out.printable);
    if (o.maintainer && !o.feedback.isEmpty()) out.page += CrLf + o.feedback + CrLf;
    r.page = head + EscapeHtml(out.page, o.separator) + QStringLiteral("</Body>") + CrLf + QStringLiteral("</HTML>") + CrLf;
    r.printable = out.printable;
    r.quote = out.quote;
    return r;
}
