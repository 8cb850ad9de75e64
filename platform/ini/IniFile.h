#pragma once
// The settings-file class: an ini file read into a line model and written
// through on every change.
//
// - Section and key names compare through the program's case-folding table;
//   a write keeps the spelling the file already has.
// - Every line that is not changed keeps its place, its text and its line end
//   (CR LF, LF or CR); comments and blank lines stay where they are. Blanks
//   around a key or a value are not part of it.
// - The first of duplicate keys is the one read and written.
// - The file is re-read before a read or write when its modification time,
//   size or identity changed, so an edit made outside is kept.
// - Each write saves the whole file (QSaveFile). Before the first write of a
//   run, and after an outside change was read, the file as found is copied to
//   its name + ".bak". A failed write throws naming the file and leaves both
//   the file and the object as they were.
// - The file is written back in the encoding it was read in; a Windows-1252
//   file given a character outside that code page becomes UTF-8 with a BOM.

#include "base/Cp1252.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

class TIniFile {
public:
    // Reads the file when it exists; a missing file reads as empty and is
    // created by the first write. Throws when the file exists but cannot be read.
    explicit TIniFile(const QString &fileName);

    const QString &FileName() const { return path; }
    TextEncoding Encoding() const { return encoding; }

    // A missing key or section gives the default.
    QString ReadString(const QString &section, const QString &key, const QString &def);
    // A value that is not a whole decimal number in range gives the default.
    int ReadInteger(const QString &section, const QString &key, int def);
    qint64 ReadInt64(const QString &section, const QString &key, qint64 def);
    // An integer other than 0 is true.
    bool ReadBool(const QString &section, const QString &key, bool def);
    bool ValueExists(const QString &section, const QString &key);
    bool SectionExists(const QString &section);

    // New keys go at the end of their section, new sections at the end of
    // the file. Booleans are written "1" and "0".
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteInt64(const QString &section, const QString &key, qint64 value);
    void WriteBool(const QString &section, const QString &key, bool value);

    // Removes every line of the key in the section; the section stays, even
    // when it is left empty.
    void DeleteKey(const QString &section, const QString &key);
    // Removes the section's header and all lines up to the next header.
    void EraseSection(const QString &section);
    // The section's keys become these, in this order, in one write: the
    // section keeps its place (made at the end when absent), its other blocks
    // go. A failed write leaves file and object as they were.
    void ReplaceSection(const QString &section, const QList<QPair<QString, QString>> &values);
    // New content for one section: its keys in this order.
    struct SectionContent {
        QString section;
        QList<QPair<QString, QString>> values;
    };
    // Replaces several sections in one write: each keeps its place (made at
    // the end when absent) and its comments, its later blocks go. A failed
    // write leaves file and object as they were.
    void ReplaceSections(const QList<SectionContent> &changes);

    // Key names of a section in file order, each once, spelled as in the file.
    QStringList ReadSection(const QString &section);
    // The section as "key=value" lines, in the same order.
    QStringList ReadSectionValues(const QString &section);
    // Section names in file order, each once, spelled as first found.
    QStringList ReadSections();

    // How a whole file is saved; tests replace it to make writes fail. An
    // empty function restores the normal save.
    using SaveFunction = std::function<void(const QString &path, const QByteArray &bytes)>;
    static void SetSaveFunction(SaveFunction save);

    // Forgets which files were already backed up in this run (tests).
    static void ResetBackups();

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        QString text; // without its line end
        QString end;  // "\r\n", "\n", "\r" or empty for the last line
        Kind kind = Kind::Other;
        QString name;  // section name or key as spelled, trimmed
        QString value; // a key's value, trimmed
        // The line's bytes as read from a UTF-8 file, written back as they
        // were while the line is not changed (stray invalid bytes survive).
        QByteArray raw;
    };
    struct Stamp {
        bool exists = false;
        qint64 size = -1;
        qint64 mtimeSec = 0;
        qint64 mtimeNsec = 0;
        quint64 inode = 0;
        quint64 device = 0;
        bool operator==(const Stamp &o) const = default;
    };
    // Lines from one header up to the next, as indices [header, end).
    struct Block {
        int header;
        int end;
    };
    struct SectionInfo {
        QString spelled;
        QList<Block> blocks;
        QHash<QString, int> firstKey; // folded key -> line index
        QStringList keyOrder;         // folded keys in file order
    };

    Stamp statFile() const;
    void load(const QByteArray &bytes);
    // Re-reads the file when it changed outside; throws only when asked.
    void refresh(bool throwOnError);
    void reindex();
    static Line parseLine(const QString &text, const QString &end);
    QString newLineEnd() const;
    const SectionInfo *find(const QString &section) const;
    const Line *findKey(const QString &section, const QString &key);
    // Applies an edit to a copy of the lines and saves it; the object takes
    // the copy only when the save succeeded. The edit returns false when
    // nothing changed.
    void change(const std::function<bool(QList<Line> &)> &edit);
    QByteArray render(const QList<Line> &lines, TextEncoding *used) const;

    static QString checkKey(const QString &key);
    static QString checkSection(const QString &section);

    QString path;
    QList<Line> lines;
    QHash<QString, SectionInfo> sections; // by folded name
    QStringList sectionOrder;             // folded names in file order
    TextEncoding encoding = TextEncoding::Cp1252;
    Stamp stamp;
    QByteArray foundBytes; // the file as last read, for the backup
    bool backupDue = false;
};
