#include "publishing/pages/BandTable.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/dances/DanceShow.h"
#include "programme/text/HeadingRoles.h"
#include "programme/text/NoteLinks.h"
#include "publishing/pages/Html.h"
#include "publishing/pages/SiteConfig.h"

#include <QFile>

namespace {

const QString CrLf = QStringLiteral("\r\n");

// 0-based place of sub in text ignoring case, from 0-based start; -1 when absent.
qsizetype Find(const QString &sub, const QString &text, qsizetype start = 0) {
    if (start >= text.size()) return -1;
    return PosNoCase(sub, text, start + 1) - 1;
}

void AddOnce(QString &list, const QString &title) {
    if (list.isEmpty()) {
        list = title;
        return;
    }
    if (!list.split(QLatin1Char('\r')).contains(title)) list += QLatin1Char('\r') + title;
}

// A value for a cell; the programme separator stays for the music column's
// own reading and for the pass of EscapeHtml over the finished table.
QString Cell(const QString &value) { return HtmlValue(value, QChar(0)); }

// The first of "www.", "http:", "https:" in value (sought in that order)
// starts an address running to the next blank; it becomes a link when it
// is a web address, the rest of the value stays text.
QString LinkAddress(const QString &value) {
    qsizetype at = -1;
    for (const char *start : {"www.", "http:", "https:"}) {
        at = Find(QLatin1String(start), value);
        if (at >= 0) break;
    }
    if (at < 0) return Cell(value);
    qsizetype end = value.indexOf(QLatin1Char(' '), at);
    if (end < 0) end = value.size();
    const QString address = value.mid(at, end - at);
    const QString href = HtmlHref(address);
    const QString link = href.isEmpty() ? Cell(address)
                                        : QStringLiteral("<a href=\"") + href + QStringLiteral("\">") + Cell(address) +
                                              QStringLiteral("</a>");
    return Cell(value.left(at)) + link + Cell(value.mid(end));
}

// A note's link as a small button; an address that may not go into href
// is shown as text instead.
QString LinkButton(const QString &link, const QString &label) {
    const QString href = HtmlHref(link);
    if (href.isEmpty()) return QStringLiteral(" &nbsp;") + Cell(link) + QStringLiteral("&nbsp;");
    return QStringLiteral(" &nbsp;<a href=\"") + href +
           QStringLiteral("\" Style=\"Text-decoration: None\"><Small Style=\"Color: #45008A;Background-color: "
                          "#D5D5FF; Border: 1px Solid #737373; Border-radius: 3px; Padding: 0 3px\">") +
           label + QStringLiteral("</small></a>&nbsp;");
}

// A tune key of the maker's tune page: its readable name may stand in the
// cell for "Own tune", and it joins the query.
void AddTuneKey(QString &cell, const QString &notes, const QString &key, const TuneRow &row, TuneList &tunes) {
    QString readable = key;
    readable.replace(QLatin1Char('_'), QLatin1Char(' '));
    if (readable != row.title) {
        cell = ReplaceText(cell, QStringLiteral("Own tunes"), QStringLiteral("Own tune"));
        QString titleKey = row.title;
        titleKey.replace(QLatin1Char(' '), QLatin1Char('_'));
        if (Find(QStringLiteral("?T=") + titleKey, notes) < 0 && Find(QStringLiteral(".htm#"), notes) < 0) {
            const qsizetype own = Find(QStringLiteral("Own tune"), cell);
            if (own >= 0)
                cell.replace(own, 8, QStringLiteral("&ldquo;") + Cell(readable) + QStringLiteral("&rdquo;"));
        }
    }
    TuneQueryAdd(tunes, key, row.title);
}

// Maintainer mode: a link to an anchor of a page of the local site copy
// names the tunes listed under that anchor.
void AnchorTunes(QString &cell, const QString &notes, const QString &link, const TuneRow &row,
                 const BandSettings &s, TuneList &tunes) {
    const qsizetype hash = link.indexOf(QLatin1Char('#'));
    QString page = link.left(hash);
    page = page.mid(page.lastIndexOf(QLatin1Char('/')) + 1);
    const QString key = link.mid(hash + 1);
    const QString path = s.siteFolder + page;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) AbortMsg(key + QStringLiteral(" not found in ") + page);
    const QString text = QString::fromUtf8(file.readAll());
    const QString id = QStringLiteral("Id=") + key;
    qsizetype at = Find(id, text);
    while (at >= 0) {
        const qsizetype after = at + id.size();
        if (after < text.size() && QStringLiteral("& >").contains(text[after])) break;
        at = Find(id, text, at + 1);
    }
    if (at < 0)
        AbortMsg(QStringLiteral("No occurrence of ") + key + QStringLiteral(" followed by \"&\", \" \" or \">\" in ") +
                 page);
    qsizetype end = std::min<qsizetype>(text.size(), at + 1000);
    const qsizetype h2 = Find(QStringLiteral("<H2"), text, at);
    if (h2 >= 0 && h2 < end) end = h2;
    const QString marker = QStringLiteral("href=\"abc.aspx?T=");
    for (qsizetype p = Find(marker, text, at); p >= 0 && p < end; p = Find(marker, text, p + 1)) {
        const qsizetype from = p + marker.size();
        const qsizetype quote = text.indexOf(QLatin1Char('"'), from);
        AddTuneKey(cell, notes, text.mid(from, (quote < 0 ? text.size() : quote) - from), row, tunes);
    }
}

// Option 1: the tune book in place of the tunes' own text.
void TuneBookOnly(QString &cell, const TuneRow &row, const BandSettings &s) {
    const QString book = QStringLiteral("Tolbrook ") + row.volume;
    const qsizetype sep = cell.indexOf(s.separator);
    if (sep >= 0) cell.truncate(sep);
    const qsizetype own = Find(QStringLiteral("Own tune"), cell);
    if (own >= 0) {
        const qsizetype length = own + 8 < cell.size() && cell[own + 8].toLower() == QLatin1Char('s') ? 9 : 8;
        cell.replace(own, length, book);
    }
    const qsizetype start = Find(QStringLiteral(" in "), cell);
    if (start >= 0) {
        qsizetype end = Find(QStringLiteral(" -"), cell);
        if (end < 0) end = Find(QStringLiteral(" ("), cell);
        if (end < 0) end = Find(QStringLiteral(" but"), cell);
        if (end < 0) end = Find(QStringLiteral(": "), cell);
        const qsizetype anchor = Find(QStringLiteral("&nbsp;<a"), cell);
        if (anchor >= 0 && (end < 0 || anchor < end)) end = anchor;
        if (end <= start) end = anchor > start ? anchor : cell.size();
        cell.remove(start, end - start);
    }
    if (cell.isEmpty()) cell = book;
    else if (Find(QStringLiteral("Tolbrook"), cell) < 0) cell += QStringLiteral(" in ") + book;
    WriteLog(cell + QStringLiteral("| ") + PadRight(row.music, 60));
}

// A note's text without its links (still plain text).
QString NoteCell(const QString &text) {
    QString cell = text;
    for (qsizetype at = Find(LinkMarker, cell); at >= 0; at = Find(LinkMarker, cell, at)) {
        const qsizetype close = cell.indexOf(QLatin1Char('"'), at + LinkMarker.size());
        cell.remove(at, (close < 0 ? cell.size() : close + 1) - at);
    }
    for (qsizetype at = Find(QStringLiteral("http"), cell); at >= 0; at = Find(QStringLiteral("http"), cell, at)) {
        qsizetype end = at;
        while (end < cell.size() && cell[end] != QLatin1Char(' ') && cell[end] != QLatin1Char('\r') &&
               cell[end] != QLatin1Char('\n') && cell[end] != QLatin1Char('<'))
            ++end;
        // The blank after it goes too; a line break stays.
        if (end < cell.size() && cell[end] == QLatin1Char(' ')) ++end;
        cell.remove(at, end - at);
    }
    return cell;
}

// A note's text for its cell: escaped, line breaks as "<Br>", two blanks
// as "&nbsp; ".
QString NoteHtml(const QString &text) {
    QString html = Cell(text);
    html.replace(CrLf, QStringLiteral("<Br>"));
    html.replace(QStringLiteral("  "), QStringLiteral("&nbsp; "));
    return html;
}

// The escaped straight double quotes of a note's text as typographic ones,
// paired from the end; one after a backslash stays straight.
QString CurlQuotes(const QString &cell) {
    const QString quote = QStringLiteral("&quot;");
    QString out = cell;
    bool closing = true;
    for (qsizetype i = out.lastIndexOf(quote); i >= 0; i = i == 0 ? -1 : out.lastIndexOf(quote, i - 1)) {
        if (i > 0 && out[i - 1] == QLatin1Char('\\')) continue;
        out.replace(i, quote.size(), closing ? QStringLiteral("&rdquo;") : QStringLiteral("&ldquo;"));
        closing = !closing;
    }
    return out;
}

// Maintainer mode: a note "dance|tune" names a tune of the index whose dance
// is not in the catalogue. False when the note is no such row.
bool MaintainerTuneRow(const QString &text, const BandSettings &s, TuneList &tunes, BandTableResult &r) {
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    if (bar < 0 || bar + 1 >= text.size()) return false;
    const QString title = text.mid(bar + 1).trimmed();
    if (title.contains(QLatin1Char('#'))) {
        r.stop = QStringLiteral("# in tune name is not supported.");
    } else if (Find(QStringLiteral("\nT:") + title + QLatin1Char('\n'),
                    QLatin1Char('\n') + QString(s.abcIndex).remove(QLatin1Char('\r')) + QLatin1Char('\n')) < 0 &&
               Find(QStringLiteral("or the dance \"") + title + QLatin1Char('"'), s.abcIndex) < 0) {
        if (title == QLatin1String("Raffle")) return false;
        r.stop = title + QStringLiteral("\rTune not found");
    } else {
        QString key = title;
        key.replace(QLatin1Char(' '), QLatin1Char('_'));
        r.table += QStringLiteral("  <TR><TD ColSpan=") + QString::number(s.columns.size()) + QLatin1Char('>') + Cell(title) +
                   LinkButton(TunePageAddress() + QStringLiteral("?T=") + key, QStringLiteral("Music")) +
                   QStringLiteral(" &nbsp; (I have the music but not the dance)</TD></TR>") + CrLf;
        TuneQueryAdd(tunes, key, title);
    }
    return true;
}

QString DanceCell(const QString &column, const DanceFields &dance, const ProgrammeItem &item, const QString &shown,
                  const BandSettings &s, TuneList &tunes, BandTableResult &r) {
    QString value = LinkAddress(dance.value(column));
    if (SameText(column, QStringLiteral("Title"))) {
        QString title = dance.value(QStringLiteral("Title"));
        if (title.startsWith(QLatin1Char('!'))) title.remove(0, 1);
        const QString shownTitle = DisplayTitle(title);
        value = Cell(shownTitle);
        if (!TitleArticle.isEmpty()) {
            const qsizetype blank = shownTitle.indexOf(QLatin1Char(' '));
            value = QStringLiteral("<small>") + Cell(TitleArticle) + QStringLiteral("</small>") +
                    (blank < 0 ? QString() : Cell(shownTitle.mid(blank)));
        }
        if (item.key.Style.contains(QLatin1String("Break")))
            value = QStringLiteral("<I>Break:&nbsp; </I> ") + value;
    } else if (SameText(column, QStringLiteral("Music"))) {
        MusicInput in;
        in.music = dance.value(QStringLiteral("Music"));
        in.sep = s.separator;
        in.chosenLine = item.recording;
        in.isRec = s.isRec;
        in.locationColumn = s.locationColumn;
        in.recordedKeys = s.recordedKeys;
        value = Cell(ShowMusic(in).boxText);
        if (s.isRec) {
            const qsizetype first = value.indexOf(s.separator);
            if (first < 0) {
                AddOnce(r.noRecording, shown);
            } else if (s.trackColumn && (first + 1 >= value.size() || value[first + 1] != s.separator)) {
                qsizetype next = value.indexOf(s.separator, first + 1);
                if (next < 0) next = value.size();
                value = value.left(first) + QStringLiteral(", track <b>") + value.mid(first + 1, next - first - 1) +
                        QStringLiteral("</b> ") + value.mid(next);
            }
        } else {
            const TuneRow row{shown, dance.value(QStringLiteral("Tolbrook")),
                              dance.value(QStringLiteral("OwnTune")) == QLatin1String("Y"),
                              dance.value(QStringLiteral("Music"))};
            QString notes = dance.value(QStringLiteral("Notes"));
            notes.replace(QStringLiteral("_&_"), QStringLiteral("_$_"));
            AddTuneLinks(value, notes, row, s, tunes);
        }
    }
    return value;
}

} // namespace

bool HasNextTimeHeading(const QString &progText, QChar sep) {
    Q_UNUSED(sep);
    return PosNoCase(QStringLiteral("O|Next time"), progText) > 0;
}

void TuneQueryAdd(TuneList &tunes, const QString &key, const QString &title) {
    const QString titleKey =
        MultiReplace(title, QStringLiteral(" |&|ö|è|é|ç|²"),
                     QStringLiteral("_|$|\\&quot;o|\\`e|\\'e|\\cc|&#178;"));
    for (const QString &added : tunes.keys)
        if (SameText(added, key)) return;
    tunes.keys.append(key);
    ++tunes.TuneCount;
    tunes.TuneQuery += QLatin1Char('L') + QString::number(tunes.TuneCount) + QLatin1Char('=') + key;
    if (key != QLatin1String("Heidenr\\&quot;oslein") && !UpperCaseDE(key).startsWith(UpperCaseDE(titleKey)) &&
        key != title)
        tunes.TuneQuery += QLatin1Char('/') + titleKey;
    tunes.TuneQuery += QLatin1Char('&');
}

void AddTuneLinks(QString &cell, const QString &notes, const TuneRow &row, const BandSettings &s, TuneList &tunes) {
    const bool volume = row.hasVolume();
    if (s.tolbrook != 1 || !volume || s.authorMode) {
        QString work = notes;
        for (;;) {
            const LinkFound found = ExtractLink(work, false);
            if (found.position == 0) break;
            work = found.text;
            const QString &link = found.link;
            if (link.isEmpty()) continue;
            cell += LinkButton(link, Find(QStringLiteral("abc.aspx"), link) >= 0 ? QStringLiteral("Music")
                                                                                  : QStringLiteral("Link"));
            const qsizetype at = Find(QStringLiteral("abc.aspx?T="), link);
            bool keyed = false;
            if (OnMakerSite(link) && Find(QStringLiteral("abc.aspx?T"), link) >= 0 && at >= 0) {
                AddTuneKey(cell, notes, link.mid(at + 11, 999), row, tunes);
                keyed = true;
            }
            if (!s.authorMode) continue;
            if (link.contains(QLatin1Char('#')) && (OnMakerSite(link) || !FoldUpper(link).startsWith(QLatin1String("HTTP"))))
                AnchorTunes(cell, notes, link, row, s, tunes);
            else if (!keyed && row.ownTune && FoldUpper(link).endsWith(QLatin1String(".PDF"))) {
                const QString name =
                    link.size() > 30 ? Cell(link.left(30)) + QStringLiteral("<WBr>") + Cell(link.mid(30)) : Cell(link);
                const QString href = HtmlHref(link);
                tunes.MissingMusic += (href.isEmpty() ? name
                                                      : QStringLiteral("<A Href=\"") + href + QStringLiteral("\">") +
                                                            name + QStringLiteral("</A>")) +
                                      QStringLiteral("&nbsp; &nbsp; (for the dance ") + Cell(row.title) +
                                      QStringLiteral(")<Br>") + CrLf;
            }
        }
    }
    if (!volume) return;
    const QString book = QStringLiteral("Tolbrook ") + row.volume;
    switch (s.tolbrook) {
    case 0:
        if (Find(QStringLiteral(" in "), cell) < 0) cell += QStringLiteral(" in ") + book;
        break;
    case 1:
        TuneBookOnly(cell, row, s);
        break;
    default:
        cell += (Find(QStringLiteral(" in "), cell) >= 0 ? QStringLiteral(" or ") : QStringLiteral(" in ")) + book;
        break;
    }
}

BandTableResult BuildBandTable(const QList<ProgrammeItem> &rows, const DanceLookup &dances, const BandSettings &s,
                               TuneList &tunes) {
    BandTableResult r;
    const QString n = QString::number(s.columns.size());
    QString &t = r.table;
    t = QStringLiteral("<Table Border=1 BorderColor=Green CellSpacing=0 CellPadding=2 Width=\"100%\">") + CrLf +
        QStringLiteral("  <TR BgColor=LightGreen>") + CrLf + QStringLiteral("  ");
    for (const QString &column : s.columns) t += QStringLiteral("<TH>") + Cell(column) + QStringLiteral("</TH>");
    t += QStringLiteral("</TR>") + CrLf;

    bool inNextTime = false, afterHeading = true, found = !s.oneBand;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const ProgrammeItem &item = rows[i];
        if (item.isHeading() && IsSessionHeading(item.text)) inNextTime = false;
        if (item.isDance()) {
            if (item.key.Title.isEmpty() || (inNextTime && !s.showNext)) continue;
            // A dance the catalogue lacks shows its title alone.
            const DanceFields dance = dances.find(item.key).value_or(
                DanceFields{{QStringLiteral("Title"), item.key.Title},
                            {QStringLiteral("Format"), item.key.Format},
                            {QStringLiteral("Style"), item.key.Style}});
            QString title = dance.value(QStringLiteral("Title"));
            if (title.startsWith(QLatin1Char('!'))) title.remove(0, 1);
            const QString shown = DisplayTitle(title);
            const bool technique = dance.value(QStringLiteral("Format")) == QLatin1String("Technique");
            t += QStringLiteral("  <TR>");
            for (const QString &column : s.columns) {
                QString value = DanceCell(column, dance, item, shown, s, tunes, r);
                QString start = QStringLiteral("<TD>");
                if (item.key.Title == QLatin1String("Waltz") || technique) start = QStringLiteral("<TD BgColor=#ADD8E6>");
                if (technique && !value.isEmpty() && !value.contains(QLatin1String(">Link")))
                    value = QLatin1Char('[') + value + QLatin1Char(']');
                if (value.isEmpty()) value = QStringLiteral("&nbsp;");
                t += start + value + QStringLiteral("</TD>");
            }
            if (!OnMakerSite(dance.value(QStringLiteral("Notes"))) && !s.isRec &&
                dance.value(QStringLiteral("OwnTune")) == QLatin1String("Y")) {
                const QString volume = dance.value(QStringLiteral("Tolbrook"));
                AddOnce(volume.isEmpty() || volume == QLatin1String(" ") ? r.noLinkNotInBook : r.noLinkInBook, shown);
            }
            t += QStringLiteral("</TR>") + CrLf;
            afterHeading = false;
        } else if (item.isNote()) {
            QString text = item.text;
            if (text.startsWith(QLatin1Char('+'))) text.remove(0, 1);
            if (text.isEmpty() || text.startsWith(QLatin1Char('!')) || text.startsWith(QLatin1String("Average Level")))
                continue;
            if (s.authorMode && MaintainerTuneRow(text, s, tunes, r)) {
                if (!r.stop.isEmpty()) return r;
                continue;
            }
            QString cell = NoteHtml(NoteCell(text));
            qsizetype cut = Find(QStringLiteral("Link="), text);
            if (cut < 0) cut = Find(QStringLiteral("http"), text);
            const QString firstText = (cut < 0 ? text : text.left(cut)).trimmed();
            const QString first = NoteHtml(firstText);
            AddTuneLinks(cell, text, TuneRow{firstText, QString(), false, QString()}, s, tunes);
            if (cell.contains(QLatin1String("http"))) {
                t += QStringLiteral("  <TR><TD ColSpan=") + n + QLatin1Char('>') + first + cell.mid(first.size()) +
                     QStringLiteral("</TD></TR>") + CrLf;
            } else {
                cell = CurlQuotes(cell);
                // The closing "|" goes; the quotes made the cell longer than the
                // note's text, so it is cut from the cell's own end.
                if (cell.endsWith(QLatin1Char('|'))) cell.chop(1);
                t += QStringLiteral("  <TR><TD BgColor=\"#EDDFF7\" ColSpan=") + n + QLatin1Char('>') + cell +
                     QStringLiteral("</TD></TR>") + CrLf;
            }
        } else {
            if (FoldUpper(item.text).startsWith(QLatin1String("NEXT TIME"))) inNextTime = true;
            if (inNextTime && !s.showNext) {
                afterHeading = true;
                continue;
            }
            QString colour = QStringLiteral("\"#D0D0FF\"");
            QString text = item.text;
            text.replace(QStringLiteral(": !"), QStringLiteral(": "));
            if (!IsSessionHeading(item.text)) {
                colour = QStringLiteral("Yellow");
                if (afterHeading && text != QLatin1String("Extras")) continue;
            } else if (s.oneBand) {
                if (Find(s.bandPart, text) < 0) {
                    // Passed over up to the next session heading of the band.
                    text.clear();
                    while (++i < rows.size()) {
                        const ProgrammeItem &next = rows[i];
                        if (next.isHeading() && IsSessionHeading(next.text) && Find(s.bandPart, next.text) >= 0) {
                            text = next.text;
                            text.replace(QStringLiteral(": !"), QStringLiteral(": "));
                            found = true;
                            break;
                        }
                    }
                } else {
                    found = true;
                }
            }
            t += QStringLiteral("  <TR Align=Center BgColor=") + colour + QStringLiteral("><TH ColSpan=") + n +
                 QStringLiteral("><B>") + Cell(text) + QStringLiteral("</B></TH></TR>") + CrLf;
            afterHeading = true;
        }
    }
    if (!found) r.stop = QStringLiteral("No sessions containing \"") + s.bandPart + QLatin1Char('"');
    return r;
}

QString FinishBandTable(const QString &page, const BandTableResult &table, bool warn, QChar sep) {
    QString out = EscapeHtml(page, sep) + QStringLiteral("</Table>") + CrLf;
    // Each warning goes where the first table began, above those before it.
    qsizetype at = out.indexOf(QLatin1String("<Table"));
    if (at < 0) at = out.size();
    const auto insert = [&](const QString &list, const QString &header) {
        if (list.isEmpty()) return;
        QString shown = QStringLiteral("<B>") + HtmlValue(list, sep) + QStringLiteral("</B>");
        shown.replace(QLatin1Char('\r'), QStringLiteral("<Br>"));
        out.insert(at, header + shown);
    };
    const QString warning = QStringLiteral("<P><TT>Warning&nbsp;</TT>");
    if (warn) {
        insert(table.noLinkNotInBook,
               warning + QStringLiteral("The following tunes don't have a link to Vellam's website and are "
                                        "<B>not</B> in the Tolbrook books:<P>"));
        insert(table.noLinkInBook,
               warning + QStringLiteral("The following tunes don't have a link to Vellam's website but are in "
                                        "the Tolbrook books:<P>"));
    }
    insert(table.noRecording, warning + QStringLiteral("No recording specified for the following dances:<P>"));
    return out;
}
