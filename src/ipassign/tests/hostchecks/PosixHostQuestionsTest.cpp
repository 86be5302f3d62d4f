#include "HostChecks.h"
#include "RecordingBoxes.h"
#include "platform/HostQuestions.h"

#include <QTest>

#include <locale.h>
#include <unistd.h>

namespace
{

// This host's answers, except that the user lacks the rights, so that the caution shows.
struct UserWithoutRights : HostQuestions, RecordingBoxes {
    bool isAdministrator() override { return false; }
    std::optional<int> majorVersion() override { return host->majorVersion(); }
    std::string currencySymbol() override { return host->currencySymbol(); }

    std::unique_ptr<HostQuestions> host = CreateHostQuestions();
};

} // namespace

// The answers of the host the tests run on.
class PosixHostQuestionsTest : public QObject
{
    Q_OBJECT

private slots:
    void rootIsAdministrator()
    {
        const auto host = CreateHostQuestions();
        QCOMPARE(host->majorVersion(), std::optional<int>(6));
        if (::geteuid() != 0)
            QSKIP("needs root");
        QVERIFY(host->isAdministrator());
    }

    // The caution says how to get the rights here; under a Japanese locale the yen sign reads as the lone
    // backslash that selects the Japanese wording.
    void cautionInTheUserLocale()
    {
        UserWithoutRights user;
        HostChecks checks(user, user, [] {});
        qputenv("LC_ALL", "C");
        QCOMPARE(user.currencySymbol(), std::string());
        QVERIFY(!checks.CheckAdminRights());
        QCOMPARE(user.shown.value(0),
                 "Exclamation Caution: You need to run this program as an administrator.\r\n"
                 "for example (Linux),\r\n"
                 "add yourself to the group pelmora2 (installed package), or run as root");

        locale_t japanese = newlocale(LC_ALL_MASK, "ja_JP.UTF-8", nullptr);
        if (japanese == nullptr)
            QSKIP("no ja_JP.UTF-8 locale here; scripts/setup.sh --test generates one");
        freelocale(japanese);
        qputenv("LC_ALL", "ja_JP.UTF-8");
        QCOMPARE(user.currencySymbol(), std::string("\\"));
        QVERIFY(!checks.CheckAdminRights());
        QCOMPARE(user.shown.value(1),
                 "Exclamation Caution: このアプリケーションは管理者権限で実行してください。\r\n"
                 "(Linuxでの実行方法例)\r\n"
                 " 自分をグループpelmora2に追加(インストール済みパッケージ)、またはrootで実行");
    }
};

QTEST_APPLESS_MAIN(PosixHostQuestionsTest)
#include "PosixHostQuestionsTest.moc"
