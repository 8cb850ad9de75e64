#pragma once
// Shorthands for programme tests: texts written with "~" for the separator.

#include "programme/text/ProgrammeItem.h"
#include "TestSupport.h" // PrintTo for QString, shared by every test file

#include <QList>
#include <QString>
#include <ostream>

inline QString Sep(const char *text, QChar sep) {
    QString s = QString::fromUtf8(text);
    s.replace(QLatin1Char('~'), sep);
    return s;
}

inline ProgrammeItem D(const char *t, const char *f, const char *s, int n = 0) {
    return ProgrammeItem::dance(QString::fromUtf8(t), QString::fromUtf8(f), QString::fromUtf8(s), n);
}
inline ProgrammeItem N(const char *text) { return ProgrammeItem::note(QString::fromUtf8(text)); }
inline ProgrammeItem H(const char *text) { return ProgrammeItem::heading(QString::fromUtf8(text)); }
inline ProgrammeItem Avg() { return N("Average Level: ?"); }

inline void PrintTo(const ProgrammeItem &item, std::ostream *os) {
    switch (item.kind) {
    case ItemKind::Dance:
        *os << "D(" << item.key.Title.toStdString() << '|' << item.key.Format.toStdString() << '|'
            << item.key.Style.toStdString() << " n=" << item.recording << ')';
        break;
    case ItemKind::Note: *os << "N(" << item.text.toStdString() << ')'; break;
    case ItemKind::Heading: *os << "O(" << item.text.toStdString() << ')'; break;
    }
}
