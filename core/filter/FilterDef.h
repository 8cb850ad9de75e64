#pragma once
// A record filter: up to four conditions on fields, combined with "and".

#include <QString>
#include <array>

struct FilterDef {
    static constexpr int MaxConditions = 4;

    // Conditions 1 to 4 (index 0 is not used), as the filter dialog numbers them.
    std::array<QString, 5> Field;         // an empty Field[1] means no filter
    std::array<QString, 5> Value;         // the typed value
    std::array<bool, 5> CaseSensitive{};  // compare text with case
    std::array<bool, 5> FullMatch{};      // the whole field must equal the value
    std::array<bool, 5> NonBlank{};       // an empty value passes non-blank fields
    int Count = 0;                        // conditions in use, 0 to 4

    // Conditions are in use: Count at least 1 and a first field.
    bool HasConditions() const { return Count >= 1 && !Field[1].isEmpty(); }
};
