#include "HostChecks.h"
#include "FakeHostQuestions.h"
#include "RecordingBoxes.h"

#include <QTest>

namespace
{

// A host to ask, a recorder of the boxes, and an end of the program that is recorded instead of taken.
struct Start {
    FakeHostQuestions host;
    RecordingBoxes boxes;
    // The Windows wording; the POSIX host's own test checks its wording.
    HostChecks checks{host, boxes, [this] { boxes.shown << "end"; }, RightsHowTo::RunAsAdministrator};
};

const QString EnglishCaution = "Exclamation Caution: You need to run this program as an administrator.\r\n"
                               "for example (Windows10),\r\n"
                               "Right-click context menu 'Run as administrator'";
const QString JapaneseCaution =
    "Exclamation Caution: このアプリケーションは管理者権限で実行してください。\r\n"
    "(Windows10での実行方法例)\r\n"
    " Pelmora2.exeを実行時にマウス右クリック「管理者として実行」";
const QString EnglishNoNetwork =
    "Exclamation Error: The network environment of the IP address you want to set was not "
    "found. Please check your LAN settings or IP address.";
const QString JapaneseNoNetwork =
    "Exclamation Error: 設定したいIPアドレスのネットワーク環境が見つかりませんでした。\r\n"
    "LAN設定またはIPアドレスをチェックしてください。\r\n"
    "操作を中止します。";

} // namespace

class HostChecksTest : public QObject
{
    Q_OBJECT

private slots:
    // The start-up check, then the network box, on hosts that differ in rights, version and currency.
    void startUp_data()
    {
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<int>("major"); // 0: the host refuses to tell
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("box"); // shown at start-up, then the program ends
        QTest::addColumn<QString>("network");
        QTest::newRow("user, dollar") << false << 10 << "$" << EnglishCaution << EnglishNoNetwork;
        QTest::newRow("user, unknown locale") << false << 6 << "" << EnglishCaution << EnglishNoNetwork;
        QTest::newRow("user, two backslashes") << false << 10 << "\\\\" << EnglishCaution << EnglishNoNetwork;
        QTest::newRow("user, lone backslash") << false << 10 << "\\" << JapaneseCaution << JapaneseNoNetwork;
        QTest::newRow("administrator, lone backslash")
            << true << 10 << "\\" << QString() << JapaneseNoNetwork;
        QTest::newRow("user on version 5") << false << 5 << "$" << QString() << EnglishNoNetwork;
        QTest::newRow("version refused") << true << 0 << "$"
                                         << "None Pelmora2: Cannot get Windows Version" << EnglishNoNetwork;
    }

    void startUp()
    {
        QFETCH(bool, administrator);
        QFETCH(int, major);
        QFETCH(QString, currency);
        QFETCH(QString, box);
        QFETCH(QString, network);
        Start start;
        start.host.administrator = administrator;
        start.host.major = major == 0 ? std::nullopt : std::optional<int>(major);
        start.host.currency = currency.toStdString();

        QCOMPARE(start.checks.CheckAdminRights(), box.isEmpty());
        QCOMPARE(start.boxes.shown, box.isEmpty() ? QStringList() : (QStringList{box, "end"}));

        start.boxes.shown.clear();
        start.checks.ShowNoNetworkMsg();
        QCOMPARE(start.boxes.shown, QStringList{network});
    }
};

QTEST_APPLESS_MAIN(HostChecksTest)
#include "HostChecksTest.moc"
