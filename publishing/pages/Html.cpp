#include "publishing/pages/Html.h"

#include "core/startup/Settings.h"
#include "presentation/CardSettings.h"

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
