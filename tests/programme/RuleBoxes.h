#pragma once
// The rule editor's selection boxes the rule tests read against, and the
// editor's boxes as a parsed rule fills them.

#include "programme/evaluation/Rules.h"

inline const QList<QStringList> RuleTestBoxes = {
    {"Style", "Jig", "Dancing Master", "Technique"},
    {"Rhythm", "Jig", "Reel", "Waltz"},
    {"Format", "Longways", "Circle"},
    {"Author", "Anon", "Playford"},
};

inline RuleEditorState EditorStateOf(const ParsedRule &r) {
    RuleEditorState s;
    s.session = r.session == QLatin1Char(' ') ? -1 : r.session.digitValue() - 1;
    s.kind = r.kind;
    if (r.hasLow) s.num1 = QString::number(r.low);
    if (r.hasHigh) s.num2 = QString::number(r.high);
    s.choices = r.conditions;
    return s;
}
