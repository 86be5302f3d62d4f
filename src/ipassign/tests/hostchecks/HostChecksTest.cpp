#include "HostChecks.h"
#include "OperationView.h"
#include "platform/HostQuestions.h"

#include <QTest>

namespace
{

class FakeHost : public HostQuestions
{
public:
    bool administrator = false;
    std::optional<int> major = 10;
    std::string currency = "$";

    bool isAdministrator() override { return administrator; }
    std::optional<int> majorVersion() override { return major; }
    std::string currencySymbol() override { return currency; }
};

struct Box {
    QString text;
    QString title;
    BoxIcon icon;
};

class RecordingBoxes : public MessageBoxes
{
public:
    QList<Box> boxes;
    QStringList events;

    void showMessageBox(const QString &text, const QString &title, BoxIcon icon) override
    {
        boxes.append({text, title, icon});
        events.append("box " + title);
    }
};

// A host, the boxes it shows, and an end of the program that is recorded instead of taken.
struct Start {
    FakeHost host;
    RecordingBoxes boxes;
    HostChecks checks{host, boxes, [this] { boxes.events.append("end"); }};
};

const QString EnglishCaution = "You need to run this program as an administrator.\r\n"
                               "for example (Windows10),\r\n"
                               "Right-click context menu 'Run as administrator'";
const QString JapaneseCaution = "このアプリケーションは管理者権限で実行してください。\r\n"
                                "(Windows10での実行方法例)\r\n"
                                " Pelmora2.exeを実行時にマウス右クリック「管理者として実行」";
const QString EnglishNoNetwork =
    "The network environment of the IP address you want to set was not found. Please "
    "check your LAN settings or IP address.";
const QString JapaneseNoNetwork = "設定したいIPアドレスのネットワーク環境が見つかりませんでした。\r\n"
                                  "LAN設定またはIPアドレスをチェックしてください。\r\n"
                                  "操作を中止します。";

} // namespace

Q_DECLARE_METATYPE(std::optional<int>)

class HostChecksTest : public QObject
{
    Q_OBJECT

private slots:
    void cautionEndsTheProgramWithoutRights_data();
    void cautionEndsTheProgramWithoutRights();
    void startUpGoesOnSilently_data();
    void startUpGoesOnSilently();
    void refusedVersionShowsItsBoxThenEnds();
    void versionIsAskedAnewOnEveryCall();
    void networkBoxInTheLocalesWording_data();
    void networkBoxInTheLocalesWording();
};

void HostChecksTest::cautionEndsTheProgramWithoutRights_data()
{
    QTest::addColumn<QString>("currency");
    QTest::addColumn<QString>("text");
    QTest::newRow("dollar") << "$" << EnglishCaution;
    QTest::newRow("unknown locale") << "" << EnglishCaution;
    QTest::newRow("yen sign as such") << "¥" << EnglishCaution;
    QTest::newRow("two backslashes") << "\\\\" << EnglishCaution;
    QTest::newRow("backslash and more") << "\\ " << EnglishCaution;
    QTest::newRow("lone backslash") << "\\" << JapaneseCaution;
}

void HostChecksTest::cautionEndsTheProgramWithoutRights()
{
    QFETCH(QString, currency);
    QFETCH(QString, text);
    for (const int major : {6, 10}) {
        Start start;
        start.host.major = major;
        start.host.currency = currency.toStdString();
        QVERIFY(!start.checks.CheckAdminRights());
        QCOMPARE(start.boxes.boxes.size(), 1);
        QCOMPARE(start.boxes.boxes[0].text, text);
        QCOMPARE(start.boxes.boxes[0].title, QString("Caution"));
        QCOMPARE(start.boxes.boxes[0].icon, BoxIcon::Exclamation);
        QCOMPARE(start.boxes.events, QStringList({"box Caution", "end"}));
    }
}

void HostChecksTest::startUpGoesOnSilently_data()
{
    QTest::addColumn<bool>("administrator");
    QTest::addColumn<int>("major");
    QTest::newRow("administrator on a newer host") << true << 10;
    QTest::newRow("administrator on version 6") << true << 6;
    QTest::newRow("user on version 5") << false << 5;
    QTest::newRow("administrator on version 5") << true << 5;
}

void HostChecksTest::startUpGoesOnSilently()
{
    QFETCH(bool, administrator);
    QFETCH(int, major);
    Start start;
    start.host.administrator = administrator;
    start.host.major = major;
    QVERIFY(start.checks.CheckAdminRights());
    QVERIFY(start.boxes.events.isEmpty());
}

void HostChecksTest::refusedVersionShowsItsBoxThenEnds()
{
    for (const bool administrator : {false, true}) {
        Start start;
        start.host.administrator = administrator;
        start.host.major.reset();
        QVERIFY(!start.checks.CheckAdminRights());
        QCOMPARE(start.boxes.events, QStringList({"box Pelmora2", "end"})); // no caution after it
        QCOMPARE(start.boxes.boxes[0].text, QString("Cannot get Windows Version"));
        QCOMPARE(start.boxes.boxes[0].icon, BoxIcon::None);
    }
    Start direct;
    direct.host.major.reset();
    QVERIFY(!direct.checks.IsWinVer6OrLater());
    QCOMPARE(direct.boxes.events, QStringList({"box Pelmora2", "end"}));
}

void HostChecksTest::versionIsAskedAnewOnEveryCall()
{
    Start start;
    const QList<QPair<int, bool>> answers = {{5, false}, {6, true}, {10, true}, {4, false}};
    for (const auto &[major, newer] : answers) {
        start.host.major = major;
        QCOMPARE(start.checks.IsWinVer6OrLater(), newer);
    }
    QVERIFY(start.boxes.events.isEmpty());
}

void HostChecksTest::networkBoxInTheLocalesWording_data()
{
    QTest::addColumn<QString>("currency");
    QTest::addColumn<QString>("text");
    QTest::newRow("dollar") << "$" << EnglishNoNetwork;
    QTest::newRow("unknown locale") << "" << EnglishNoNetwork;
    QTest::newRow("euro") << "€" << EnglishNoNetwork;
    QTest::newRow("lone backslash") << "\\" << JapaneseNoNetwork;
}

void HostChecksTest::networkBoxInTheLocalesWording()
{
    QFETCH(QString, currency);
    QFETCH(QString, text);
    Start start;
    start.host.currency = currency.toStdString();
    start.checks.ShowNoNetworkMsg();
    QCOMPARE(start.boxes.boxes.size(), 1);
    QCOMPARE(start.boxes.boxes[0].text, text);
    QCOMPARE(start.boxes.boxes[0].title, QString("Error"));
    QCOMPARE(start.boxes.boxes[0].icon, BoxIcon::Exclamation);
    QVERIFY(!start.boxes.events.contains("end"));

    // The locale is looked at anew for every box.
    start.host.currency = currency == "\\" ? "$" : "\\";
    start.checks.ShowNoNetworkMsg();
    QCOMPARE(start.boxes.boxes[1].text, currency == "\\" ? EnglishNoNetwork : JapaneseNoNetwork);
}

QTEST_APPLESS_MAIN(HostChecksTest)
#include "HostChecksTest.moc"
