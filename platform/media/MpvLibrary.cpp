// libmpv is loaded when the first player starts instead of with the
// program: some two hundred libraries come with it, and loading them with
// the program cost every start about 50 ms before the first window. The
// functions the program calls are defined here and passed on to the
// library; without it no player can be created, and each one logs why.

#include "platform/media/MpvLibrary.h"

#include <QString>
#include <dlfcn.h>
#include <mpv/client.h>
#include <mutex>

namespace {

struct Api {
    decltype(&::mpv_create) create = nullptr;
    decltype(&::mpv_initialize) initialize = nullptr;
    decltype(&::mpv_terminate_destroy) terminateDestroy = nullptr;
    decltype(&::mpv_set_option_string) setOptionString = nullptr;
    decltype(&::mpv_wait_event) waitEvent = nullptr;
    decltype(&::mpv_error_string) errorString = nullptr;
    decltype(&::mpv_set_wakeup_callback) setWakeupCallback = nullptr;
    decltype(&::mpv_set_property) setProperty = nullptr;
    decltype(&::mpv_set_property_string) setPropertyString = nullptr;
    decltype(&::mpv_get_property) getProperty = nullptr;
    decltype(&::mpv_get_property_string) getPropertyString = nullptr;
    decltype(&::mpv_observe_property) observeProperty = nullptr;
    decltype(&::mpv_command) command = nullptr;
    decltype(&::mpv_command_async) commandAsync = nullptr;
    decltype(&::mpv_free) free = nullptr;
};

Api g_api;
bool g_loaded = false;
QString g_error;
std::once_flag g_once;

template <typename F> bool take(void *library, const char *name, F &to) {
    to = reinterpret_cast<F>(dlsym(library, name));
    return to != nullptr;
}

void load() {
    void *library = nullptr;
    for (const char *name : {"libmpv.so.2", "libmpv.so"}) {
        library = dlopen(name, RTLD_NOW | RTLD_LOCAL);
        if (library) break;
    }
    if (!library) {
        g_error = QString::fromLocal8Bit(dlerror());
        return;
    }
    Api api;
    const bool all = take(library, "mpv_create", api.create) &&
                     take(library, "mpv_initialize", api.initialize) &&
                     take(library, "mpv_terminate_destroy", api.terminateDestroy) &&
                     take(library, "mpv_set_option_string", api.setOptionString) &&
                     take(library, "mpv_wait_event", api.waitEvent) &&
                     take(library, "mpv_error_string", api.errorString) &&
                     take(library, "mpv_set_wakeup_callback", api.setWakeupCallback) &&
                     take(library, "mpv_set_property", api.setProperty) &&
                     take(library, "mpv_set_property_string", api.setPropertyString) &&
                     take(library, "mpv_get_property", api.getProperty) &&
                     take(library, "mpv_get_property_string", api.getPropertyString) &&
                     take(library, "mpv_observe_property", api.observeProperty) &&
                     take(library, "mpv_command", api.command) &&
                     take(library, "mpv_command_async", api.commandAsync) &&
                     take(library, "mpv_free", api.free);
    if (!all) {
        g_error = QString::fromLocal8Bit(dlerror());
        dlclose(library);
        return;
    }
    g_api = api;
    g_loaded = true;
}

const Api *api() {
    std::call_once(g_once, load);
    return g_loaded ? &g_api : nullptr;
}

} // namespace

bool LoadMpvLibrary() {
    return api() != nullptr;
}

QString MpvLibraryError() {
    api();
    return g_error;
}

// Every function but mpv_create and mpv_error_string is only called with a
// handle, which only a loaded library gives.
extern "C" {

mpv_handle *mpv_create(void) {
    const Api *a = api();
    return a ? a->create() : nullptr;
}

int mpv_initialize(mpv_handle *ctx) {
    return api()->initialize(ctx);
}

void mpv_terminate_destroy(mpv_handle *ctx) {
    api()->terminateDestroy(ctx);
}

int mpv_set_option_string(mpv_handle *ctx, const char *name, const char *data) {
    return api()->setOptionString(ctx, name, data);
}

mpv_event *mpv_wait_event(mpv_handle *ctx, double timeout) {
    return api()->waitEvent(ctx, timeout);
}

const char *mpv_error_string(int error) {
    const Api *a = api();
    return a ? a->errorString(error) : "sound library not loaded";
}

void mpv_set_wakeup_callback(mpv_handle *ctx, void (*cb)(void *d), void *d) {
    api()->setWakeupCallback(ctx, cb, d);
}

int mpv_set_property(mpv_handle *ctx, const char *name, mpv_format format, void *data) {
    return api()->setProperty(ctx, name, format, data);
}

int mpv_set_property_string(mpv_handle *ctx, const char *name, const char *data) {
    return api()->setPropertyString(ctx, name, data);
}

int mpv_get_property(mpv_handle *ctx, const char *name, mpv_format format, void *data) {
    return api()->getProperty(ctx, name, format, data);
}

char *mpv_get_property_string(mpv_handle *ctx, const char *name) {
    return api()->getPropertyString(ctx, name);
}

int mpv_observe_property(mpv_handle *mpv, uint64_t reply_userdata, const char *name,
                         mpv_format format) {
    return api()->observeProperty(mpv, reply_userdata, name, format);
}

int mpv_command(mpv_handle *ctx, const char **args) {
    return api()->command(ctx, args);
}

int mpv_command_async(mpv_handle *ctx, uint64_t reply_userdata, const char **args) {
    return api()->commandAsync(ctx, reply_userdata, args);
}

void mpv_free(void *data) {
    if (const Api *a = api()) a->free(data);
}

} // extern "C"
