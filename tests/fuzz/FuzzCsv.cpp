// The CSV reader on any bytes, with and without skipping blanks, and the
// import's preview: fields or a defined end, never a crash.
#include "FuzzSupport.h"
#include "publishing/exchange/Csv.h"
#include "publishing/exchange/CsvImport.h"

QUILLARY_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = FuzzBytes(data, size);
    for (const bool skipBlanks : {true, false}) {
        CsvReader reader = CsvReader::fromBytes(bytes);
        QStringList fields;
        while (reader.readRecord(&fields, skipBlanks)) {
            reader.endedInQuotes();
            reader.blankRecord();
        }
    }
    ImportPreview(bytes);
    return 0;
}
