#include "tests/mqtt/LocalBroker.h"

#include "tests/app/ProgramProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <ranges>
#include <regex>

// qvlink capture publishing to a real broker on this machine.
namespace qv::mqtt::test {
namespace {

using qv::test::Pty, qv::test::readings;

QJsonObject json(const std::string &text) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

/// The values of the reading payloads, in the order they came.
std::vector<int> values(const std::vector<std::string> &payloads) {
    std::vector<int> out;
    for (const auto &p : payloads)
        out.push_back(json(p)["value"].toInt());
    return out;
}

class MqttBrokerTest : public qv::test::ProgramProcess {
  protected:
    std::unique_ptr<LocalBroker> broker;

    void SetUp() override {
        if (LocalBroker::binary().empty())
            GTEST_SKIP() << "the mosquitto broker is not installed (Debian package mosquitto)";
        broker = std::make_unique<LocalBroker>(path("broker"));
        ASSERT_TRUE(broker->start());
    }
    QString url(const std::string &prefix, int port = 0, const char *scheme = "mqtt") const {
        return QString::fromStdString(std::string(scheme) + "://127.0.0.1:" +
                                      std::to_string(port ? port : broker->port) + "/" + prefix);
    }
    std::string contents(const std::string &n) const { return qv::test::contents(path(n)); }

    /// A capture publishing under prefix: readings 0-9, the broker stopped, 10-29, the broker
    /// back; SIGTERM once 29 arrived. The values received, the capture's stderr and CSV.
    struct Outage {
        std::vector<int> values;
        std::string err, csv;
    };
    Outage outage(const std::string &prefix, const QStringList &more) {
        Pty meter;
        Subscriber sub(broker->port, prefix + "/#", "test-sub");
        const std::string topic = prefix + "/m/reading";
        const auto has = [&topic](int value) {
            return [&topic, value](auto &got) {
                return std::ranges::count(values(Subscriber::on(got, topic)), value) > 0;
            };
        };
        QProcess p;
        start(p,
              QStringList{"capture", "--port", QString::fromStdString(meter.device), "--interval",
                          "0", "--dmm-csv", "o.csv", "--mqtt", url(prefix + "/m")} +
                  more);
        EXPECT_TRUE(fileHas(p, "o.csv", "# capture_started"));
        EXPECT_TRUE(meter.write(readings(0, 10)));
        EXPECT_TRUE(sub.waitFor(has(9)));
        broker->stop();
        EXPECT_TRUE(meter.write(readings(10, 20)));
        EXPECT_TRUE(fileHas(p, "o.csv", ",29,V "));
        EXPECT_TRUE(broker->start());
        EXPECT_TRUE(sub.waitFor(has(29)));
        ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
        const Run r = finish(p);
        EXPECT_EQ(r.code, 0);
        return {values(sub.on(topic)), r.err, contents("o.csv")};
    }
};

// Readings as CSV rows, frames as `info --json` gives them; "online" first, "offline" last.
TEST_F(MqttBrokerTest, ReadingsAndFramesArriveInOrderAsDocumented) {
    Subscriber sub(broker->port, "t/#");
    const Run r = run({"capture", "--demo", "dmm", "--interval", "0", "--count", "5", "--dmm-csv",
                       "r.csv", "--mqtt", url("t/m")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("kept 5 readings, 0 frames in "), std::string::npos);
    ASSERT_TRUE(
        sub.waitFor([](auto &got) { return !got.empty() && got.back().payload == "offline"; }));
    EXPECT_EQ(sub.on("t/m/status"), (std::vector<std::string>{"online", "offline"}));
    Subscriber later(broker->port, "t/m/status"); // the end's "offline" stays for those to come
    ASSERT_TRUE(later.waitFor([](auto &got) { return !got.empty(); }));
    EXPECT_EQ(std::pair(later.received()[0].payload, later.received()[0].retained),
              std::pair(std::string("offline"), true));
    const auto payloads = sub.on("t/m/reading");
    std::istringstream csv(contents("r.csv"));
    std::vector<std::string> rows;
    for (std::string line; std::getline(csv, line);)
        if (std::isdigit(static_cast<unsigned char>(line[0])))
            rows.push_back(line);
    ASSERT_EQ(std::pair(payloads.size(), rows.size()), std::pair(std::size_t{5}, std::size_t{5}));
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const QJsonObject o = json(payloads[k]);
        EXPECT_TRUE(rows[k].starts_with(o["time"].toString().toStdString() + ",")) << rows[k];
        EXPECT_EQ(o["unit"].toString() + "|" + o["mode"].toString(), "V|DC");
        EXPECT_EQ(o["si"].toDouble(), o["value"].toDouble());
        EXPECT_NE(rows[k].find("," + QString::number(o["value"].toDouble()).toStdString() + ",V"),
                  std::string::npos)
            << rows[k] << " " << payloads[k];
    }

    const Run f =
        run({"capture", "--demo", "dso", "--frames", "2", "--out-dir", "f", "--mqtt", url("t/s")});
    EXPECT_EQ(f.code, 0) << f.err;
    ASSERT_TRUE(sub.waitFor([](auto &got) {
        return got.back().topic == "t/s/status" && got.back().payload == "offline";
    }));
    const auto frames = sub.on("t/s/frame");
    const auto files = qv::test::listing(path("f"));
    ASSERT_EQ(std::pair(frames.size(), files.size()), std::pair(std::size_t{2}, std::size_t{2}));
    for (std::size_t k = 0; k < 2; ++k) {
        const QJsonObject o = json(frames[k]);
        EXPECT_EQ(o["volts"].toArray().size(), 256);
        EXPECT_EQ(o["sample_interval_s"].toDouble(), o["settings"]["sample_interval_s"].toDouble());
        const QString file = QString::fromStdString(files[k].string());
        const QJsonObject i = json(run({"info", "--json", file}).out);
        const std::string csv = run({"export", file, "--csv", "-"}).out; // the same volts
        std::istringstream rows(csv.substr(csv.find("index,time_s,volts\r\n") + 20));
        QJsonArray volts;
        for (std::string row; std::getline(rows, row);)
            volts.append(std::stod(row.substr(row.rfind(',') + 1)));
        EXPECT_EQ(o["volts"].toArray(), volts);
        for (const char *key : {"settings", "measurements", "wave_measurements"})
            EXPECT_EQ(o[key].toObject(), i[key].toObject()) << key << " of frame " << k;
    }
}

// A broker restarted mid-capture: every QoS 1 reading arrives, in order of first arrival.
TEST_F(MqttBrokerTest, ABrokerRestartedMidCaptureGetsEveryReading) {
    const Outage o = outage("r", {});
    std::vector<int> first;
    for (const int v : o.values)
        if (std::find(first.begin(), first.end(), v) == first.end())
            first.push_back(v);
    EXPECT_TRUE(std::ranges::equal(first, std::views::iota(0, 30)))
        << testing::PrintToString(first);
    EXPECT_EQ(o.err.find("dropped"), std::string::npos) << o.err;
}

// A queue of 5 in the outage: the oldest go, counted in the summary and the CSV; the rest arrive.
TEST_F(MqttBrokerTest, AFullQueueDropsTheOldestAndCountsThem) {
    const Outage o = outage("q", {"--mqtt-queue", "5"});
    std::smatch m;
    std::regex_search(o.err, m, std::regex(R"(, (\d+) dropped \(queue full\))"));
    const long dropped = m.empty() ? 0 : std::stol(m[1]);
    std::set<int> got(o.values.begin(), o.values.end()); // those sent in the outage, 10 to 29
    got.erase(got.begin(), got.lower_bound(10));
    EXPECT_EQ(long(got.size()) + dropped, 20) << o.err;
    // Under load the library may take the whole outage: then nothing is dropped or counted.
    const std::regex counted("# mqtt_dropped,[^,]+," + std::to_string(dropped) + "\r\n");
    EXPECT_TRUE(dropped ? std::regex_search(o.csv, counted)
                        : o.csv.find("# mqtt_dropped") == std::string::npos)
        << o.csv;
    EXPECT_TRUE(std::ranges::includes(got, std::views::iota(25, 30))) << "the newest five";
}

// kill -9: the broker publishes the capture's last will, retained for those who come later.
TEST_F(MqttBrokerTest, TheLastWillSaysOfflineAfterKill9) {
    Subscriber sub(broker->port, "w/m/status");
    QProcess p;
    start(p, {"capture", "--demo", "dmm", "--mqtt", url("w/m")});
    ASSERT_TRUE(sub.waitFor([](auto &got) { return !got.empty() && got[0].payload == "online"; }));
    Subscriber early(broker->port, "w/m/status"); // "online" stays while it runs
    ASSERT_TRUE(early.waitFor([](auto &got) { return !got.empty(); }));
    EXPECT_TRUE(early.received()[0].payload == "online" && early.received()[0].retained);
    ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
    p.waitForFinished();
    ASSERT_TRUE(sub.waitFor([](auto &got) { return got.back().payload == "offline"; }));
    Subscriber later(broker->port, "w/m/status");
    ASSERT_TRUE(later.waitFor([](auto &got) { return !got.empty(); }));
    EXPECT_EQ(later.received()[0].payload, "offline");
    EXPECT_TRUE(later.received()[0].retained);
}

// TLS and a password work; what stops a capture at start gives exit 4, the cause, no CSV.
TEST_F(MqttBrokerTest, TlsAndPasswordsWorkAndBadSettingsEndWithExitFour) {
    // Two CAs, the broker's certificate from the first, and bob's password.
    QProcess sh;
    sh.setWorkingDirectory(dir.path());
    sh.start("sh", {"-ec", R"(key="openssl req -newkey rsa:2048 -nodes -days 2 -keyout"
        $key ca.key -out ca.crt -x509 -subj /CN=test_CA
        $key other.key -out other.crt -x509 -subj /CN=other_CA
        $key server.key -out server.csr -subj /CN=localhost
        echo subjectAltName=IP:127.0.0.1,DNS:localhost >san.cnf
        openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -days 2 \
            -out server.crt -extfile san.cnf
        mosquitto_passwd -b -c pw bob secret && echo secret >secret.txt)"});
    ASSERT_TRUE(sh.waitForFinished() && sh.exitCode() == 0)
        << sh.readAllStandardError().toStdString();
    LocalBroker tls(path("tls"), "cafile " + path("ca.crt") + "\ncertfile " + path("server.crt") +
                                     "\nkeyfile " + path("server.key") + "\n");
    LocalBroker auth(path("auth"), "password_file " + path("pw") + "\n", false);
    ASSERT_TRUE(tls.start() && auth.start());
    const QString bob = "mqtt://bob@127.0.0.1:" + QString::number(auth.port) + "/a";
    const SilentHost silent;
    QProcess quiet; // given up after 10 s, while the cases below run
    start(quiet, {"capture", "--demo", "dmm", "--count", "1", "--mqtt", url("s", silent.port)});
    // arguments after --mqtt; QVLINK_MQTT_PASSWORD; the exit code; a part of stderr
    // clang-format off
    const std::tuple<QStringList, const char *, int, std::string> cases[] = {
        {{url("s", tls.port, "mqtts"), "--mqtt-ca", "ca.crt"}, "", 0, "; mqtt: 4 published\n"},
        {{bob, "--mqtt-password-file", "secret.txt", "--mqtt-id", "bench-7"}, "wrong", 0,
         "; mqtt: 4 published\n"},
        {{url("s", tls.port, "mqtts"), "--mqtt-ca", "other.crt"}, "", 4, "qvlink: the TLS "
         "handshake with the MQTT broker at 127.0.0.1:" + std::to_string(tls.port) +
         " failed: certificate verify failed\n"},
        {{bob}, "wrong", 4, "qvlink: the MQTT broker at 127.0.0.1:" + std::to_string(auth.port) +
         " refused the connection: not authorised\n"},
        {{url("s", LocalBroker(path("none")).port)}, "", 4, "Connection refused\n"},
        {{"mqtt://no-such-host.invalid/s"}, "", 4,
         "qvlink: cannot find the MQTT broker's host no-such-host.invalid: "},
    };
    // clang-format on
    for (const auto &[args, password, code, message] : cases) {
        std::filesystem::remove(path("x.csv"));
        const Run r = run(QStringList{"capture", "--demo", "dmm", "--interval", "0", "--count", "2",
                                      "--dmm-csv", "x.csv", "--mqtt"} +
                              args,
                          {QString("QVLINK_MQTT_PASSWORD=") + password});
        EXPECT_EQ(r.code, code) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos)
            << args.join(QChar(32)).toStdString() << ": " << r.err;
        EXPECT_EQ(std::filesystem::exists(path("x.csv")), code == 0) << r.err;
    }
    EXPECT_NE(contents("auth/broker.log").find(" as bench-7 "), std::string::npos); // its client id
    const Run r = finish(quiet);
    EXPECT_EQ(std::pair(r.code, r.err),
              std::pair(4, "qvlink: no answer from the MQTT broker at 127.0.0.1:" +
                               std::to_string(silent.port) + " within 10 s\n"));
}

} // namespace
} // namespace qv::mqtt::test
