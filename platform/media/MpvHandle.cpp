#include "platform/media/MpvHandle.h"

#include "base/Log.h"

#include <clocale>
#include <mpv/client.h>

mpv_handle *MakeMpvHandle(const QString &audioOutput, bool keepOpen) {
    // libmpv refuses to start under a locale whose numbers are not "C".
    std::setlocale(LC_NUMERIC, "C");
    mpv_handle *handle = mpv_create();
    if (!handle) {
        WriteLog(QStringLiteral("Sound player could not be created"));
        return nullptr;
    }
    const char *options[][2] = {
        {"config", "no"},      {"terminal", "no"},     {"vid", "no"},  {"vo", "null"},
        {"audio-display", "no"}, {"idle", "yes"},      {"input-default-bindings", "no"},
        {"load-scripts", "no"}, {"ytdl", "no"},
    };
    for (const auto &option : options) mpv_set_option_string(handle, option[0], option[1]);
    mpv_set_option_string(handle, "keep-open", keepOpen ? "yes" : "no");
    if (!audioOutput.isEmpty()) mpv_set_option_string(handle, "ao", audioOutput.toUtf8().constData());
    if (mpv_initialize(handle) < 0) {
        mpv_terminate_destroy(handle);
        WriteLog(QStringLiteral("Sound player could not be started"));
        return nullptr;
    }
    return handle;
}
