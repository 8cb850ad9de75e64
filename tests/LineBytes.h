#pragma once
// A file's bytes as lines, each with its end, for tests that compare files
// line by line.

#include <QByteArray>
#include <QList>

// The lines of the bytes, each with its end (CR LF, LF or CR).
inline QList<QByteArray> LinesWithEnds(const QByteArray &bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        lines.append(bytes.mid(start, i + 1 - start));
        start = i + 1;
    }
    if (start < bytes.size()) lines.append(bytes.mid(start));
    return lines;
}
