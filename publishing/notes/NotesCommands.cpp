#include "publishing/notes/NotesCommands.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "programme/text/NoteLinks.h"
#include "publishing/pages/SiteConfig.h"

#include <QStringList>

NoteLinkHit LinkAtCaret(const QString &text, int caret) {
    NoteLinkHit hit;
    const qsizetype reach = caret + 1; // 0-based place of the caret + 2 (1-based)
    for (qsizetype i = std::min<qsizetype>(reach, text.size() - 1); i >= 0; --i) {
        const QStringView at = QStringView(text).mid(i);
        const bool local = at.startsWith(LinkMarker, Qt::CaseInsensitive);
        if (!local && !at.startsWith(QLatin1String("http"), Qt::CaseInsensitive)) continue;
        qsizetype from = i, end;
        if (local) {
            from = i + LinkMarker.size();
            end = MustPos(QStringLiteral("\""), text, from + 1) - 1;
        } else {
            end = from;
            while (end < text.size() && !QStringLiteral("\n\r \"").contains(text[end])) ++end;
        }
        if (end < reach) return hit;
        hit.found = true;
        hit.local = local;
        hit.target = text.mid(from, end - from).trimmed();
        return hit;
    }
    return hit;
}

QString ResolveLocalLink(const QString &link, const QString &dataFolder) {
    QString path = link;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if ((path.size() < 2 || path[1] != QLatin1Char(':')) && !path.startsWith(QLatin1Char('/'))) path = dataFolder + path;
    return path;
}

QString AddLocalLink(const QString &text, const QString &path, const QString &dataFolder) {
    QString shown = path;
    if (!dataFolder.isEmpty() && shown.startsWith(dataFolder)) shown = shown.mid(dataFolder.size());
    QString out = text == QLatin1String("\r\n") ? QString() : text;
    if (!out.isEmpty()) out += QStringLiteral("  ");
    return out + LinkMarker + shown + QLatin1Char('"');
}

QString ClipboardWebLink(const QString &clipboard) {
    QString address = clipboard.trimmed();
    if (address.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) address = QStringLiteral("http://") + address;
    return address.startsWith(QLatin1String("http"), Qt::CaseInsensitive) ? address : QString();
}

QString FollowTarget(const NoteLinkHit &link, const QString &dataFolder) {
    if (link.local || !link.target.startsWith(QLatin1String("http"), Qt::CaseInsensitive))
        return ResolveLocalLink(link.target, dataFolder);
    QString target = link.target;
    const QString www = QStringLiteral("www.") + MakerDomain();
    if (OnMakerSite(target)) target = ReplaceText(target, www, MakerDomain());
    if (PosNoCase(QStringLiteral("abc.aspx"), target) > 0) target.replace(QLatin1Char('&'), QLatin1Char('$'));
    return target;
}

QString CleanPaste(const QString &text) {
    QString out = text;
    out.replace(QChar(0x2014), QLatin1Char('-'));
    out.replace(QChar(0x2013), QLatin1Char('-'));
    out.replace(QChar(0x201C), QLatin1Char('"'));
    out.replace(QChar(0x201D), QLatin1Char('"'));
    out.replace(QChar(0xA0), QLatin1Char(' '));
    out.replace(QChar(0x2019), QLatin1Char('\''));
    return out;
}

bool HasLineBreaks(const QString &text) {
    const qsizetype lf = text.indexOf(QLatin1Char('\n'));
    return lf >= 0 && lf < text.size() - 1;
}

QString ReParagraph(const QString &text) {
    QString t = text;
    t.replace(QChar(0xA0), QLatin1Char(' '));
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList out;
    bool previousEnds = true; // the line before ends a paragraph (or there is none)
    for (QString line : t.split(QLatin1Char('\n'))) {
        if (line == QLatin1String(">") || line == QLatin1String(" ")) line.clear();
        const QString trimmed = line.trimmed();
        const bool ends = trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('.')) || trimmed.startsWith(QLatin1Char('<'));
        if (!ends && !previousEnds && !out.isEmpty() && !out.last().trimmed().isEmpty()) {
            if (line.startsWith(QLatin1String("> "))) line[0] = QLatin1Char(' ');
            qsizetype lead = 0;
            while (lead < line.size() && (line[lead] == QLatin1Char(' ') || line[lead] == QLatin1Char('\t') ||
                                          line[lead] == QChar(0x1A)))
                ++lead;
            out.last() += QLatin1Char(' ') + line.mid(lead);
        } else {
            out.append(line);
        }
        previousEnds = ends;
    }
    QString joined = out.join(QStringLiteral("\r\n"));
    for (const char *mark : {".", "!", "?"}) {
        const QString m = QLatin1String(mark);
        joined.replace(m + QStringLiteral("  "), m + QLatin1Char(' '));
        joined.replace(m + QLatin1Char(' '), m + QStringLiteral("  "));
    }
    return joined;
}

QString AbcCommandLine(const QString &abcFolder, const QString &title, bool play, QChar separator) {
    QString folder = abcFolder;
    if (!folder.endsWith(QLatin1Char('\\')) && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('\\');
    return QStringLiteral("\"/T ") + folder + QLatin1Char('|') + title + (play ? QString(separator) : QString()) +
           QLatin1Char('"');
}

bool InTuneIndex(const QString &index, const QString &title) {
    const QString text = QLatin1Char('\n') + index;
    const QString line = QStringLiteral("\nT:") + title;
    for (qsizetype at = text.indexOf(line); at >= 0; at = text.indexOf(line, at + 1)) {
        const qsizetype end = at + line.size();
        if (end == text.size() || text[end] == QLatin1Char('\r') || text[end] == QLatin1Char('\n')) return true;
    }
    return false;
}

QString TuneLinkTitle(const QString &notes) {
    const QString key = QStringLiteral("abc.aspx?T=");
    const qsizetype at = PosNoCase(key, notes) - 1;
    if (at < 0) return QString();
    qsizetype end = at + key.size();
    while (end < notes.size() && !QStringLiteral("\" \r\n").contains(notes[end])) ++end;
    QString title = notes.mid(at + key.size(), end - at - key.size());
    title.replace(QLatin1Char('_'), QLatin1Char(' '));
    title.replace(QStringLiteral("%26"), QStringLiteral("&"));
    return title;
}

MaintainerLink MaintainerWebLink(const QStringList &collections, const QString &title, const QString &style,
                                 const QString &abcIndex, const QString &site) {
    QStringList tries;
    if (style.contains(QLatin1String("Break"))) tries << QStringLiteral("Break: ") + title;
    tries << title;
    for (const QString &name : tries) {
        const QString key = QLatin1Char('|') + name + QStringLiteral("\\par .DT");
        for (const QString &text : collections) {
            const qsizetype hit = text.indexOf(key);
            if (hit < 0) continue;
            const qsizetype we = text.lastIndexOf(QLatin1String(" .WE"), hit);
            if (we < 0) continue;
            qsizetype end = we + 4;
            while (end < text.size() && !QStringLiteral("\r\n\\|").contains(text[end])) ++end;
            const QString page = text.mid(we + 4, end - we - 4).trimmed();
            // The anchor: the hit's text up to the next "|", line end or
            // control word.
            end = hit + 1;
            while (end < text.size() && !QStringLiteral("\r\n\\|").contains(text[end])) ++end;
            QString anchor = text.mid(hit + 1, end - hit - 1).trimmed();
            anchor.replace(QLatin1Char(' '), QStringLiteral("%20"));
            if (!page.isEmpty()) return {site + QLatin1Char('/') + page + QStringLiteral(".htm#") + anchor, false};
        }
    }
    QString key = title;
    key.replace(QLatin1Char(' '), QLatin1Char('_'));
    key.replace(QLatin1Char('&'), QStringLiteral("%26"));
    return {site + QStringLiteral("/abc.aspx?T=") + key, !InTuneIndex(abcIndex, title)};
}

LocalSitePage LocalSitePageOf(const QString &address, const QString &domain, const QString &siteFolder) {
    const qsizetype at = PosNoCase(domain, address) - 1;
    if (domain.isEmpty() || at < 0) return {};
    QString rest = address.mid(at + domain.size());
    if (!rest.startsWith(QLatin1Char('/'))) return {};
    const QString anchor = rest.section(QLatin1Char('#'), 1);
    rest = rest.section(QLatin1Char('#'), 0, 0).section(QLatin1Char('?'), 0, 0).mid(1);
    if (!rest.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) || rest.contains(QLatin1String(".."))) return {};
    return {siteFolder + rest, anchor};
}

namespace {

// The index just past the ">" of the first tag of that name from "from", -1 for none.
qsizetype AfterTag(const QString &upper, const QString &name, qsizetype from, qsizetype *tagStart = nullptr) {
    for (qsizetype at = upper.indexOf(QLatin1Char('<') + name, from); at >= 0;
         at = upper.indexOf(QLatin1Char('<') + name, at + 1)) {
        const qsizetype after = at + 1 + name.size();
        if (after < upper.size() && upper[after].isLetterOrNumber()) continue;
        const qsizetype close = upper.indexOf(QLatin1Char('>'), after);
        if (close < 0) return -1;
        if (tagStart) *tagStart = at;
        return close + 1;
    }
    return -1;
}

// The start of the next heading or rule from "from"; the end when none.
qsizetype NextHeadingOrRule(const QString &upper, qsizetype from, qsizetype limit) {
    qsizetype best = limit;
    for (const char *tag : {"<H1", "<H2", "<H3", "<H4", "<H5", "<H6", "<HR"}) {
        for (qsizetype at = upper.indexOf(QLatin1String(tag), from); at >= 0 && at < best; at = upper.indexOf(QLatin1String(tag), at + 1)) {
            const qsizetype after = at + 3;
            if (after < upper.size() && upper[after].isLetterOrNumber()) continue;
            best = at;
            break;
        }
    }
    return best;
}

} // namespace

QString LargePrintPage(const QString &page, const QString &anchor, const QString &baseHref) {
    const QString upper = FoldUpper(page);
    qsizetype from = AfterTag(upper, QStringLiteral("MAIN"), 0);
    qsizetype to = from < 0 ? -1 : upper.indexOf(QLatin1String("</MAIN"), from);
    if (from < 0 || to < 0) {
        from = AfterTag(upper, QStringLiteral("BODY"), 0);
        if (from < 0) from = 0;
        to = upper.indexOf(QLatin1String("</BODY"), from);
        if (to < 0) to = page.size();
    }
    QString part;
    if (anchor.isEmpty()) {
        part = page.mid(from, to - from);
    } else {
        // The element with that id (or name), back to the heading that holds it.
        const QString want = FoldUpper(anchor);
        qsizetype hit = -1;
        for (const QString &form : {QStringLiteral("ID=\"") + want + QLatin1Char('"'), QStringLiteral("NAME=\"") + want + QLatin1Char('"'),
                                    QStringLiteral("ID=") + want + QLatin1Char('>'), QStringLiteral("NAME=") + want + QLatin1Char('>'),
                                    QStringLiteral("ID=") + want + QLatin1Char(' '), QStringLiteral("NAME=") + want + QLatin1Char(' ')}) {
            hit = upper.indexOf(form);
            if (hit >= 0) break;
        }
        if (hit < 0) return QString();
        const qsizetype start = upper.lastIndexOf(QLatin1Char('<'), hit);
        // An anchor inside a heading starts the part at that heading.
        qsizetype heading = start;
        for (const char *tag : {"<H1", "<H2", "<H3", "<H4", "<H5", "<H6"}) {
            const qsizetype h = upper.lastIndexOf(QLatin1String(tag), start);
            const qsizetype close = h < 0 ? -1 : upper.indexOf(QLatin1String("</H"), h);
            if (h >= 0 && close >= start) heading = h;
        }
        const bool isHeading = upper.mid(heading, 2) == QLatin1String("<H") && heading + 2 < upper.size() &&
                               upper[heading + 2].isDigit();
        const qsizetype bodyFrom = isHeading ? upper.indexOf(QLatin1String("</H"), hit) + 1 : upper.indexOf(QLatin1Char('>'), hit) + 1;
        const qsizetype end = NextHeadingOrRule(upper, bodyFrom, qMax(to, bodyFrom));
        part = page.mid(heading, end - heading);
    }
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("<!DOCTYPE html>") + crlf + QStringLiteral("<html><head><meta charset=\"utf-8\"><base href=\"") + baseHref +
           QStringLiteral("\"><title>Technique</title>") + crlf +
           QStringLiteral("<style>body, td, th, p, li {font-size: 24pt}</style></head>") + crlf + QStringLiteral("<body>") +
           part + crlf + QStringLiteral("</body></html>") + crlf;
}
