#include "programme/text/NoteLinks.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/Messages.h"

#include <QFile>

namespace {

// The earlier of two 1-based positions, 0 standing for "none".
qsizetype Earlier(qsizetype a, qsizetype b) {
    if (a == 0) return b;
    if (b == 0) return a;
    return std::min(a, b);
}

bool FollowsMarker(const QString &text, qsizetype webPos) {
    const qsizetype at = webPos - LinkMarker.size(); // 1-based start of a marker before it
    return at >= 1 && SameText(text.mid(at - 1, LinkMarker.size()), LinkMarker);
}

// The marker link at p: its address, and how many characters it takes up to
// and including its closing quote (to the end when it has none).
void MarkerLink(const QString &text, qsizetype p, QString *link, qsizetype *length) {
    const qsizetype from = p - 1 + LinkMarker.size();
    const qsizetype close = text.indexOf(QLatin1Char('"'), from);
    if (close < 0) {
        *link = text.mid(from);
        *length = text.size() - (p - 1);
    } else {
        *link = text.mid(from, close - from);
        *length = close + 1 - (p - 1);
    }
}

} // namespace

LinkFound ExtractLink(const QString &text, bool remove, int start) {
    LinkFound r;
    r.repaired = text;
    r.repaired.replace(QStringLiteral("\\\""), QStringLiteral("\\&quot;"));
    r.text = r.repaired;
    const QString &t = r.repaired;
    if (start < 1) start = 1;
    if (start > t.size()) return r;

    const qsizetype p1 = PosNoCase(LinkMarker, t, start);
    qsizetype p2 = Earlier(PosNoCase(QStringLiteral("http:"), t, start),
                           PosNoCase(QStringLiteral("https:"), t, start));

    if (p2 == 0 && remove) {
        // Without a marker there is nothing to cut.
        if (p1 == 0) return r;
        QString link;
        qsizetype length = 0;
        MarkerLink(t, p1, &link, &length);
        r.text.remove(p1 - 1, length);
        r.position = int(p1);
        r.length = int(length);
        return r;
    }

    if (p2 > 0 && FollowsMarker(t, p2)) p2 = 0;
    const bool useWeb = p2 > 0 && (remove || p1 == 0 || p2 < p1);

    if (useWeb) {
        qsizetype end = p2 - 1;
        while (end < t.size()) {
            const QChar c = t[end];
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char(' ') || c == QLatin1Char('<'))
                break;
            ++end;
        }
        r.link = t.mid(p2 - 1, end - (p2 - 1));
        if (r.link.endsWith(QLatin1Char('"')))
            r.warning = r.link + QStringLiteral("\rSurely this link shouldn't end with a double quote.");
        const qsizetype length = std::min<qsizetype>(r.link.size() + 1, t.size() - (p2 - 1));
        r.text.remove(p2 - 1, length);
        r.position = int(p2);
        r.length = int(length);
    } else if (p1 > 0) {
        qsizetype length = 0;
        MarkerLink(t, p1, &r.link, &length);
        r.text.remove(p1 - 1, length);
        r.position = int(p1);
        r.length = int(length);
    }
    return r;
}

bool DeleteLinkedFile(const QString &link) {
    QString path = link;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.isEmpty()) return false;
    if (!path.startsWith(QLatin1Char('/')) && !path.contains(QLatin1Char(':'))) path = DataFolder + path;
    return QFile::remove(path);
}

QString CheckNoteLinks(const QString &note) {
    QString text = note;
    int start = 1;
    for (;;) {
        const LinkFound found = ExtractLink(text, false, start);
        if (found.position == 0) break;
        if (!found.warning.isEmpty()) ShowMsg(found.warning);
        bool drop;
        if (!FoldUpper(found.link).startsWith(QStringLiteral("HTTP"))) {
            drop = YesNo(found.link + QStringLiteral("\rRemove link and delete file?"));
            if (drop && !DeleteLinkedFile(found.link)) ShowMsg(QStringLiteral("Could not delete ") + found.link);
        } else {
            drop = YesNo(found.link + QStringLiteral("\rRemove link?"));
        }
        if (drop) {
            text = found.text;
            start = found.position;
        } else {
            // Kept: the search goes on after it, so its address is not offered again.
            text = found.repaired;
            start = found.position + found.length;
        }
    }
    qsizetype from = 0, to = text.size();
    while (from < to && text[from].unicode() <= ' ') ++from;
    while (to > from && text[to - 1].unicode() <= ' ') --to;
    return text.mid(from, to - from);
}
