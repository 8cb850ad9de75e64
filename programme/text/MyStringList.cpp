#include "programme/text/MyStringList.h"

#include "base/Cp1252.h"

#include <algorithm>
#include <stdexcept>

void TMyStringList::setSorted(bool on) {
    if (on && !isSorted) Sort();
    isSorted = on;
}

void TMyStringList::Sort() {
    std::stable_sort(items.begin(), items.end(),
                     [](const Entry &a, const Entry &b) { return a.folded < b.folded; });
}

bool TMyStringList::Find(const QString &s, int &index) const {
    const QString key = FoldUpper(s);
    const auto it = std::lower_bound(items.begin(), items.end(), key,
                                     [](const Entry &e, const QString &k) { return e.folded < k; });
    index = int(it - items.begin());
    return it != items.end() && it->folded == key;
}

int TMyStringList::IndexOf(const QString &s) const {
    if (isSorted) {
        int index = 0;
        return Find(s, index) ? index : -1;
    }
    const QString key = FoldUpper(s);
    for (int i = 0; i < items.size(); ++i)
        if (items[i].folded == key) return i;
    return -1;
}

int TMyStringList::Add(const QString &s) {
    if (!isSorted) {
        items.append({s, FoldUpper(s)});
        return int(items.size()) - 1;
    }
    int index = 0;
    if (Find(s, index)) {
        if (duplicates == Duplicates::Ignore) return index;
        if (duplicates == Duplicates::Error) throw std::runtime_error("String list does not allow duplicates");
        // Accept: after the equal ones, so that equal entries keep their order.
        const QString key = FoldUpper(s);
        while (index < items.size() && items[index].folded == key) ++index;
    }
    items.insert(index, {s, FoldUpper(s)});
    return index;
}

void TMyStringList::Insert(int index, const QString &s) {
    items.insert(std::clamp(index, 0, int(items.size())), {s, FoldUpper(s)});
}

void TMyStringList::Delete(int index) {
    if (index >= 0 && index < items.size()) items.removeAt(index);
}

void TMyStringList::Clear() { items.clear(); }

QStringList TMyStringList::Strings() const {
    QStringList out;
    out.reserve(items.size());
    for (const Entry &e : items) out.append(e.text);
    return out;
}
