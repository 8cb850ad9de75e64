#pragma once
// One item of an event's programme: a dance, a note or a heading.

#include <QHashFunctions>
#include <QString>

// Identifies a row of the Dances table: the title in its sort form, the
// format and the style.
struct DanceKey {
    QString Title;
    QString Format;
    QString Style;

    bool operator==(const DanceKey &) const = default;
    bool isBlank() const { return Title.isEmpty() && Format.isEmpty() && Style.isEmpty(); }
};

inline size_t qHash(const DanceKey &key, size_t seed = 0) {
    return qHashMulti(seed, key.Title, key.Format, key.Style);
}

enum class ItemKind { Dance, Note, Heading };

struct ProgrammeItem {
    ItemKind kind = ItemKind::Note;
    DanceKey key;       // dances only
    int recording = 0;  // dances only: chosen recording line, 0 = none
    QString text;       // notes and headings

    static ProgrammeItem dance(const DanceKey &key, int recording = 0) {
        return {ItemKind::Dance, key, recording, {}};
    }
    static ProgrammeItem dance(const QString &title, const QString &format, const QString &style,
                               int recording = 0) {
        return dance(DanceKey{title, format, style}, recording);
    }
    static ProgrammeItem note(const QString &text) { return {ItemKind::Note, {}, 0, text}; }
    static ProgrammeItem heading(const QString &text) { return {ItemKind::Heading, {}, 0, text}; }

    bool isDance() const { return kind == ItemKind::Dance; }
    bool isNote() const { return kind == ItemKind::Note; }
    bool isHeading() const { return kind == ItemKind::Heading; }

    bool operator==(const ProgrammeItem &) const = default;
};
