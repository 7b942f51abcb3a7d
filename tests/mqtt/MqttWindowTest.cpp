#include "app/qt/MqttDialog.h"
#include "app/qt/MqttPublishing.h"
#include "mqtt/fakes/FakeSettingsStore.h"
#include "tests/app/WindowFixture.h"
#include "tests/mqtt/LocalBroker.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>

namespace qv::app::qt {
namespace {

using mqtt::test::LocalBroker;
using mqtt::test::Subscriber;

class MqttWindowTest : public WindowFixture {
  protected:
    mqtt::fakes::FakeSettingsStore store;
    MqttPublishing mqtt{program, window, store};

    QString panelOneTip() const {
        return window.statusBar()->findChildren<QLabel *>().front()->toolTip();
    }
    /// Runs the event loop until done() or for 10 s.
    static bool until(const std::function<bool()> &done) {
        for (auto end = LocalBroker::deadline(10000); std::chrono::steady_clock::now() < end;) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            if (done())
                return true;
        }
        return false;
    }
    bool tipSays(const QString &text) const {
        return until([&] { return panelOneTip().contains(text); });
    }
};

// Record gains "MQTT…" and the check item; the password is kept only when "remember" is ticked.
TEST_F(MqttWindowTest, TheRecordMenuGainsTheSettingsWhichKeepThePasswordOnlyWhenAsked) {
    const QList<QAction *> items = window.action("mnuDMMrecord")->menu()->actions();
    ASSERT_GE(items.size(), 4);
    EXPECT_EQ(std::tuple(items.back()->text(), items.back()->isCheckable(),
                         items[items.size() - 2]->text(), items[items.size() - 4]),
              std::tuple("发布到 MQTT", true, "MQTT…", window.action("mnuTrend")));
    for (const bool remember : {false, true}) {
        mqtt.askSettings = [remember](const mqtt::StoredSettings &shown) {
            mqtt::StoredSettings s = shown;
            s.url = "mqtt://bob@127.0.0.1/lab";
            s.password = "secret";
            s.rememberPassword = remember;
            return std::optional(s);
        };
        mqtt.settingsAction()->trigger();
        EXPECT_EQ(std::tuple(store.kept.url, store.kept.password),
                  std::tuple("mqtt://bob@127.0.0.1/lab", remember ? "secret" : ""));
    }

    MqttDialog dialog(store.kept);
    EXPECT_EQ(std::tuple(dialog.url->text(), dialog.remember->isChecked()),
              std::tuple("mqtt://bob@127.0.0.1/lab", true));
    dialog.url->setText("mqtt://127.0.0.1"), dialog.accept();
    EXPECT_EQ(std::tuple(dialog.problem->isHidden(),
                         dialog.problem->text().contains("a topic prefix after the host"),
                         dialog.result()),
              std::tuple(false, true, int(QDialog::Rejected)));
}

// On: readings reach the broker and panel 1's tip tells its state; a refusing broker turns it off.
TEST_F(MqttWindowTest, PublishingOnShowsTheBrokersStateAndSendsLiveReadings) {
    if (LocalBroker::binary().empty())
        GTEST_SKIP() << "the mosquitto broker is not installed (Debian package mosquitto)";
    LocalBroker broker(dir.path().toStdString());
    ASSERT_TRUE(broker.start());
    Subscriber sub(broker.port, "w/#");
    store.kept.url = "mqtt://127.0.0.1:" + std::to_string(broker.port) + "/w";
    mqtt.publishAction()->setChecked(true);
    ASSERT_TRUE(tipSays("MQTT: 已连接到 127.0.0.1:" + QString::number(broker.port)));
    fp.port.ports[1] = {.cable = true};
    program.commands().clickMenu("mnuLink");
    const std::string reading("\xFF 1.234 V   DC   \x06\0\0", 20);
    for (int k = 0; k < 2; ++k) // after the link comes up the first packet only starts the stream
        fp.port.deliver({reading.begin(), reading.end()});
    ASSERT_TRUE(sub.waitFor([](auto &got) { return !Subscriber::on(got, "w/reading").empty(); }));
    const QJsonObject o =
        QJsonDocument::fromJson(QByteArray::fromStdString(sub.on("w/reading")[0])).object();
    EXPECT_EQ(std::tuple(o["value"].toDouble(), o["unit"].toString()), std::tuple(1.234, "V"));
    broker.stop();
    ASSERT_TRUE(tipSays("的连接已断开，正在重试"));
    mqtt.publishAction()->setChecked(false);
    EXPECT_TRUE(panelOneTip().endsWith("MQTT: 未发布")) << panelOneTip().toStdString();

    store.kept.url = "mqtt://127.0.0.1:" + std::to_string(LocalBroker(".").port) + "/w";
    mqtt.publishAction()->setChecked(true);
    ASSERT_TRUE(until([&] { return !fp.messages.shown.empty(); }));
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_NE(fp.messages.shown[0].text.find("Connection refused"), std::string::npos);
    EXPECT_FALSE(mqtt.publishAction()->isChecked());

    // Turned off while a host never answers: at once, not when the system gives up.
    const mqtt::test::SilentHost silent;
    store.kept.url = "mqtt://127.0.0.1:" + std::to_string(silent.port) + "/w";
    const auto end = LocalBroker::deadline(5000);
    mqtt.publishAction()->setChecked(true);
    ASSERT_TRUE(tipSays("MQTT: 正在连接"));
    mqtt.publishAction()->setChecked(false);
    EXPECT_LT(std::chrono::steady_clock::now(), end) << "waited for the silent host";
}

} // namespace
} // namespace qv::app::qt
