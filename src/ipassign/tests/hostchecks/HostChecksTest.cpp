#include "HostChecks.h"
#include "OperationView.h"
#include "platform/HostQuestions.h"

#include <QTest>

namespace
{

// A host to ask, a recorder of the boxes, and an end of the program that is recorded instead of taken.
struct Start : HostQuestions, MessageBoxes {
    bool isAdministrator() override { return administrator; }
    std::optional<int> majorVersion() override { return major; }
    std::string currencySymbol() override { return currency.toStdString(); }
    void showMessageBox(const QString &text, const QString &title, BoxIcon icon) override
    {
        events << title + ", " + QStringList{"no icon", "critical", "exclamation", "information"}[int(icon)] +
                      ": " + text;
    }

    bool administrator = false;
    std::optional<int> major;
    QString currency;
    QStringList events;
    // The Windows wording; the POSIX host's own test checks its wording.
    HostChecks checks{*this, *this, [this] { events << "end"; }, RightsHowTo::RunAsAdministrator};
};

const QString EnglishCaution = "Caution, exclamation: You need to run this program as an administrator.\r\n"
                               "for example (Windows10),\r\n"
                               "Right-click context menu 'Run as administrator'";
const QString JapaneseCaution =
    "Caution, exclamation: このアプリケーションは管理者権限で実行してください。\r\n"
    "(Windows10での実行方法例)\r\n"
    " Pelmora2.exeを実行時にマウス右クリック「管理者として実行」";
const QString EnglishNoNetwork =
    "Error, exclamation: The network environment of the IP address you want to set was not "
    "found. Please check your LAN settings or IP address.";
const QString JapaneseNoNetwork =
    "Error, exclamation: 設定したいIPアドレスのネットワーク環境が見つかりませんでした。\r\n"
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
        QTest::newRow("version refused")
            << true << 0 << "$"
            << "Pelmora2, no icon: Cannot get Windows Version" << EnglishNoNetwork;
    }

    void startUp()
    {
        QFETCH(bool, administrator);
        QFETCH(int, major);
        QFETCH(QString, currency);
        QFETCH(QString, box);
        QFETCH(QString, network);
        Start start;
        start.administrator = administrator;
        if (major != 0)
            start.major = major;
        start.currency = currency;

        QCOMPARE(start.checks.CheckAdminRights(), box.isEmpty());
        QCOMPARE(start.events, box.isEmpty() ? QStringList() : (QStringList{box, "end"}));

        start.events.clear();
        start.checks.ShowNoNetworkMsg();
        QCOMPARE(start.events, QStringList{network});
    }
};

QTEST_APPLESS_MAIN(HostChecksTest)
#include "HostChecksTest.moc"
