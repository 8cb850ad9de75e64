#include "publishing/exchange/Csv.h"

#include "base/Cp1252.h"

CsvReader CsvReader::fromBytes(const QByteArray &bytes) { return CsvReader(DecodeTextBytes(bytes)); }

CsvReader::CsvReader(const QString &text) : m_text(text) {}

bool CsvReader::nextLine() {
    if (m_next >= m_text.size()) return false;
    qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_next);
    qsizetype after = end < 0 ? m_text.size() : end + 1;
    if (end < 0) end = m_text.size();
    qsizetype stop = end;
    if (stop > m_next && m_text.at(stop - 1) == QLatin1Char('\r')) --stop;
    m_current = QStringView(m_text).mid(m_next, stop - m_next);
    m_break = QStringView(m_text).mid(stop, after - stop);
    m_next = after;
    ++m_lineCount;
    return true;
}

bool CsvReader::skipRecord() {
    QStringList ignored;
    return readRecord(&ignored, false);
}

bool CsvReader::readRecord(QStringList *fields, bool skipBlanks) {
    fields->clear();
    m_endedInQuotes = false;
    if (!nextLine()) return false;
    m_line = m_lineCount;
    m_blank = m_current.trimmed().isEmpty();
    qsizetype pos = 0;
    for (;;) {
        // One field, from pos.
        QString field;
        bool inQuotes = false;
        for (;;) {
            if (pos >= m_current.size()) {
                if (!inQuotes) break;
                // A quoted stretch carries on over the line break.
                const QString lineBreak = m_break.isEmpty() ? QStringLiteral("\r\n") : m_break.toString();
                if (!nextLine()) {
                    m_endedInQuotes = true;
                    break;
                }
                field += lineBreak;
                m_blank = false;
                pos = 0;
                continue;
            }
            // A run of ordinary characters goes in whole.
            const QChar *chars = m_current.constData();
            qsizetype run = pos;
            while (run < m_current.size() && chars[run] != QLatin1Char('"') &&
                   (inQuotes || chars[run] != QLatin1Char(',')))
                ++run;
            if (run > pos) {
                field.append(chars + pos, run - pos);
                pos = run;
                continue;
            }
            const QChar c = m_current.at(pos);
            if (c == QLatin1Char(',') && !inQuotes) break;
            if (c == QLatin1Char('"')) {
                if (inQuotes && pos + 1 < m_current.size() && m_current.at(pos + 1) == QLatin1Char('"')) {
                    field += c;
                    ++pos;
                } else {
                    inQuotes = !inQuotes;
                }
            } else {
                field += c;
            }
            ++pos;
        }
        fields->append(field);
        // Step over the comma; one at the end of the line starts no field.
        if (pos >= m_current.size() || m_endedInQuotes) break;
        ++pos;
        if (pos >= m_current.size()) break;
        if (skipBlanks)
            while (pos < m_current.size() && m_current.at(pos) == QLatin1Char(' ')) ++pos;
    }
    return true;
}

QString CsvLine(const QStringList &values, const QList<bool> &delimited, QChar delimiter, QChar separator) {
    QString line;
    const QString doubled = QString(2, delimiter);
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0) {
            line += separator;
            line += QLatin1Char(' ');
        }
        if (delimited.value(i, true)) {
            QString v = values.at(i);
            v.replace(delimiter, doubled);
            line += delimiter + v + delimiter;
        } else {
            line += values.at(i);
        }
    }
    return line + QStringLiteral("\r\n");
}

QChar CsvBoxChar(const QString &box, QChar fallback) { return box.isEmpty() ? fallback : box.at(0); }
