#pragma once
// Customise items: named pieces of rich text the instruction editor puts into
// a dance's instructions with one click. They live in the settings section
// "Custom", one key per item in file order; a value is the text to replace,
// "|", then the item's RTF on one line. No window here: the editor's
// customise panels call it.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class TIniFile;

class TCustomItems {
public:
    // The settings file is not owned and must outlive this object.
    explicit TCustomItems(TIniFile &ini);

    // The nine items a settings file starts with, values exactly as stored.
    static const QList<QPair<QString, QString>> &Defaults();

    // Writes the defaults when the section is missing or holds no key (so
    // deleting the last item brings them back), then reads the keys into
    // CustomItems in file order.
    const QStringList &Load();

    // Divides the value of item index into CustomOld and CustomRtf at its
    // first "|". A value without one shows what was sought and abandons the
    // command (SilentAbort); an index outside CustomItems throws
    // std::out_of_range.
    void GetCustomItem(int index);

    // CustomOld with "[tab]", in any case, turned into a tab.
    QString SearchText() const;
    // An empty text to replace means the item goes in at the caret.
    bool InsertAtCaret() const { return CustomOld.isEmpty(); }
    // Where the search text stands in the instructions, searched case-sensitively
    // from the second character on (counting from 0); -1 when absent.
    qsizetype FindIn(const QString &instructions) const;

    // Stores oldText + "|" + rtf (every CR LF removed) under the title,
    // replacing an item of that title in place or adding one at the end, and
    // reloads. rtf is the editor's text as StripRtfHeaderGroups gives it. An
    // empty title does nothing. A text to replace holding "|", or a title
    // the settings file refuses, shows why and writes nothing. True when
    // stored.
    bool Save(const QString &title, const QString &oldText, const QString &rtf);

    // Asks title + "\rDelete custom item?"; Yes deletes the item and reloads.
    // An empty title does nothing. True when deleted.
    bool Delete(const QString &title);

    QStringList CustomItems;
    QString CustomOld;
    QString CustomRtf;

private:
    TIniFile &ini;
};
