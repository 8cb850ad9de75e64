#include "publishing/maintainer/MyDances.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/Messages.h"
#include "core/dances/MusicText.h"
#include "platform/sqlite/Database.h"
#include "publishing/maintainer/MaintainerRules.h"
#include "publishing/pages/BookingsPage.h"
#include "publishing/pages/Html.h"
#include "publishing/pages/TableText.h"

#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <sqlite3.h>

namespace {
// A catalogue value as page text within its cell: its own mark-up, "|",
// line breaks and leading "!" or "x=" never act (the page's renderer applies
// the rest of the escaping).
QString text(const QString &value) { return TableTextValue(value, QStringLiteral("<Br>")); }


// The first page of the site that Notes link, as a name under the site
// ("dances/reel.htm"); "" when none.
QString sitePage(const QString &notes, const QString &domain) {
    if (domain.isEmpty()) return QString();
    for (qsizetype at = PosNoCase(domain, notes); at > 0; at = PosNoCase(domain, notes, at + 1)) {
        qsizetype end = at - 1 + domain.size();
        const qsizetype from = end;
        while (end < notes.size() && !QStringLiteral(" \"|<>\r\n\t").contains(notes[end])) ++end;
        QString page = notes.mid(from, end - from);
        if (page.startsWith(QLatin1Char('/'))) page = page.mid(1);
        if (page.isEmpty() || PosNoCase(QStringLiteral("abc.aspx"), page) > 0 || page.startsWith(QLatin1String("images/")))
            continue;
        return page;
    }
    return QString();
}

QString quotedJoin(const QStringList &values) {
    QStringList quoted;
    for (QString v : values) quoted << QLatin1Char('"') + v.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

QSet<QString> listedPages(const QString &siteFolder) {
    QSet<QString> names;
    const QString list = FindFileNoCase(siteFolder, QStringLiteral("MyDances.txt"));
    if (!list.isEmpty() && QFileInfo(list).isFile())
        for (const QString &line : ReadTextFile(list).split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty()) names.insert(FoldUpper(line.trimmed()));
    return names;
}

} // namespace

MyDancesResult MakeMyDances(Database &db, const MaintainerConfig &c, const QString &domain, const QDate &today,
                            bool everyField) {
    const QString crlf = QStringLiteral("\r\n");
    const QSet<QString> listed = listedPages(c.SiteFolder);
    MyDancesResult r;
    r.table = QStringLiteral("Title|Collection|Rhythm|Level|Music|Recording") + crlf;
    r.csv = QStringLiteral("\"Title\",\"Format\",\"Style\"") + crlf;
    int written = 0, interpreted = 0, music = 0;
    QString heading;
    Statement st(db.handle(), QStringLiteral("Select * from Dances Order by Format, Style, Title"));
    QStringList names;
    for (int i = 0; i < st.columnCount(); ++i)
        names << QString::fromUtf8(sqlite3_column_name(st.get(), i));
    auto col = [&st, &names](const char *name) { return st.columnText(int(names.indexOf(QLatin1String(name)))); };
    bool first = true;
    while (st.step()) {
        if (first && everyField) r.allCsv = quotedJoin(names);
        first = false;
        DanceFacts d;
        d.Title = col("Title");
        d.Format = col("Format");
        d.Style = col("Style");
        d.Author = col("Author");
        d.Collection = col("Collection");
        d.Instructions = col("Instructions");
        d.Footer = col("Footer");
        d.Notes = col("Notes");
        d.Music = col("Music");
        if (!IsMaintainersDance(d, c) || SameText(d.Format, QStringLiteral("Technique"))) continue;
        if (!c.PrivateSite.isEmpty() && PosNoCase(c.PrivateSite, d.Notes) > 0) continue;
        const QString level = col("Lvl");
        if (d.Collection.trimmed().isEmpty() || level.isEmpty())
            AbortMsg(QStringLiteral("No collection/level specified for ") + d.Title);
        const bool his = PosNoCase(c.Name, d.Author) > 0;
        const bool interpretation = IsInterpretation(d, c);
        const bool ownTune = col("OwnTune") == QLatin1String("Y");
        const bool hisMusic = ownTune || CreditsMusic(d.Instructions, c.Name) || CreditsMusic(d.Footer, c.Name);
        written += his;
        interpreted += interpretation;
        music += hisMusic;

        const QString h = d.Format + QStringLiteral(":  ") + d.Style;
        if (h != heading) {
            heading = h;
            r.table += QStringLiteral("!ColSpan=6 Style=\"Background-color: #FFFFA0\"|") + text(h) + crlf;
        }
        const QString kind = interpretation ? QStringLiteral("I") : (!his && hisMusic ? QStringLiteral("T")
                                                                                     : QStringLiteral("F"));
        QString row = QStringLiteral("!Class=") + kind + QLatin1Char('|');
        const QString page = sitePage(d.Notes, domain);
        if (!page.isEmpty()) {
            const QString file = page.section(QLatin1Char('#'), 0, 0);
            if (!QFileInfo(c.SiteFolder + file).isFile() && !listed.contains(FoldUpper(file)))
                AbortMsg(file + QStringLiteral(" is not an HTML file or in MyDances.txt"));
            row += QStringLiteral("<A Href=\"") + TableTextHref(page) + QStringLiteral("\">") + text(d.Title) +
                   QStringLiteral("</A>|");
        } else {
            row += text(d.Title) + QLatin1Char('|');
        }
        row += text(his ? d.Collection : d.Collection + QStringLiteral(" (") + d.Author + QLatin1Char(')')) + QLatin1Char('|');
        row += text(col("Rhythm")) + QLatin1Char('|') + text(level) + QLatin1Char('|');
        bool hasLink = false;
        const QString tune = TuneLinkName(d.Notes, &hasLink);
        if (ownTune && !hasLink)
            row += QStringLiteral("Own tune|");
        else if (hasLink)
            row += QStringLiteral("<A Href=\"abc.aspx?T=") + text(QString(tune).replace(QLatin1Char(' '), QLatin1Char('_'))) +
                   QStringLiteral("\">") + (ownTune ? QStringLiteral("Own tune") : QStringLiteral("Tune")) +
                   QStringLiteral("</A>|");
        else
            row += QStringLiteral("&nbsp;|");
        if (!SplitMusicText(d.Music, QChar(0x00B7)).recordings.isEmpty() ||
            !SplitMusicText(d.Music, QChar(0x20AC)).recordings.isEmpty())
            row += QStringLiteral("<A Href=\"") + c.RecordingsPage + QLatin1Char('#') +
                   text(QString(d.Title).replace(QLatin1Char(' '), QLatin1Char('_'))) +
                   QStringLiteral("\"><Img Src=\"images/rec.gif\" Alt=\"Recordings\"></A>|");
        else
            row += QStringLiteral("&nbsp;|");
        r.table += row + crlf;
        r.csv += quotedJoin({d.Title, d.Format, d.Style});
        if (everyField) {
            QStringList values;
            for (int i = 0; i < names.size(); ++i) values << st.columnText(i);
            r.allCsv += quotedJoin(values);
        }
        ++r.rows;
    }
    r.totals = QStringLiteral("Dances written by ") + c.Name + QStringLiteral(": ") + QString::number(written) +
               QStringLiteral(", interpreted by ") + c.Name + QStringLiteral(": ") + QString::number(interpreted) +
               QStringLiteral(", music by ") + c.Name + QStringLiteral(": ") + QString::number(music) +
               QStringLiteral(" (") + QLocale::c().toString(today, QStringLiteral("MMM yy")) + QLatin1Char(')');
    return r;
}

namespace {

// Where a table of the page lies: from the "<" of its tag to past the
// ">" that closes it, and from its matching "</Table>" to past that.
struct TableSpan {
    qsizetype tagStart = -1, rowsStart = -1, rowsEnd = -1, end = -1;
};

TableSpan FindPageTable(const QString &page, const QString &id) {
    TableSpan t;
    const QString upper = FoldUpper(page);
    const QString want = FoldUpper(id);
    for (qsizetype at = upper.indexOf(QLatin1String("<TABLE")); at >= 0; at = upper.indexOf(QLatin1String("<TABLE"), at + 1)) {
        const qsizetype close = upper.indexOf(QLatin1Char('>'), at);
        if (close < 0) break;
        const QString tag = upper.mid(at, close - at);
        const qsizetype key = tag.indexOf(QLatin1String(" ID="));
        if (key < 0) continue;
        qsizetype v = key + 4;
        if (v < tag.size() && (tag[v] == QLatin1Char('"') || tag[v] == QLatin1Char('\''))) ++v;
        if (tag.mid(v, want.size()) != want) continue;
        const qsizetype after = v + want.size();
        if (after < tag.size() && (tag[after].isLetterOrNumber() || tag[after] == QLatin1Char('_'))) continue;
        // The matching end tag, tables inside counted.
        int depth = 1;
        qsizetype p = close + 1;
        while (depth > 0) {
            const qsizetype open = upper.indexOf(QLatin1String("<TABLE"), p);
            const qsizetype end = upper.indexOf(QLatin1String("</TABLE"), p);
            if (end < 0) return t;
            if (open >= 0 && open < end) {
                ++depth;
                p = open + 6;
            } else {
                --depth;
                p = end + 7;
                if (depth == 0) {
                    const qsizetype endClose = upper.indexOf(QLatin1Char('>'), end);
                    if (endClose < 0) return t;
                    t = {at, close + 1, end, endClose + 1};
                }
            }
        }
        return t;
    }
    return t;
}

// A linked code at the start of a cell becomes a link to its page.
QString LinkCodes(QString html, const QList<QPair<QString, QString>> &links) {
    for (const auto &[code, page] : links) {
        const QString cell = QStringLiteral("<TD>") + code;
        for (qsizetype at = html.indexOf(cell); at >= 0; at = html.indexOf(cell, at + 1)) {
            const qsizetype after = at + cell.size();
            if (after < html.size() && (html[after].isLetterOrNumber() || html[after] == QLatin1Char('_'))) continue;
            const QString linked = QStringLiteral("<TD><A Href=\"") + page + QStringLiteral("\">") + code + QStringLiteral("</A>");
            html.replace(at, cell.size(), linked);
            at += linked.size() - 1;
        }
    }
    return html;
}

} // namespace

DancesPageResult RebuildDancesPage(const QString &oldPage, const DancesPageInput &in) {
    DancesPageResult r;
    const QString reformat = QStringLiteral("Please use Scrivlet to reformat ") + in.pageName;
    if (oldPage.trimmed().isEmpty()) {
        r.stop = reformat;
        return r;
    }
    struct Part {
        TableSpan span;
        const QString *text;
    };
    QList<Part> parts;
    for (const auto &[id, text] : {std::pair{"Collect", &in.collect}, {"Level", &in.level}, {"Dances", &in.dances}}) {
        const TableSpan span = FindPageTable(oldPage, QString::fromLatin1(id));
        if (span.end < 0) {
            // The page is not in the form the rewrite reads.
            r.stop = reformat;
            return r;
        }
        parts.append({span, text});
    }
    std::sort(parts.begin(), parts.end(), [](const Part &a, const Part &b) { return a.span.tagStart < b.span.tagStart; });
    for (qsizetype i = 1; i < parts.size(); ++i)
        if (parts[i].span.tagStart < parts[i - 1].span.end) {
            r.stop = reformat; // one table inside another
            return r;
        }
    TableHtmlOptions options;
    options.separator = in.separator;
    options.separatorAs = QStringLiteral("%7C");
    options.indentDigit = true;
    const QString crlf = QStringLiteral("\r\n");
    qsizetype from = 0;
    for (const Part &part : parts) {
        TableHtml html;
        AppendTableTextHtml(html, *part.text, options);
        r.quote = r.quote || html.quote;
        r.page += oldPage.mid(from, part.span.rowsStart - from) + crlf +
                  EscapeHtml(LinkCodes(html.page, in.codeLinks), in.separator) + QStringLiteral("</Table>");
        from = part.span.end;
    }
    r.page += crlf + QStringLiteral("<P Class=Totals>") + EscapeHtml(HtmlValue(in.totals, QChar()), in.separator) +
              QStringLiteral("</P>") + crlf + QStringLiteral("</Body>") + crlf + QStringLiteral("</HTML>") + crlf;
    return r;
}
