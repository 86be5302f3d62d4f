#include "platform/HostQuestions.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// The answers of the host the tests run on.
class PosixHostQuestionsTest : public QObject
{
    Q_OBJECT

private slots:
    void rootIsAdministrator();
    void currencySymbolOfTheUserLocale();
};

void PosixHostQuestionsTest::rootIsAdministrator()
{
    const auto host = CreateHostQuestions();
    QCOMPARE(host->majorVersion(), std::optional<int>(6));
    if (::geteuid() != 0)
        QSKIP("needs root");
    QVERIFY(host->isAdministrator());
}

void PosixHostQuestionsTest::currencySymbolOfTheUserLocale()
{
    const auto host = CreateHostQuestions();
    qputenv("LC_ALL", "C");
    QCOMPARE(host->currencySymbol(), std::string());

    // A Japanese locale compiled into a private folder, so nothing is installed: the yen sign reads as
    // the lone backslash that selects the Japanese wording.
    QTemporaryDir locales;
    if (QProcess::execute("localedef", {"-i", "ja_JP", "-f", "UTF-8", locales.filePath("ja_JP.UTF-8")}) != 0)
        QSKIP("localedef cannot build ja_JP.UTF-8 here");
    qputenv("LOCPATH", QFile::encodeName(locales.path()));
    qputenv("LC_ALL", "ja_JP.UTF-8");
    QCOMPARE(host->currencySymbol(), std::string("\\"));
}

QTEST_APPLESS_MAIN(PosixHostQuestionsTest)
#include "PosixHostQuestionsTest.moc"
