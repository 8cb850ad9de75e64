#pragma once
// The catalogues the build makes: the small sample a new user starts on, and
// the large seeded one the benchmarks measure.

#include <QDate>
#include <QString>

// Writes a new sample catalogue (a few dozen dances, a handful of events
// dated around `today`) to path; an existing file there is replaced.
void BuildSampleCatalogue(const QString &path, const QDate &today);
// Writes every recording the sample catalogue names (short tones) under
// musicFolder; false when one cannot be written.
bool WriteSampleMusic(const QString &musicFolder);

struct LargeCatalogueSize {
    int dances = 20000;
    int events = 5000;
    int itemsPerProgramme = 20;
    int years = 15;
};

// Writes a large catalogue made from a seed: the same seed gives the same
// rows. Built in one transaction; an existing file is replaced.
void BuildLargeCatalogue(const QString &path, quint32 seed, const QDate &lastDay,
                         const LargeCatalogueSize &size = LargeCatalogueSize());

// An instruction text in the stored RTF form: one paragraph per line.
QString InstructionRtf(const QStringList &lines);
