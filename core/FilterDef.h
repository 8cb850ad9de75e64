#pragma once
// The definition of a record filter: up to four conditions on fields of a
// table, combined with "and". One is kept for Events and one for Dances for
// the whole run.

#include <QString>
#include <array>

struct FilterDef {
    static constexpr int MaxConditions = 4;

    // Condition i (1 to 4) is at index i - 1. An empty Field[0] means no filter.
    std::array<QString, MaxConditions> Field;
    // The value typed: a text (contains, or equals with FullMatch; a leading
    // "<>" negates; empty tests for a blank field), a numeric comparison
    // ("<" x, "<=" x, ">" x, ">=" x, "<>" x or a bare number), "Pending" (as
    // empty) or the odd-format marker "[Odd format]".
    std::array<QString, MaxConditions> Value;
    std::array<bool, MaxConditions> CaseSensitive{};
    std::array<bool, MaxConditions> FullMatch{};
    // For an empty value: pass non-blank fields instead of blank ones.
    std::array<bool, MaxConditions> NonBlank{};
    // Conditions in use, 0 to 4.
    int Count = 0;

    // Conditions are in use: Count at least 1 and a first field.
    bool HasConditions() const { return Count >= 1 && !Field[0].isEmpty(); }
    bool operator==(const FilterDef &) const = default;
};
