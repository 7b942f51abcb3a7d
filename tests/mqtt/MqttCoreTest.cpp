#include "mqtt/Discovery.h"
#include "mqtt/Payloads.h"
#include "mqtt/Publisher.h"
#include "mqtt/SettingsStore.h"
#include "mqtt/fakes/FakeTransport.h"
#include "mqtt/qt/MosquittoLibrary.h"
#include "platform/fakes/FakeLinkServices.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace qv::mqtt {
namespace {

TEST(BrokerUrl, ReadsTheFourPartsOrSaysWhatIsMissing) {
    // url; tls, user, host:port, prefix
    const std::tuple<const char *, bool, const char *, const char *, const char *> good[] = {
        {"mqtt://localhost/lab", false, "", "localhost:1883", "lab"},
        {"MQTTS://bob%40lab@[::1]:8884/a/b/", true, "bob@lab", "[::1]:8884", "a/b"},
        {"mqtts://10.0.0.7/m", true, "", "10.0.0.7:8883", "m"},
        {"mqtt://h:65535/p", false, "", "h:65535", "p"},
        {"mqtt://h:1/p", false, "", "h:1", "p"},
        {"mqtt://x%39%4a%4B%30@h/p", false, "x9JK0", "h:1883", "p"}, // escapes: 9, a, B, 0
    };
    for (const auto &[text, tls, user, hostPort, prefix] : good) {
        std::string error;
        const auto url = parseBrokerUrl(text, error);
        ASSERT_TRUE(url) << text << ": " << error;
        EXPECT_EQ(std::tuple(url->tls, url->user, url->hostPort(), url->prefix),
                  std::tuple(tls, std::string(user), std::string(hostPort), std::string(prefix)));
    }
    // clang-format off
    const std::pair<const char *, const char *> bad[] = {
        {"http://h/p", "the scheme mqtt:// or mqtts://"}, {"mqtt://h", "a topic prefix after the host"},
        {"mqtt://bob:pw@h/p", "no password (give it in QVLINK_MQTT_PASSWORD"},
        {"mqtt://h:0/p", "a port from 1 to 65535"}, {"mqtt://h:65536/p", "a port from 1 to 65535"},
        {"mqtt://h:4294967297/p", "a port from 1"}, {"mqtt://h:8x/p", "a port from 1"},
        {"mqtt://h:/p", "a port after the colon"}, {"mqtt://h/a/#", "without the wildcards"},
        {"mqtt://h/a//b", "without empty levels"}, {"mqtt:///p", "a host name"},
        {"mqtt://[::1/p", "an IPv6 address closed by ]"}, {"mqtt://[::1]x/p", "a port after the IPv6"},
        {"mqtt://@h/p", "a user name that is not empty"}, {"mqtt://a%4@h/p", "its escapes whole"},
        {"mqtt://a%0a@h/p", "a user name that is not empty"},
        {"mqtt://h/a\tb", "without control characters"}, {"mqtt://[::1]:/p", "a port after the colon"}};
    // clang-format on
    for (const auto &[text, reason] : bad) {
        std::string error;
        EXPECT_FALSE(parseBrokerUrl(text, error)) << text;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
    EXPECT_EQ(defaultClientId("bench1", "/dev/serial/by-id/usb-FTDI 1"),
              "qvlink-bench1-usb-FTDI_1");
}

TEST(Payloads, AReadingInItsUnitWithTheSiValueModeAndRecord) {
    const std::string common = R"({"time":"T",)";
    const std::pair<const char *, std::string> rows[] = {
        {"  10:15:03     1.234 V  DC     ",
         R"("value":1.234,"unit":"V","mode":"DC","text":" 1.234V  DC     ","model":"M","si":1.234,"si_unit":"V"})"},
        {"  10:15:03    -1.234 mV AC     ",
         R"("value":-1.234,"unit":"mV","mode":"AC","text":"-1.234mV AC     ","model":"M","si":-0.001234,"si_unit":"V"})"},
        {"  10:15:04      OL   M ohm     ",
         R"("value":null,"unit":"M ohm","mode":"","text":"  OL  M ohm     ","model":"M"})"},
        {"  10:15:05     4.700 kOhm      ",
         R"("value":4.7,"unit":"kOhm","mode":"","text":" 4.700kOhm      ","model":"M","si":4700,"si_unit":"Ohm"})"},
        {"  10:15:06     150.0 ohm       ",
         R"("value":150,"unit":"ohm","mode":"","text":" 150.0ohm       ","model":"M","si":150,"si_unit":"Ohm"})"},
        {"  No.5 :   23.5 C  TEMP   ",
         R"("value":23.5,"unit":"C","mode":"TEMP","text":" 23.5 C  TEMP   ","model":"M","record":"No.5"})"},
        {"some \"text\"\\\x01\x1f",
         R"("value":null,"unit":"","mode":"","text":"some \"text\"\\\u0001\u001f","model":"M"})"},
    };
    for (const auto &[line, rest] : rows)
        EXPECT_EQ(readingPayload("T", line, "M"), common + rest) << line;
    EXPECT_EQ(readingUnit("  10:15:04      OL   M ohm     "), "M ohm");
}

struct Fixture {
    fakes::FakeTransport transport;
    platform::fakes::FakeTimer timer;
    Publisher publisher;
    explicit Fixture(int qos = 1)
        : publisher(transport, timer,
                    {.url = {.user = {}, .host = "h", .prefix = {}},
                     .qos = qos,
                     .queueLimit = 5,
                     .window = 2,
                     .online = {"p/status", "online", true}}) {}
    std::vector<std::string> payloads() const {
        std::vector<std::string> out;
        for (const auto &s : transport.sent)
            out.push_back(s.message.payload);
        return out;
    }
    void publish(int from, int to) {
        for (int n = from; n <= to; ++n)
            publisher.publish({"p/reading", std::to_string(n)});
    }
};

TEST(Publisher, AFailedStartIsFinalALossIsRetriedWithGrowingWaitsTheQueueDrainsInOrder) {
    const std::tuple<Failure::Kind, const char *, const char *> cases[] = {
        {Failure::Kind::Refused, "not authorised",
         "the MQTT broker at h:1883 refused the connection: not authorised"},
        {Failure::Kind::Lookup, "Name or service not known",
         "cannot find the MQTT broker's host h: Name or service not known"},
        {Failure::Kind::Silent, "", "no answer from the MQTT broker at h:1883 within 10 s"},
    };
    for (const auto &[kind, detail, text] : cases) {
        Fixture f;
        f.publisher.start();
        EXPECT_EQ(f.transport.connects, 1);
        if (kind == Failure::Kind::Silent)
            f.timer.fire(); // the start's deadline
        else
            f.transport.fail(kind, detail);
        EXPECT_EQ(std::tuple(f.publisher.state(), f.publisher.failure(), f.timer.active()),
                  std::tuple(Publisher::State::Failed, text, false));
        f.publish(1, 1);
        EXPECT_EQ(
            std::tuple(f.transport.connects, f.transport.disconnects, f.transport.sent.size()),
            std::tuple(1, 1, 0u)); // the attempt itself ended too
    }

    // Lost after a start: tried again after 1, 2, 4 ... 30 s; the full queue drops its oldest; the
    // rest goes out in order after "online", two unacknowledged at a time; the waits start over.
    Fixture f;
    f.publisher.start();
    f.transport.connected();
    f.publish(0, 2);
    EXPECT_EQ(f.payloads(), (std::vector<std::string>{"online", "0"})); // 2 unacknowledged
    f.transport.ackAll(), f.transport.ackAll();
    EXPECT_EQ(f.publisher.published(), 4); // with "online"
    f.transport.fail(Failure::Kind::Lost, "The connection was lost.");
    EXPECT_EQ(f.publisher.state(), Publisher::State::Waiting);
    f.publish(3, 9);
    EXPECT_EQ(std::tuple(f.publisher.dropped(), f.publisher.waiting()), std::tuple(2LL, 5LL));
    std::vector<int> waits;
    for (int attempt = 0; attempt < 7; ++attempt) {
        waits.push_back(f.timer.intervalMs);
        f.timer.fire();
        f.transport.fail(Failure::Kind::Connect, "Connection refused");
    }
    EXPECT_EQ(std::tuple(waits, f.transport.connects, f.publisher.failure().empty()),
              std::tuple(std::vector<int>{1000, 2000, 4000, 8000, 16000, 30000, 30000}, 8, false));
    f.timer.fire(), f.timer.fire(); // the second tick finds the retry over: no second connect
    f.transport.connected();
    EXPECT_EQ(std::pair(f.publisher.failure(), f.transport.connects), std::pair(std::string(), 9))
        << "no stale reason once up again";
    for (int k = 0; k < 4; ++k)
        f.transport.ackAll();
    EXPECT_EQ(f.payloads(), (std::vector<std::string>{"online", "0", "1", "2", "online", "5", "6",
                                                      "7", "8", "9"}));
    EXPECT_EQ(f.publisher.waiting(), 0);
    f.transport.fail(Failure::Kind::Lost, "");
    EXPECT_EQ(f.timer.intervalMs, 1000);

    // At QoS 0 messages handed over before a loss do not hold the window shut after reconnecting.
    Fixture z(0);
    z.publisher.start();
    z.transport.connected();
    z.publish(0, 1);
    z.transport.fail(Failure::Kind::Lost, "");
    z.timer.fire();
    z.transport.connected();
    EXPECT_EQ(z.payloads(), (std::vector<std::string>{"online", "0", "online", "1"}));
    EXPECT_EQ(z.transport.sent.back().qos, 0);
    z.transport.fail(Failure::Kind::Lost, ""); // closed while waiting to try again
    z.publisher.close();
    EXPECT_EQ(std::tuple(z.publisher.state(), z.transport.disconnects, z.timer.active()),
              std::tuple(Publisher::State::Closed, 1, false));
}

TEST(Discovery, EveryConfigFirstTheReadingsAgainWhenTheUnitChanges) {
    Discovery d("lab/m1", "qvlink-pc/1");
    const auto first = d.before("V");
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(std::tuple(first[0].topic, first[0].retain),
              std::tuple("homeassistant/sensor/qvlink-pc_1/reading/config", true));
    const QJsonObject reading = QJsonDocument::fromJson(first[0].payload.c_str()).object();
    EXPECT_EQ(reading["state_topic"].toString(), "lab/m1/reading");
    EXPECT_EQ(reading["unit_of_measurement"].toString(), "V");
    EXPECT_EQ(reading["availability"][0]["topic"].toString(), "lab/m1/status");
    EXPECT_EQ(QJsonDocument::fromJson(first[2].payload.c_str())["value_template"].toString(),
              "{{ value_json.measurements.frequency.value }}");
    EXPECT_TRUE(d.before("V").empty());
    const auto again = d.before("mV");
    ASSERT_EQ(again.size(), 1u);
    EXPECT_NE(again[0].payload.find(R"("unit_of_measurement":"mV")"), std::string::npos);
}

// The window's stored settings as the publisher takes them: QoS 0 or 1, a queue of at least one,
// the password only with a user, TLS files only for mqtts, the window's own client id by default.
TEST(SettingsStore, StoredSettingsAsThePublisherTakesThem) {
    // url, qos, queue; qos, queue, password, CA, certificate and key files, client id
    const std::tuple<const char *, int, long long, int, std::size_t, const char *, const char *,
                     const char *>
        rows[] = {
            {"mqtt://h/p", 0, 0, 0, 1, "", "  ", "qvlink-bench-window"},
            {"mqtts://bob@h/p", 2, 7, 1, 7, "pw", "ca.pem c.pem k.pem", "id"},
        };
    std::string error;
    StoredSettings stored;
    stored.caFile = "ca.pem", stored.certFile = "c.pem", stored.keyFile = "k.pem";
    for (const auto &[url, qos, queue, wantQos, wantQueue, password, tls, id] : rows) {
        stored.url = url, stored.password = "pw", stored.qos = qos;
        stored.clientId = std::string(id) == "id" ? "id" : "", stored.queueLimit = queue;
        const auto s = publishSettingsOf(stored, "bench", error);
        ASSERT_TRUE(s) << error;
        EXPECT_EQ(std::tuple(s->qos, s->queueLimit, s->password.value_or(""),
                             s->caFile + " " + s->certFile + " " + s->keyFile, s->clientId),
                  std::tuple(wantQos, wantQueue, std::string(password), std::string(tls),
                             std::string(id)))
            << url;
    }
    stored.url = "http://h/p";
    EXPECT_FALSE(publishSettingsOf(stored, "bench", error));
}

// Loaded by the first client, not at start: without it (or with another) the program still runs.
TEST(MosquittoLibrary, LoadsTheSystemsOrSaysWhatIsMissing) {
    std::string error;
    const auto lib = qt::MosquittoLibrary::load(error);
    ASSERT_TRUE(lib) << error;
    EXPECT_STREQ(lib->strerror(MOSQ_ERR_NO_CONN), "The client is not currently connected.");
    EXPECT_FALSE(qt::MosquittoLibrary::load(error, "libqvlink-none.so.1"));
    EXPECT_TRUE(error.starts_with("MQTT needs libqvlink-none.so.1: ")) << error;
    EXPECT_FALSE(qt::MosquittoLibrary::load(error, "libz.so.1"));
    EXPECT_EQ(error, "MQTT needs libz.so.1 with mosquitto_lib_init (an older version?)");
}

} // namespace
} // namespace qv::mqtt
