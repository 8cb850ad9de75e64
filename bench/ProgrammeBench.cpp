// Reading and writing programme strings: 5,000 programmes of 20 items each
// (dances with and without a recording choice, notes, headings) read into
// items and written back. Target: under 20 ms for the 5,000.

#include "base/Cp1252.h"
#include "programme/text/ProgrammeText.h"

#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {

QStringList GeneratedProgrammes(int count) {
    QRandomGenerator random(20261206);
    const char *formats[] = {"Longways", "Square", "Circle", "3 couple", "Sicilian"};
    const char *styles[] = {"Jig", "Reel", "Hornpipe", "Waltz", "Polka"};
    QStringList out;
    out.reserve(count);
    for (int p = 0; p < count; ++p) {
        QString text(SepDot);
        for (int i = 0; i < 20; ++i) {
            const int kind = random.bounded(10);
            if (i == 0 || kind == 0) {
                text += QStringLiteral("O|Session %1").arg(i);
            } else if (kind == 1) {
                text += QStringLiteral("N|Walk through slowly\r\nthen with music %1").arg(i);
            } else {
                text += QStringLiteral("D|The Dance Number %1|%2|%3")
                            .arg(random.bounded(20000))
                            .arg(QLatin1String(formats[random.bounded(5)]))
                            .arg(QLatin1String(styles[random.bounded(5)]));
                if (kind < 5) text += SectionSign + QString::number(random.bounded(1, 4));
            }
            text += SepDot;
        }
        out.append(text);
    }
    return out;
}

void BM_ReadWrite5000Programmes(benchmark::State &state) {
    const QStringList programmes = GeneratedProgrammes(5000);
    for (auto _ : state) {
        qsizetype total = 0;
        for (const QString &text : programmes) {
            const ProgrammeRead read = ReadProgramme(text, SepDot);
            total += WriteProgramme(read.items, SepDot, text).size();
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ReadWrite5000Programmes)->Unit(benchmark::kMillisecond);

} // namespace
