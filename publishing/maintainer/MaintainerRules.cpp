#include "publishing/maintainer/MaintainerRules.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"

#include <QRegularExpression>

QString CollectionCode(const QString &collection) { return collection.left(4); }

bool MentionsInterpretation(const QString &text, const QString &name) {
    if (name.isEmpty()) return false;
    for (qsizetype at = text.indexOf(name); at >= 0; at = text.indexOf(name, at + 1)) {
        const qsizetype from = std::max<qsizetype>(0, at - 40);
        if (text.mid(from, at - from).contains(QLatin1String("nterp"))) return true;
    }
    return false;
}

bool CreditsMusic(const QString &text, const QString &name) {
    if (name.isEmpty()) return false;
    for (const QString &middle : {QString(), QStringLiteral("\\b "), QStringLiteral("{\\b "), QStringLiteral("\\b0 ")})
        if (text.contains(QStringLiteral("Music: ") + middle + name)) return true;
    return false;
}

bool IsMaintainersDance(const DanceFacts &d, const MaintainerConfig &c) {
    if (PosNoCase(c.Name, d.Author) > 0) return true;
    const QString code = CollectionCode(d.Collection);
    if (SameText(code, c.OwnCode) || SameText(code, c.InterpretationCode)) return true;
    for (const QString *t : {&d.Instructions, &d.Footer})
        if (CreditsMusic(*t, c.Name) || MentionsInterpretation(*t, c.Name)) return true;
    return false;
}

bool IsInterpretation(const DanceFacts &d, const MaintainerConfig &c) {
    return SameText(CollectionCode(d.Collection), c.InterpretationCode) ||
           MentionsInterpretation(d.Instructions, c.Name) || MentionsInterpretation(d.Footer, c.Name);
}

bool LinkedOnSite(const QString &notes, const QString &domain) {
    if (domain.isEmpty()) return false;
    for (qsizetype at = PosNoCase(domain, notes); at > 0; at = PosNoCase(domain, notes, at + 1)) {
        qsizetype end = at - 1;
        while (end < notes.size() && !QStringLiteral(" \"|<>\r\n\t").contains(notes[end])) ++end;
        const QString link = notes.mid(at - 1, end - at + 1);
        if (PosNoCase(QStringLiteral("abc.aspx"), link) == 0 && PosNoCase(QStringLiteral("/images/"), link) == 0)
            return true;
    }
    return false;
}

QSet<QString> TuneIndexTitles(const QString &indexText) {
    QSet<QString> titles;
    for (QString line : indexText.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.startsWith(QLatin1String("T:"))) titles.insert(FoldUpper(line.mid(2).trimmed()));
    }
    return titles;
}

QString TuneNotationTitle(const QString &title) {
    return MultiReplace(title, QStringLiteral("ö|ü|ä|è|é|ç"),
                        QStringLiteral("\\\"o|\\\"u|\\\"a|\\`e|\\'e|\\cc"), true);
}

QString TuneLinkName(const QString &notes, bool *hasLink) {
    const QString marker = QStringLiteral("abc.aspx?T=");
    const qsizetype at = PosNoCase(marker, notes);
    *hasLink = at > 0;
    if (at == 0) return QString();
    qsizetype end = at - 1 + marker.size();
    const qsizetype from = end;
    while (end < notes.size() && !QStringLiteral(" \"|<>").contains(notes[end])) ++end;
    QString name = notes.mid(from, end - from);
    name.replace(QLatin1Char('_'), QLatin1Char(' '));
    name.replace(QLatin1String("%26"), QLatin1String("&"));
    return name;
}

QString NormaliseRtf(const QString &rtf) {
    if (!rtf.contains(QLatin1String("\\fs")) && !rtf.contains(QLatin1String("\\lang"))) return rtf;
    static const QRegularExpression words(QStringLiteral("\\\\(fs|lang)-?\\d+( ?)"));
    static const QRegularExpression controlWordAtEnd(QStringLiteral("\\\\[A-Za-z]+-?\\d*$"));
    QString out;
    qsizetype from = 0;
    for (auto it = words.globalMatch(rtf); it.hasNext();) {
        const auto m = it.next();
        out += rtf.mid(from, m.capturedStart() - from);
        // A space that ended the removed word still ends the word before it.
        if (!m.captured(2).isEmpty() && controlWordAtEnd.match(out).hasMatch()) out += QLatin1Char(' ');
        from = m.capturedEnd();
    }
    return out + rtf.mid(from);
}

QString RtfBareText(const QString &rtf) {
    QString out;
    out.reserve(rtf.size());
    const qsizetype n = rtf.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = rtf[i];
        if (ch == QLatin1Char('{') || ch == QLatin1Char('}')) continue;
        if (ch != QLatin1Char('\\')) {
            out += ch;
            continue;
        }
        if (i + 1 < n && rtf[i + 1].isLetter()) {
            ++i;
            while (i + 1 < n && rtf[i + 1].isLetter()) ++i;
            if (i + 1 < n && rtf[i + 1] == QLatin1Char('-')) ++i;
            while (i + 1 < n && rtf[i + 1].isDigit()) ++i;
            if (i + 1 < n && rtf[i + 1] == QLatin1Char(' ')) ++i;
            out += QLatin1Char(' ');
        } else if (i + 1 < n && rtf[i + 1] == QLatin1Char('\'')) {
            i += 3; // a character by its code: no digit of the text
        } else {
            ++i;
        }
    }
    return out;
}

int EarliestYear(const QString &text) {
    static const QRegularExpression year(QStringLiteral("(?<!\\d)(1\\d{3}|20\\d{2})(?!\\d)"));
    int earliest = 2000;
    bool found = false;
    for (auto it = year.globalMatch(text); it.hasNext();) {
        const int y = it.next().captured(1).toInt();
        if (!found || y < earliest) earliest = y;
        found = true;
    }
    return earliest;
}

bool MayPublishInstructions(const DanceFacts &d, const std::function<QString()> &plainText,
                            const QSet<QString> &keepTitles, const MaintainerConfig &c) {
    if (keepTitles.contains(FoldUpper(d.Title.trimmed()))) return true;
    if (SameText(d.Author, QStringLiteral("Traditional"))) return true;
    for (const QString &a : c.KeepAuthors)
        if (SameText(d.Author, a)) return true;
    if (SameText(d.Format, QStringLiteral("Technique"))) return true;
    const QString code = CollectionCode(d.Collection);
    if (SameText(code, c.OwnCode) || SameText(code, c.InterpretationCode)) return true;
    return EarliestYear(plainText()) < 1950;
}

QString CDPageTitle(const QString &page) {
    const qsizetype comments = PosNoCase(QStringLiteral(">Comments<"), page);
    if (comments == 0) return QString();
    const qsizetype size = PosNoCase(QStringLiteral("size=+1>"), page, comments);
    if (size == 0) return QString();
    const qsizetype from = size - 1 + 8;
    const qsizetype end = page.indexOf(QLatin1Char('<'), from);
    if (!page.mid(from, (end < 0 ? page.size() : end) - from).contains(QLatin1String("53"))) return QString();
    const qsizetype t = PosNoCase(QStringLiteral("<title>"), page);
    const qsizetype te = PosNoCase(QStringLiteral("</title>"), page);
    if (t == 0 || te < t) return QString();
    return page.mid(t - 1 + 7, te - t - 7).trimmed();
}
