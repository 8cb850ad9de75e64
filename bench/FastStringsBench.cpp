// Case-insensitive searching and multi-pair replacing over a catalogue's worth
// of instruction texts, each beside a plain case-sensitive QString::indexOf
// loop that finds every occurrence of the same patterns in the same texts.

#include "base/Cp1252.h"
#include "base/FastStrings.h"

#include <QStringList>
#include <benchmark/benchmark.h>
#include <random>

namespace {

const QString GenderOlds =
    R"(lady|woman|ladies|women| man|men's| men|(man|(men|gentleman|gentlemen|gent|same-sex| sex|\b 1L\|\b 2L\|\b 3L\|\b 4L\|\b 1M\|\b 2M\|\b 3M\|\b 4M\|)";
const QString GenderNews =
    R"(Raven|Raven|Ravens|Ravens| Lark|Larks'| Larks|(Lark|(Larks|Lark|Larks|Lark|same-role| role|\b 1 Raven\|\b 2 Raven\|\b 3 Raven\|\b 4 Raven\|\b 1 Lark\|\b 2 Lark\|\b 3 Lark\|\b 4 Lark\)";

// Found early (in the RTF header), found late (the closing line) and absent.
const QString Early = QStringLiteral("fonttbl");
const QString Late = QStringLiteral("Repeat from the top");
const QString Absent = QStringLiteral("Gallopède");

// 20,000 instruction texts of 1-2 KB: RTF control words, dance words in mixed
// case, accented letters; the same texts on every run.
const QStringList &Texts() {
    static const QStringList texts = [] {
        const QStringList words = {
            "lady",       "man",        "gentlemen",  "women",     "ladies",  "couple",    "turn",
            "partner",    "set",        "cast",       "down",      "café",    "über",      "Élan",
            "reel",       "jig",        "strathspey", "hands",     "across",  "à",         "Œuvre",
            "(man",       "men's",      "same-sex",   "gent",      "corners", "and",       "the",
            "1st",        "2nd",        "bars",       "1-8",       "9-16",    "grand",     "chain",
            "\\b 1L\\b0", "\\b 2M\\b0", "\\b 3L\\b0", "\\par\r\n", "\\tab",   "\\i",       "\\i0",
            "ÿ",          "naïve",      "señor",      "Ferme",     "ŠKODA",   "petronella"};
        std::mt19937 rng(1206);
        std::uniform_int_distribution<int> pick(0, int(words.size()) - 1), shape(0, 9),
            size(1024, 2000);
        QStringList out;
        out.reserve(20000);
        for (int i = 0; i < 20000; ++i) {
            QString t = QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss "
                                       "Arial;}}\\viewkind4\\uc1\\pard\\fs20 ");
            const int target = size(rng);
            while (t.size() < target) {
                QString w = words[pick(rng)];
                const int s = shape(rng);
                if (s == 0)
                    w = FoldUpper(w);
                else if (s <= 2)
                    w[0] = Cp1252::upper(w[0]);
                t += w;
                t += QChar(' ');
            }
            t += QStringLiteral("\\par Repeat from the top.\\par }");
            out.append(t);
        }
        return out;
    }();
    return texts;
}

const QString &Pattern(int which) {
    static const QString *patterns[] = {&Early, &Late, &Absent};
    return *patterns[which];
}

void PosNoCaseEveryMatch(benchmark::State &state) {
    const QStringList &texts = Texts();
    const QString &pattern = Pattern(int(state.range(0)));
    for (auto _ : state) {
        qsizetype found = 0;
        for (const QString &t : texts)
            for (qsizetype p = PosNoCase(pattern, t); p > 0; p = PosNoCase(pattern, t, p + 1))
                ++found;
        benchmark::DoNotOptimize(found);
    }
}

void IndexOfEveryMatch(benchmark::State &state) {
    const QStringList &texts = Texts();
    const QString &pattern = Pattern(int(state.range(0)));
    for (auto _ : state) {
        qsizetype found = 0;
        for (const QString &t : texts)
            for (qsizetype p = t.indexOf(pattern); p >= 0; p = t.indexOf(pattern, p + 1))
                ++found;
        benchmark::DoNotOptimize(found);
    }
}

void MultiReplaceGenderFree(benchmark::State &state) {
    const QStringList &texts = Texts();
    for (auto _ : state) {
        qsizetype length = 0;
        for (const QString &t : texts)
            length += MultiReplace(t, GenderOlds, GenderNews).size();
        benchmark::DoNotOptimize(length);
    }
}

void IndexOfEveryOld(benchmark::State &state) {
    const QStringList &texts = Texts();
    QStringList olds = GenderOlds.split(QChar('|'));
    olds.removeAll(QString());
    for (auto _ : state) {
        qsizetype found = 0;
        for (const QString &t : texts)
            for (const QString &old : olds)
                for (qsizetype p = t.indexOf(old); p >= 0; p = t.indexOf(old, p + old.size()))
                    ++found;
        benchmark::DoNotOptimize(found);
    }
}

} // namespace

// Argument: 0 found early, 1 found late, 2 absent.
BENCHMARK(PosNoCaseEveryMatch)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(IndexOfEveryMatch)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(MultiReplaceGenderFree)->Unit(benchmark::kMillisecond);
BENCHMARK(IndexOfEveryOld)->Unit(benchmark::kMillisecond);
