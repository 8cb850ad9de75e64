// The rule-line parser on any text: a rule or a message, never a crash. A
// rule read is built again as the editor would, and that line reads back to
// the same rule and builds the same line.
#include "FuzzSupport.h"
#include "programme/evaluation/Rules.h"
#include "tests/programme/RuleBoxes.h"

#include <cstdlib>

QUILLARY_FUZZ_INIT

namespace {


bool Same(const ParsedRule &a, const ParsedRule &b) {
    return a.session == b.session && a.kind == b.kind && a.hasLow == b.hasLow && a.low == b.low &&
           a.high == b.high && a.conditions == b.conditions;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const RuleParse parsed = ParseRule(FuzzText(data, size), RuleTestBoxes);
    if (!parsed.ok()) return 0;
    // A rule on all dances with no condition (a last character alone is never
    // read as one) builds a line with nothing to read back; "Session 0" is no
    // session the editor offers.
    ParsedRule r = parsed.rule;
    // Conditions read on a kind that shows no selection boxes are not built.
    if (!KindShowsSelections(r.kind)) r.conditions = {};
    if (r.kind == KindAll && r.conditions == std::array<QString, 4>{}) return 0;
    if (r.session != QLatin1Char(' ') && r.session.digitValue() < 1) return 0;
    const BuiltRule built = BuildRule(EditorStateOf(r));
    if (!built.message.isEmpty()) return 0;
    const RuleParse again = ParseRule(built.line, RuleTestBoxes);
    if (!again.ok() || !Same(again.rule, r)) std::abort();
    if (BuildRule(EditorStateOf(again.rule)).line != built.line) std::abort();
    return 0;
}
