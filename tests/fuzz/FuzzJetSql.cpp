// The Jet SQL translation: a statement or a DbError, never a crash; nothing is run.
#include "FuzzSupport.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/JetSql.h"

QUILLARY_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString sql = FuzzText(data, size);
    try {
        TokenizeJet(sql);
        TranslateJet(sql);
    } catch (const DbError &) {
    }
    HasIntoWord(sql);
    return 0;
}
