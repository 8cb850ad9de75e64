#include "publishing/pages/Html.h"

#include "core/startup/Settings.h"
#include "presentation/CardSettings.h"

#include <QRegularExpression>

QString PageText;

QString EscapeHtml(const QString &s) { return EscapeHtml(s, ProgrammeSeparator); }
QString HtmlValue(const QString &value) { return HtmlValue(value, ProgrammeSeparator); }

QString PageHead(const QString &title, const QString &size, const QString &font) {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("<!DOCTYPE HTML><HTML><Head><Title>") + title + QStringLiteral("</Title>") + crlf +
           QStringLiteral("<Meta charset=\"utf-8\">") + crlf +
           QStringLiteral("<!-- If you can read this, your email program does not understand HTML format. -->") +
           crlf + QStringLiteral("<Style>") + crlf + QStringLiteral("    TD   {Font-Size: ") + size +
           QStringLiteral("pt; Font-Family: ") + font + QStringLiteral("}") + crlf +
           QStringLiteral("    TT {Font-size: 18pt; Font-weight: Bold; Font-family: Verdana; Color: Red; }") + crlf +
           QStringLiteral("@media print {.NoPrint {Display: None;}}</Style>") + crlf;
}

void WritePageHead(const QString &title) {
    QString size = QStringLiteral("12"), font = QStringLiteral("Arial, Sans-Serif");
    if (IniFile) {
        size = IniFile->ReadString(QStringLiteral("Print"), QStringLiteral("Size"), size);
        font = IniFile->ReadString(QStringLiteral("Print"), QStringLiteral("Font"), font);
    }
    PageText = PageHead(title, size, font);
}

void OpenFontTag(QString &page, FontState &state, bool useCss, const QString &primaryFont, int primarySize) {
    const bool primary = state.face == primaryFont && state.size == 2 * primarySize;
    if (useCss && !state.open && primary) return;
    if (state.open) page += QStringLiteral("</Font>");
    state.open = true;
    if (useCss && primary) {
        state.open = false;
        return;
    }
    page += QStringLiteral("<Font Face=\"") + state.face + QStringLiteral(", Sans-serif\" Size=") +
            QString::number((state.size - 11) / 4) + QLatin1Char('>');
}

void OpenFontTag(FontState &state) {
    OpenFontTag(PageText, state, OptionChecked(QStringLiteral("UseCSS")), CardsDFont, CardsDSize);
}

QString BalanceInlineTags(const QString &html) {
    static const QRegularExpression tag(QStringLiteral("<(/?)(b|i|u|font|span|td|tr|table)\\b[^<>]*>"),
                                        QRegularExpression::CaseInsensitiveOption);
    struct Open {
        QString name; // lower case
        QString tag;  // the start tag as written
    };
    const auto endTag = [](const QString &name) {
        if (name == QLatin1String("font")) return QStringLiteral("</Font>");
        if (name == QLatin1String("span")) return QStringLiteral("</Span>");
        return QStringLiteral("</") + name.toUpper() + QLatin1Char('>');
    };
    // open: written and not yet closed, outermost first. pending: closed
    // only for the mark-up's sake (an outer tag closed, a cell ended); they
    // are written again before the next text, or dropped when the text
    // closes them first.
    QList<Open> open, pending;
    QString out;
    out.reserve(html.size() + 64);
    const auto closeFrom = [&](qsizetype k) {
        for (qsizetype j = open.size() - 1; j >= k; --j) out += endTag(open[j].name);
    };
    const auto text = [&](const QString &segment) {
        if (!pending.isEmpty() && !segment.trimmed().isEmpty()) {
            for (const Open &o : pending) out += o.tag;
            open += pending;
            pending.clear();
        }
        out += segment;
    };
    qsizetype from = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        text(html.mid(from, m.capturedStart() - from));
        from = m.capturedEnd();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        if (name == QLatin1String("td") || name == QLatin1String("tr") || name == QLatin1String("table")) {
            if (closing) {
                closeFrom(0);
                pending = open + pending;
                open.clear();
            }
            out += m.captured(0);
        } else if (!closing) {
            open.append({name, m.captured(0)});
            out += m.captured(0);
        } else {
            qsizetype k = open.size() - 1;
            while (k >= 0 && open[k].name != name) --k;
            if (k >= 0) {
                closeFrom(k);
                pending = open.mid(k + 1) + pending;
                open.resize(k);
            } else {
                for (qsizetype j = pending.size() - 1; j >= 0; --j)
                    if (pending[j].name == name) {
                        pending.removeAt(j);
                        break;
                    }
            }
        }
    }
    text(html.mid(from));
    closeFrom(0);
    return out;
}

QString RtfColourHex(const QString &colourTable, const QString &component) {
    const QString name = QLatin1Char('\\') + component;
    const qsizetype at = colourTable.indexOf(name);
    if (at < 0) return QStringLiteral("00");
    const qsizetype from = at + name.size();
    qsizetype to = from;
    while (to < colourTable.size() && colourTable[to] != QLatin1Char(';') && colourTable[to] != QLatin1Char('\\')) ++to;
    const int value = colourTable.mid(from, to - from).trimmed().toInt();
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}
