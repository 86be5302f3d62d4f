#include "HostChecks.h"
#include "FakeHostQuestions.h"
#include "RecordingBoxes.h"

#include <QTest>

#include <locale.h>

namespace
{

const QString EnglishCaution = "Exclamation Caution: You need to run this program as an administrator.\r\n"
                               "for example (Windows10),\r\n"
                               "Right-click context menu 'Run as administrator'";
const QString JapaneseCaution =
    "Exclamation Caution: このアプリケーションは管理者権限で実行してください。\r\n"
    "(Windows10での実行方法例)\r\n"
    " Pelmora2.exeを実行時にマウス右クリック「管理者として実行」";
const QString LinuxEnglishCaution =
    "Exclamation Caution: You need to run this program as an administrator.\r\n"
    "for example (Linux),\r\n"
    "add yourself to the group pelmora2 (installed package), or run as root";
const QString LinuxJapaneseCaution =
    "Exclamation Caution: このアプリケーションは管理者権限で実行してください。\r\n"
    "(Linuxでの実行方法例)\r\n"
    " 自分をグループpelmora2に追加(インストール済みパッケージ)、またはrootで実行";
const QString EnglishNoNetwork =
    "Exclamation Error: The network environment of the IP address you want to set was not "
    "found. Please check your LAN settings or IP address.";
const QString JapaneseNoNetwork =
    "Exclamation Error: 設定したいIPアドレスのネットワーク環境が見つかりませんでした。\r\n"
    "LAN設定またはIPアドレスをチェックしてください。\r\n"
    "操作を中止します。";

} // namespace

Q_DECLARE_METATYPE(RightsHowTo)

class HostChecksTest : public QObject
{
    Q_OBJECT

private slots:
    // The start-up check, then the network box, on hosts that differ in rights, version, currency and in
    // how one gets the rights there.
    void startUp_data()
    {
        QTest::addColumn<bool>("administrator");
        QTest::addColumn<int>("major"); // 0: the host refuses to tell
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("box"); // shown at start-up, then the program ends
        QTest::addColumn<QString>("network");
        QTest::addColumn<RightsHowTo>("howTo");
        const auto row = [](const char *name, bool administrator, int major, const char *currency,
                            const QString &box, const QString &network,
                            RightsHowTo howTo = RightsHowTo::RunAsAdministrator) {
            QTest::newRow(name) << administrator << major << QString(currency) << box << network << howTo;
        };
        row("user, dollar", false, 10, "$", EnglishCaution, EnglishNoNetwork);
        row("user, two backslashes", false, 10, "\\\\", EnglishCaution, EnglishNoNetwork);
        row("user, lone backslash", false, 10, "\\", JapaneseCaution, JapaneseNoNetwork);
        row("administrator, lone backslash", true, 10, "\\", QString(), JapaneseNoNetwork);
        row("user on version 5", false, 5, "$", QString(), EnglishNoNetwork);
        row("version refused", true, 0, "$", "None Pelmora2: Cannot get Windows Version", EnglishNoNetwork);
        row("Linux user, no currency", false, 6, "", LinuxEnglishCaution, EnglishNoNetwork,
            RightsHowTo::SudoOrCapability);
        row("Linux user, lone backslash", false, 6, "\\", LinuxJapaneseCaution, JapaneseNoNetwork,
            RightsHowTo::SudoOrCapability);
    }

    void startUp()
    {
        QFETCH(bool, administrator);
        QFETCH(int, major);
        QFETCH(QString, currency);
        QFETCH(QString, box);
        QFETCH(QString, network);
        QFETCH(RightsHowTo, howTo);
        FakeHostQuestions host;
        host.administrator = administrator;
        host.major = major == 0 ? std::nullopt : std::optional<int>(major);
        host.currency = currency.toStdString();
        RecordingBoxes boxes;
        HostChecks checks(
            host, boxes, [&boxes] { boxes.shown << "end"; }, howTo); // the end recorded, not taken

        QCOMPARE(checks.CheckAdminRights(), box.isEmpty());
        QCOMPARE(boxes.shown, box.isEmpty() ? QStringList() : (QStringList{box, "end"}));

        boxes.shown.clear();
        checks.ShowNoNetworkMsg();
        QCOMPARE(boxes.shown, QStringList{network});
    }

#ifndef _WIN32
    // This host's own answers: the interface-aware neighbour command, and under a Japanese locale the yen
    // sign read as the lone backslash that selects the Japanese wording.
    void posixHostAnswers()
    {
        const auto host = CreateHostQuestions();
        QCOMPARE(host->majorVersion(), std::optional<int>(6));
        qputenv("LC_ALL", "C");
        QCOMPARE(host->currencySymbol(), std::string());
        if (locale_t japanese = newlocale(LC_ALL_MASK, "ja_JP.UTF-8", nullptr); japanese == nullptr)
            QSKIP("no ja_JP.UTF-8 locale here; scripts/setup.sh --test generates one");
        else
            freelocale(japanese);
        qputenv("LC_ALL", "ja_JP.UTF-8");
        QCOMPARE(host->currencySymbol(), std::string("\\"));
    }
#endif
};

QTEST_APPLESS_MAIN(HostChecksTest)
#include "HostChecksTest.moc"
