#include "mqtt/qt/MosquittoLibrary.h"

#include <dlfcn.h>

namespace qv::mqtt::qt {
namespace {

/// One function by name; false (its name in missing) when the library has none.
template <typename Function>
bool bind(void *library, const char *name, Function &function, std::string &missing) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    if (!function)
        missing = name;
    return function != nullptr;
}

} // namespace

std::optional<MosquittoLibrary> MosquittoLibrary::load(std::string &error, const char *file) {
    void *library = ::dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char *why = ::dlerror();
        error = std::string("MQTT needs ") + file + ": " + (why ? why : "it cannot be loaded");
        return std::nullopt;
    }
    MosquittoLibrary l;
    std::string missing;
    const bool all =
        bind(library, "mosquitto_lib_init", l.libInit, missing) &&
        bind(library, "mosquitto_new", l.make, missing) &&
        bind(library, "mosquitto_destroy", l.destroy, missing) &&
        bind(library, "mosquitto_user_data_set", l.userDataSet, missing) &&
        bind(library, "mosquitto_connect_callback_set", l.connectCallbackSet, missing) &&
        bind(library, "mosquitto_disconnect_callback_set", l.disconnectCallbackSet, missing) &&
        bind(library, "mosquitto_publish_callback_set", l.publishCallbackSet, missing) &&
        bind(library, "mosquitto_log_callback_set", l.logCallbackSet, missing) &&
        bind(library, "mosquitto_int_option", l.intOption, missing) &&
        bind(library, "mosquitto_username_pw_set", l.usernamePwSet, missing) &&
        bind(library, "mosquitto_will_set", l.willSet, missing) &&
        bind(library, "mosquitto_tls_set", l.tlsSet, missing) &&
        bind(library, "mosquitto_connect", l.connect, missing) &&
        bind(library, "mosquitto_reconnect", l.reconnect, missing) &&
        bind(library, "mosquitto_loop_start", l.loopStart, missing) &&
        bind(library, "mosquitto_loop_stop", l.loopStop, missing) &&
        bind(library, "mosquitto_publish", l.publish, missing) &&
        bind(library, "mosquitto_disconnect", l.disconnect, missing) &&
        bind(library, "mosquitto_strerror", l.strerror, missing) &&
        bind(library, "mosquitto_connack_string", l.connackString, missing);
    if (!all) {
        error = std::string("MQTT needs ") + file + " with " + missing + " (an older version?)";
        return std::nullopt;
    }
    return l;
}

} // namespace qv::mqtt::qt
