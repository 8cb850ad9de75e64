#pragma once
// A string list that sorts and searches ignoring letter case, through the
// program's own case fold.

#include <QList>
#include <QString>
#include <QStringList>

class TMyStringList {
public:
    enum class Duplicates { Accept, Ignore, Error };

    // A sorted list keeps its order on every Add and can be searched by Find.
    bool sorted() const { return isSorted; }
    void setSorted(bool on);
    Duplicates duplicates = Duplicates::Accept;

    // Adds at the sorted place (or at the end when not sorted) and gives the
    // index. A duplicate of a sorted list is skipped (Ignore, giving the index
    // of the one there) or refused with an exception (Error).
    int Add(const QString &s);
    void Insert(int index, const QString &s);
    void Delete(int index);
    void Clear();
    void Sort();

    // Binary search of a sorted list: true when found, index = its place or
    // the place it would take.
    bool Find(const QString &s, int &index) const;
    // The index of s ignoring case, -1 when absent.
    int IndexOf(const QString &s) const;

    int Count() const { return int(items.size()); }
    const QString &operator[](int index) const { return items[index].text; }
    QStringList Strings() const;

private:
    struct Entry {
        QString text;
        QString folded;
    };
    QList<Entry> items;
    bool isSorted = false;
};
