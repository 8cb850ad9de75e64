// Reading and writing back a catalogue's worth of stored instructions
// (20,000 texts of 1-2 KB: a title, tab lines, bold, colours, Windows-1252
// characters), the plain text of each straight from its tokens, and the
// layout pass over the writer's output; beside them, building the same
// documents from their plain text, the least any reader has to do.
// Target: read and write back of the whole set in under 2 s.

#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "presentation/InstructionText.h"

#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <random>

namespace {

const QStringList &StoredTexts() {
    static const QStringList texts = [] {
        const QStringList words = {"Up",      "a",       "double",     "and",      "back",   "set",    "turn",
                                   "single",  "partner", "caf\\'e9",   "\\'fcber", "r\\'f4le", "corners", "hands",
                                   "across",  "chain",   "\\'80 5",    "na\\'efve", "cast",   "lead",   "right"};
        const QStringList heads = {"A1", "A2", "B1", "B2"};
        std::mt19937 rng(1206);
        std::uniform_int_distribution<int> pick(0, int(words.size()) - 1), size(1024, 2000), shape(0, 5);
        QStringList out;
        out.reserve(20000);
        const QString head = QStringLiteral(
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
            "{\\colortbl ;\\red255\\green255\\blue255;\\red1\\green0\\blue0;}\r\n");
        for (int i = 0; i < 20000; ++i) {
            QString t = head + QStringLiteral("\\viewkind4\\uc1\\b\\f0\\fs24 The Dance Number %1\\b0\r\n\\par \r\n").arg(i);
            const int target = size(rng);
            int line = 0;
            while (t.size() < target) {
                t += QStringLiteral("\\par \\b %1\\b0 :\\tab ").arg(heads[line++ % 4]);
                const int n = 8 + pick(rng);
                for (int w = 0; w < n; ++w) {
                    if (shape(rng) == 0) t += QStringLiteral("\\cf1\\highlight2  Improper \\cf0\\highlight0 ");
                    t += words[pick(rng)] + QLatin1Char(w + 1 < n ? ' ' : '.');
                }
                t += QStringLiteral("\r\n");
            }
            t += QStringLiteral("\\par Repeat from the top.\\par }");
            out << t;
        }
        return out;
    }();
    return texts;
}

void BM_ReadAndWriteBack(benchmark::State &state) {
    const QStringList &texts = StoredTexts();
    QTextDocument doc;
    qint64 bytes = 0;
    for (auto _ : state) {
        for (const QString &t : texts) {
            ReadRtf(t, &doc);
            bytes += WriteRtf(&doc).size();
        }
    }
    benchmark::DoNotOptimize(bytes);
    state.counters["texts"] = double(texts.size());
}
BENCHMARK(BM_ReadAndWriteBack)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ReadOnly(benchmark::State &state) {
    const QStringList &texts = StoredTexts();
    QTextDocument doc;
    qint64 blocks = 0;
    for (auto _ : state) {
        for (const QString &t : texts) {
            ReadRtf(t, &doc);
            blocks += doc.blockCount();
        }
    }
    benchmark::DoNotOptimize(blocks);
}
BENCHMARK(BM_ReadOnly)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PlainTextFromTokens(benchmark::State &state) {
    const QStringList &texts = StoredTexts();
    qint64 chars = 0;
    for (auto _ : state)
        for (const QString &t : texts) chars += rtfPlainText(t).size();
    benchmark::DoNotOptimize(chars);
}
BENCHMARK(BM_PlainTextFromTokens)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LayoutPass(benchmark::State &state) {
    // The pass works on the writer's output, as the boxes give it.
    static const QStringList written = [] {
        QStringList out;
        QTextDocument doc;
        for (const QString &t : StoredTexts()) {
            ReadRtf(t, &doc);
            out << WriteRtf(&doc);
        }
        return out;
    }();
    CardLayout layout;
    layout.lineSpacing = "230";
    layout.paraGap = "100";
    layout.tabStops = {727, 3600, 4200};
    layout.hangingIndentPrefix = HangingIndentPrefixFor(727);
    layout.halfLines = true;
    qint64 chars = 0;
    for (auto _ : state)
        for (const QString &t : written) chars += LayoutText(t, false, layout, InstructionBox::EditorInstructions).text.size();
    benchmark::DoNotOptimize(chars);
}
BENCHMARK(BM_LayoutPass)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_BaselinePlainDocuments(benchmark::State &state) {
    static const QStringList plain = [] {
        QStringList out;
        for (const QString &t : StoredTexts()) out << rtfPlainText(t);
        return out;
    }();
    QTextDocument doc;
    qint64 blocks = 0;
    for (auto _ : state) {
        for (const QString &t : plain) {
            doc.clear();
            QTextCursor(&doc).insertText(t);
            blocks += doc.blockCount();
        }
    }
    benchmark::DoNotOptimize(blocks);
}
BENCHMARK(BM_BaselinePlainDocuments)->Unit(benchmark::kMillisecond)->Iterations(1);

// One table row of many cells (what a damaged or hostile text can hold): the
// reading stays linear, so four times the cells take under five times as long.
void BM_ReadWideRow(benchmark::State &state) {
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\trowd");
    const int cells = int(state.range(0));
    for (int i = 0; i < cells; ++i) rtf += QStringLiteral("\\intbl c%1\\cell ").arg(i % 100);
    rtf += QStringLiteral("\\row\\pard}");
    QTextDocument doc;
    int columns = 0;
    for (auto _ : state) {
        ReadRtf(rtf, &doc);
        columns += doc.characterCount();
    }
    benchmark::DoNotOptimize(columns);
    state.counters["cells"] = double(cells);
}
BENCHMARK(BM_ReadWideRow)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
