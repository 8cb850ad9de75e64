// Writes the sample catalogue that a new program folder starts with.

#include "core/database/SampleCatalogue.h"
#include "platform/sqlite/Database.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <stdexcept>
#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <new catalogue file>\n", argv[0]);
        return 2;
    }
    try {
        const QString catalogue = QString::fromLocal8Bit(argv[1]);
        BuildSampleCatalogue(catalogue, QDate::currentDate());
        // The recordings of "Apple Cart Jig" under Music/.
        if (!WriteSampleMusic(QFileInfo(catalogue).absolutePath() + QStringLiteral("/Music")))
            throw std::runtime_error("cannot write the sample tunes");
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
