// The RTF reader on any text: a document or the text read so far, never a crash.
#include "FuzzSupport.h"
#include "platform/rtf/RtfReader.h"

#include <QTextDocument>

QUILLARY_FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString rtf = Cp1252::decode(FuzzBytes(data, size));
    QTextDocument doc;
    ReadRtf(rtf, &doc);
    rtfPlainText(rtf);
    return 0;
}
