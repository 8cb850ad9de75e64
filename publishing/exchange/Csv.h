#pragma once
// Comma-separated text: the reader shared by the import's preview and its
// run, and the line format of the export.
//
// Reading: a double quote opens or closes a quoted stretch and is not kept;
// inside quotes a doubled quote stands for one. A quoted stretch that runs
// past the end of a line carries on over the next one, keeping the line
// break. A comma outside quotes ends a field; a comma at the very end of a
// line starts no further field.

#include <QChar>
#include <QString>
#include <QStringList>

class CsvReader {
public:
    // Decodes the bytes by the read rule (BOM, UTF-8, else Windows-1252).
    static CsvReader fromBytes(const QByteArray &bytes);
    explicit CsvReader(const QString &text);

    // Reads the next record's fields; false at the end of the text. With
    // skipBlanks the blanks that follow a comma are stepped over (the import);
    // without, they are kept (the preview).
    bool readRecord(QStringList *fields, bool skipBlanks);
    // Steps over one record without keeping it.
    bool skipRecord();
    bool atEnd() const { return m_next >= m_text.size(); }
    // The last record ended inside quotes at the end of the text.
    bool endedInQuotes() const { return m_endedInQuotes; }
    // The record read last held only blanks.
    bool blankRecord() const { return m_blank; }
    // Characters consumed so far (for the progress gauge) and in all.
    qsizetype position() const { return m_next; }
    qsizetype size() const { return m_text.size(); }
    // The 1-based line where the last record started.
    int lineNumber() const { return m_line; }

private:
    // Reads the next physical line (without its break) into m_current;
    // false at the end.
    bool nextLine();

    QString m_text;
    qsizetype m_next = 0;     // start of the next unread line
    QStringView m_current;    // the line being read (in m_text)
    QStringView m_break;      // the break that ended it
    int m_lineCount = 0;
    int m_line = 0;
    bool m_endedInQuotes = false;
    bool m_blank = false;
};

// The export's line: each value followed by the separator and a blank, the
// last pair dropped, CR LF at the end. A delimited value has the delimiter
// around it and every delimiter inside doubled; delimited[i] says which.
QString CsvLine(const QStringList &values, const QList<bool> &delimited, QChar delimiter, QChar separator);
// The delimiter (separator) a box gives: its first character, or the default
// when it is empty.
QChar CsvBoxChar(const QString &box, QChar fallback);
