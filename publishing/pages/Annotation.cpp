#include "publishing/pages/Annotation.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "publishing/pages/Html.h"

#include <QFile>
#include <QRegularExpression>

namespace {

const QChar OpenQuote(0x201C), CloseQuote(0x201D);

// Character references a note may hold, as the characters themselves.
QString DecodeReferences(const QString &text) {
    static const QRegularExpression numeric(QStringLiteral("&#(\\d{1,7});"));
    QString out;
    qsizetype last = 0;
    for (auto it = numeric.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        const uint code = m.captured(1).toUInt();
        // The old pages' dashes.
        if (code == 150 || code == 151) out += QLatin1Char('-');
        else if (code > 0 && code < 0x110000) out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        last = m.capturedEnd();
    }
    return out + text.mid(last);
}

} // namespace

PageNote ReadAnnotation(const QString &page) {
    PageNote note;
    const qsizetype colour = page.indexOf(AnnotationColour);
    if (colour < 0) return note;
    const QString upper = UpperCaseDE(page);
    const qsizetype td = upper.indexOf(QLatin1String("<TD>"), colour);
    if (td < 0) return note;
    note.found = true;
    note.from = td + 4;
    note.to = upper.indexOf(QLatin1String("</TD>"), note.from);
    if (note.to < 0) note.to = page.size();
    QString text = page.mid(note.from, note.to - note.from);
    text = MultiReplace(text, QStringLiteral("&ldquo;|&rdquo;|&quot;|&mdash;|&ndash;|<Br>|<br />|&nbsp;|&lt;|&bull;|&raquo;"),
                        QStringLiteral("\"|\"|\"|-|-|\r\n|\r\n| |<|\u00b7|\u00bb"));
    text = DecodeReferences(text);
    text = ReplaceText(text, QStringLiteral("&amp;"), QStringLiteral("&"));
    note.text = text.trimmed();
    return note;
}

QString AnnotationHtml(const QString &typed, bool *quotesOpen) {
    QString text = typed;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    // Double quotes in pairs, opening then closing; the quotes of a tag the
    // user wrote (a link) stay as they are.
    bool open = false, inTag = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('<') && i + 1 < text.size() && (text[i + 1].isLetter() || text[i + 1] == QLatin1Char('/')))
            inTag = true;
        else if (c == QLatin1Char('>'))
            inTag = false;
        else if (c == QLatin1Char('"') && !inTag) {
            text[i] = open ? CloseQuote : OpenQuote;
            open = !open;
        }
    }
    if (quotesOpen) *quotesOpen = open;
    text.replace(OpenQuote, QStringLiteral("&ldquo;"));
    text.replace(CloseQuote, QStringLiteral("&rdquo;"));
    text.replace(QChar(0x2019), QLatin1Char('\''));
    text.replace(QChar(0xA0), QStringLiteral("&nbsp;"));
    text.replace(QChar(0x2014), QStringLiteral(" - "));
    text.replace(QStringLiteral(" - "), QStringLiteral(" &ndash; "));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("<br />"));
    text.replace(QStringLiteral("  "), QStringLiteral("&nbsp; "));
    text = EscapeHtml(text);
    // An e-mail address in angle brackets is text, not a tag.
    for (qsizetype at = text.indexOf(QLatin1Char('<')); at >= 0; at = text.indexOf(QLatin1Char('<'), at + 1)) {
        const qsizetype close = text.indexOf(QLatin1Char('>'), at);
        const QString tag = text.mid(at, close < 0 ? -1 : close - at + 1);
        if (!FoldUpper(tag).startsWith(QLatin1String("<A ")) && tag.contains(QLatin1Char('@')))
            text.replace(at, 1, QStringLiteral("&lt;"));
    }
    return text;
}

qsizetype FindTagEnd(const QString &tag, const QString &text) {
    const qsizetype at = text.indexOf(tag);
    if (at < 0) return 1;
    const qsizetype close = text.indexOf(QLatin1Char('>'), at);
    if (close < 0 || close + 1 >= text.size()) return 1;
    return close + 2;
}

QString Annotate(const QString &page, const QString &html) {
    QString out = page;
    const PageNote old = ReadAnnotation(page);
    if (old.found) {
        out.replace(old.from, old.to - old.from, html);
        return out;
    }
    const QString box = QStringLiteral("<table align=\"center\" border=\"1\" bordercolor=\"#8000C0\" cellpadding=\"4\" "
                                       "cellspacing=\"0\" bgcolor=\"#") +
                        AnnotationColour + QStringLiteral("\">\n<tr><td>") + html +
                        QStringLiteral("</td></tr></table>\n<p />");
    out.insert(FindTagEnd(QStringLiteral("<BODY"), UpperCaseDE(page)) - 1, box);
    return out;
}

bool AnnotatePageFile(const QString &path, const std::function<std::optional<QString>(const QString &)> &edit) {
    if (!QFile::exists(path)) AbortMsg(QStringLiteral("No web page to annotate."));
    TextEncoding encoding = TextEncoding::Utf8;
    const QString page = ReadTextFile(path, &encoding);
    const std::optional<QString> text = edit(ReadAnnotation(page).text);
    if (!text) return false;
    bool open = false;
    const QString html = AnnotationHtml(*text, &open);
    if (open) ShowMsg(QStringLiteral("Quotes not closed."));
    WriteBytesFile(path, EncodeTextBytesAs(Annotate(page, html), encoding));
    return true;
}
