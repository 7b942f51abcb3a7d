#pragma once
#include <mosquitto.h>

#include <optional>
#include <string>

namespace qv::mqtt::qt {

/// libmosquitto's functions as the transport calls them, from the library loaded when the first
/// client is made: a run that publishes nothing (an export, most captures, the window without
/// MQTT) loads neither it nor the TLS libraries it takes, a few milliseconds of every start.
struct MosquittoLibrary {
    /// The system's libmosquitto.
    static constexpr const char *kFile = "libmosquitto.so.1";

    decltype(&::mosquitto_lib_init) libInit = nullptr;
    decltype(&::mosquitto_new) make = nullptr;
    decltype(&::mosquitto_destroy) destroy = nullptr;
    decltype(&::mosquitto_user_data_set) userDataSet = nullptr;
    decltype(&::mosquitto_connect_callback_set) connectCallbackSet = nullptr;
    decltype(&::mosquitto_disconnect_callback_set) disconnectCallbackSet = nullptr;
    decltype(&::mosquitto_publish_callback_set) publishCallbackSet = nullptr;
    decltype(&::mosquitto_log_callback_set) logCallbackSet = nullptr;
    decltype(&::mosquitto_int_option) intOption = nullptr;
    decltype(&::mosquitto_username_pw_set) usernamePwSet = nullptr;
    decltype(&::mosquitto_will_set) willSet = nullptr;
    decltype(&::mosquitto_tls_set) tlsSet = nullptr;
    decltype(&::mosquitto_connect) connect = nullptr;
    decltype(&::mosquitto_reconnect) reconnect = nullptr;
    decltype(&::mosquitto_loop_start) loopStart = nullptr;
    decltype(&::mosquitto_loop_stop) loopStop = nullptr;
    decltype(&::mosquitto_publish) publish = nullptr;
    decltype(&::mosquitto_disconnect) disconnect = nullptr;
    decltype(&::mosquitto_strerror) strerror = nullptr;
    decltype(&::mosquitto_connack_string) connackString = nullptr;

    /// Every function of the library file, which stays loaded for the run; nullopt with the
    /// reason in error when the file or one of the functions is missing.
    [[nodiscard]] static std::optional<MosquittoLibrary> load(std::string &error,
                                                              const char *file = kFile);
};

} // namespace qv::mqtt::qt
