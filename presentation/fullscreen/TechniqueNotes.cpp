#include "presentation/fullscreen/TechniqueNotes.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/HtmlText.h"
#include "core/startup/Settings.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>

namespace {

QString TagsOut(const QString &html) {
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QString text = html;
    text.remove(tags);
    text.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text.replace(blanks, QStringLiteral(" ")).trimmed();
}

} // namespace

QList<TechniqueEntry> TechniqueIndex(const QString &siteFolder) {
    QList<TechniqueEntry> index;
    if (siteFolder.isEmpty() || !QDir(siteFolder).exists()) return index;
    QStringList pages;
    QDirIterator it(siteFolder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (file.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive)) pages.append(file);
    }
    pages.sort();
    // A heading, or a bullet item that begins in bold, starts a section.
    static const QRegularExpression start(
        QStringLiteral("<h[1-6][^>]*>(.*?)</h[1-6]>|<li[^>]*>\\s*<(?:b|strong)>(.*?)</(?:b|strong)>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression bodyEnd(QStringLiteral("</body>"), QRegularExpression::CaseInsensitiveOption);
    for (const QString &file : pages) {
        QString html;
        try {
            html = ReadTextFile(file);
        } catch (const std::exception &) {
            continue; // an unreadable page adds nothing
        }
        const QRegularExpressionMatch end = bodyEnd.match(html);
        const qsizetype stop = end.hasMatch() ? end.capturedStart() : html.size();
        const QString relative = QDir(siteFolder).relativeFilePath(file);
        QList<QRegularExpressionMatch> starts;
        for (auto m = start.globalMatch(html); m.hasNext();) starts.append(m.next());
        for (int i = 0; i < starts.size(); ++i) {
            const qsizetype from = starts[i].capturedStart();
            const qsizetype to = i + 1 < starts.size() ? starts[i + 1].capturedStart() : stop;
            const QString heading =
                TagsOut(starts[i].captured(1).isEmpty() ? starts[i].captured(2) : starts[i].captured(1));
            if (!heading.isEmpty() && to > from) index.append({heading, relative, html.mid(from, to - from)});
        }
    }
    return index;
}

QList<TechniqueEntry> TechniqueFor(const QList<TechniqueEntry> &index, const QString &title) {
    QList<TechniqueEntry> matches;
    if (title.trimmed().isEmpty()) return matches;
    for (const TechniqueEntry &e : index)
        if (PosNoCase(title, e.heading) > 0) matches.append(e);
    return matches;
}

QString TechniquePage(const QString &title, const QList<TechniqueEntry> &matches) {
    QString page = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>") + EscapeHtml(title, ProgrammeSeparator) +
                   QStringLiteral("</title></head>\n<body style=\"font-size: 32pt\">\n");
    for (const TechniqueEntry &e : matches)
        page += QStringLiteral("<div>") + e.html + QStringLiteral("</div>\n<p style=\"font-size: 16pt\">") +
                EscapeHtml(e.page, ProgrammeSeparator) + QStringLiteral("</p>\n");
    return page + QStringLiteral("</body></html>\n");
}

QString TechniqueIndexText(const QList<TechniqueEntry> &index) {
    QString text;
    for (const TechniqueEntry &e : index) text += e.page + QStringLiteral(": ") + e.heading + QStringLiteral("\r\n");
    return text;
}
