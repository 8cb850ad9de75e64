#include "base/HtmlText.h"

#include <QSaveFile>

#include <stdexcept>

namespace {

bool IsAsciiAlnum(QChar c) {
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

// A "&" at i that already starts a reference: "&#", or up to 99 letters and
// digits closed by ";".
bool StartsReference(const QString &s, qsizetype i) {
    if (i + 1 >= s.size()) return false;
    if (s[i + 1] == QLatin1Char('#')) return true;
    qsizetype j = i + 1;
    while (j < s.size() && j - i - 1 < 99 && IsAsciiAlnum(s[j])) ++j;
    return j < s.size() && s[j] == QLatin1Char(';');
}

} // namespace

QString EscapeHtml(const QString &s, QChar separator) {
    QString out;
    out.reserve(s.size() + s.size() / 8);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == separator) {
            out += QStringLiteral("&bull;");
        } else if (c == QChar(0xBB)) {
            out += QStringLiteral("&raquo;");
        } else if (c == QLatin1Char('&')) {
            out += StartsReference(s, i) ? QStringLiteral("&") : QStringLiteral("&amp;");
        } else if (c.unicode() < 128) {
            out += c;
        } else {
            char32_t code = c.unicode();
            if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
                code = QChar::surrogateToUcs4(c, s[i + 1]);
                ++i;
            }
            out += QStringLiteral("&#") + QString::number(quint32(code)) + QLatin1Char(';');
        }
    }
    return out;
}

QString HtmlValue(const QString &value, QChar separator) {
    QString out;
    out.reserve(value.size() + value.size() / 8);
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '&': out += QStringLiteral("&amp;"); break;
        case '<': out += QStringLiteral("&lt;"); break;
        case '>': out += QStringLiteral("&gt;"); break;
        case '"': out += QStringLiteral("&quot;"); break;
        default: out += c;
        }
    }
    return separator.isNull() ? out : EscapeHtml(out, separator);
}

QString HtmlHref(const QString &address) {
    const QString folded = address.toLower();
    for (const char *scheme : {"http://", "https://"})
        if (folded.startsWith(QLatin1String(scheme))) return EscapeHtml(HtmlValue(address, QChar()), QChar());
    if (folded.startsWith(QLatin1String("www.")))
        return EscapeHtml(HtmlValue(QStringLiteral("http://") + address, QChar()), QChar());
    if (address.isEmpty() || address.contains(QLatin1Char(':'))) return QString();
    return EscapeHtml(HtmlValue(QString(address).replace(QLatin1Char('\\'), QLatin1Char('/')), QChar()), QChar());
}

void SavePageFile(const QString &path, const QString &page) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(page.toUtf8()) < 0 || !file.commit())
        throw std::runtime_error(
            (QStringLiteral("Cannot write ") + path + QStringLiteral(": ") + file.errorString()).toStdString());
}
