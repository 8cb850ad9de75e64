#include "programme/evaluation/ProgrammeData.h"

#include "base/Cp1252.h"

namespace {

DanceKey Folded(const DanceKey &key) { return {FoldUpper(key.Title), FoldUpper(key.Format), FoldUpper(key.Style)}; }

} // namespace

DanceFields::DanceFields(std::initializer_list<std::pair<QString, QString>> fields) {
    for (const auto &[name, text] : fields) set(name, text);
}

QString DanceFields::value(const QString &field) const { return byFolded.value(FoldUpper(field)); }

bool DanceFields::has(const QString &field) const { return byFolded.contains(FoldUpper(field)); }

void DanceFields::set(const QString &field, const QString &text) { byFolded.insert(FoldUpper(field), text); }

void MemoryDanceLookup::add(const DanceKey &key, const DanceFields &fields) { dances.insert(Folded(key), fields); }

std::optional<DanceFields> MemoryDanceLookup::find(const DanceKey &key) const {
    ++lookups;
    const auto it = dances.constFind(Folded(key));
    if (it == dances.constEnd()) return std::nullopt;
    return *it;
}

void MemoryEventHistory::eachBefore(const std::function<bool(const EventRecord &)> &visit) const {
    for (int i = std::min(shown, int(events.size())) - 1; i >= 0; --i)
        if (!visit(events[i])) return;
}

void MemoryEventHistory::eachAfter(const std::function<bool(const EventRecord &)> &visit) const {
    for (int i = std::max(shown + 1, 0); i < events.size(); ++i)
        if (!visit(events[i])) return;
}
