// Dates and times typed by a user: a value or "no date", never a crash.
#include "FuzzSupport.h"
#include "base/Dates.h"

QUILLARY_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = FuzzText(data, size);
    try {
        ParseDate(text);
    } catch (const std::exception &) {
    }
    FindTime(text, false);
    FindTime(text, true);
    FindTimeRange(text);
    return 0;
}
