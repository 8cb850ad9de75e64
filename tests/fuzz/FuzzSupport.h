#pragma once
// What every fuzz target shares: one offscreen application and the message
// layer's answerer, so no box waits; the input as text both ways the program
// reads files.

#include "base/Cp1252.h"
#include "base/TestAnswerer.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>
#include <cstddef>
#include <cstdint>

inline void StartFuzzApplication() {
    static int argc = 1;
    static char name[] = "quillary_fuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_NUMERIC", "C");
    static QGuiApplication app(argc, argv);
    static TestAnswerer answerer;
    answerer.strictMessages = false;
}

inline QByteArray FuzzBytes(const uint8_t *data, size_t size) {
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The bytes as a file the program reads them (UTF-8 or Windows-1252).
inline QString FuzzText(const uint8_t *data, size_t size) {
    return DecodeTextBytes(FuzzBytes(data, size));
}

#define QUILLARY_FUZZ_INIT                                                                        \
    extern "C" int LLVMFuzzerInitialize(int *, char ***) {                                        \
        StartFuzzApplication();                                                                   \
        return 0;                                                                                 \
    }
