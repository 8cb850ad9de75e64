#include "platform/media/MpvHandle.h"

#include "base/Log.h"

#include "platform/media/MpvLibrary.h"

#include <clocale>
#include <cstring>
#include <mpv/client.h>

void MpvNumericLocale() {
    // Only written when it differs: another thread may be reading it.
    const char *now = std::setlocale(LC_NUMERIC, nullptr);
    if (!now || std::strcmp(now, "C") != 0) std::setlocale(LC_NUMERIC, "C");
}

mpv_handle *MakeMpvHandle(const QString &audioOutput, bool keepOpen, QString *failure) {
    const auto fail = [failure](const QString &text) {
        if (failure)
            *failure = text;
        else
            WriteLog(text);
        return nullptr;
    };
    // libmpv refuses to start under a locale whose numbers are not "C".
    MpvNumericLocale();
    if (!LoadMpvLibrary())
        return fail(QStringLiteral("Sound player could not be created: ") + MpvLibraryError());
    mpv_handle *handle = mpv_create();
    if (!handle) return fail(QStringLiteral("Sound player could not be created"));
    const char *options[][2] = {
        {"config", "no"},      {"terminal", "no"},     {"vid", "no"},  {"vo", "null"},
        {"audio-display", "no"}, {"idle", "yes"},      {"input-default-bindings", "no"},
        {"load-scripts", "no"}, {"ytdl", "no"},
        // The scripts libmpv carries itself: each would start a Lua thread.
        {"osc", "no"}, {"load-stats-overlay", "no"}, {"load-osd-console", "no"}, {"load-auto-profiles", "no"},
    };
    for (const auto &option : options) mpv_set_option_string(handle, option[0], option[1]);
    mpv_set_option_string(handle, "keep-open", keepOpen ? "yes" : "no");
    if (!audioOutput.isEmpty()) mpv_set_option_string(handle, "ao", audioOutput.toUtf8().constData());
    if (mpv_initialize(handle) < 0) {
        mpv_terminate_destroy(handle);
        return fail(QStringLiteral("Sound player could not be started"));
    }
    return handle;
}
