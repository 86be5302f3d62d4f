#include "HostChecks.h"
#include "OperationView.h"
#include "platform/HostQuestions.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

// The real answers of this host: the process's own rights, and locales compiled for the test into
// a private folder (LOCPATH), so nothing is installed on the machine.
class PosixHostQuestionsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void administratorMeansRootOrNetAdminCapability();
    void currencySymbolOfTheUserLocale_data();
    void currencySymbolOfTheUserLocale();
    void cLocaleGivesTheEnglishNetworkBox();
    void defaultEndExitsAtOnceWithFailure();

private:
    QTemporaryDir m_locales;
    QStringList m_builtLocales;
};

namespace
{

struct Box {
    QString text;
    QString title;
};

class RecordingBoxes : public MessageBoxes
{
public:
    QList<Box> boxes;
    void showMessageBox(const QString &text, const QString &title, BoxIcon) override
    {
        boxes.append({text, title});
    }
};

// Runs check in a forked child and gives its exit status (-1 when it did not exit normally).
template <typename Check> int inChild(Check check)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(check());
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Leaves root for an unprivileged user, keeping only the capabilities in effective.
bool becomeUnprivileged(quint32 effective)
{
    if (prctl(PR_SET_KEEPCAPS, 1L, 0L, 0L, 0L) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
        return false;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    data[0].effective = effective & data[0].permitted;
    data[1].effective = 0;
    return syscall(SYS_capset, &header, data) == 0;
}

const char *const LocaleVariables[] = {"LC_ALL", "LC_MONETARY", "LANG", "LOCPATH"};

} // namespace

void PosixHostQuestionsTest::initTestCase()
{
    QVERIFY(m_locales.isValid());
    const QString localedef = QStandardPaths::findExecutable("localedef");
    if (localedef.isEmpty())
        return;
    const QList<QStringList> wanted = {{"en_US", "UTF-8", "en_US.UTF-8"},
                                       {"ja_JP", "UTF-8", "ja_JP.UTF-8"},
                                       {"ja_JP", "EUC-JP", "ja_JP.EUC-JP"},
                                       {"zh_CN", "UTF-8", "zh_CN.UTF-8"}};
    for (const QStringList &locale : wanted) {
        QProcess build;
        build.start(localedef, {"-i", locale[0], "-f", locale[1], m_locales.filePath(locale[2])});
        if (build.waitForFinished(60000) && build.exitStatus() == QProcess::NormalExit &&
            build.exitCode() == 0)
            m_builtLocales.append(locale[2]);
    }
}

void PosixHostQuestionsTest::cleanup()
{
    for (const char *variable : LocaleVariables)
        qunsetenv(variable);
}

void PosixHostQuestionsTest::administratorMeansRootOrNetAdminCapability()
{
    const auto host = CreateHostQuestions();
    QCOMPARE(host->majorVersion(), std::optional<int>(6));
    if (geteuid() != 0)
        QSKIP("needs root to drop to a user with and without CAP_NET_ADMIN");
    QVERIFY(host->isAdministrator());

    constexpr quint32 NetAdmin = 1U << CAP_NET_ADMIN;
    constexpr int Administrator = 10, NoRights = 11, CouldNotDrop = 12;
    auto askAs = [](quint32 effective) {
        return inChild([effective] {
            if (!becomeUnprivileged(effective))
                return CouldNotDrop;
            return CreateHostQuestions()->isAdministrator() ? Administrator : NoRights;
        });
    };
    const int withCapability = askAs(NetAdmin);
    if (withCapability == CouldNotDrop)
        QSKIP("this container does not let the test change its user and capabilities");
    QCOMPARE(withCapability, Administrator);
    QCOMPARE(askAs(1U << CAP_NET_RAW), NoRights);
    QCOMPARE(askAs(0), NoRights);
}

void PosixHostQuestionsTest::currencySymbolOfTheUserLocale_data()
{
    QTest::addColumn<QString>("lcAll");
    QTest::addColumn<QString>("lcMonetary");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("C locale") << "C"
                              << ""
                              << ""
                              << "";
    QTest::newRow("no locale variables") << ""
                                         << ""
                                         << ""
                                         << "";
    QTest::newRow("locale not on this host") << "xx_YY.UTF-8"
                                             << ""
                                             << ""
                                             << "";
    QTest::newRow("dollar") << "en_US.UTF-8"
                            << ""
                            << ""
                            << "$";
    QTest::newRow("yen under Japanese UTF-8") << "ja_JP.UTF-8"
                                              << ""
                                              << ""
                                              << "\\";
    QTest::newRow("yen under Japanese EUC-JP") << "ja_JP.EUC-JP"
                                               << ""
                                               << ""
                                               << "\\";
    QTest::newRow("yuan sign is not a backslash") << "zh_CN.UTF-8"
                                                  << ""
                                                  << "" << QString(QChar(0xFFE5));
    QTest::newRow("LC_MONETARY over LANG") << ""
                                           << "ja_JP.UTF-8"
                                           << "en_US.UTF-8"
                                           << "\\";
    QTest::newRow("LANG alone") << ""
                                << ""
                                << "en_US.UTF-8"
                                << "$";
    QTest::newRow("LC_ALL over LC_MONETARY") << "en_US.UTF-8"
                                             << "ja_JP.UTF-8"
                                             << ""
                                             << "$";
}

void PosixHostQuestionsTest::currencySymbolOfTheUserLocale()
{
    QFETCH(QString, lcAll);
    QFETCH(QString, lcMonetary);
    QFETCH(QString, lang);
    QFETCH(QString, symbol);
    for (const QString &name : {lcAll, lcMonetary, lang}) {
        if (name.contains('_') && !name.startsWith("xx") && !m_builtLocales.contains(name))
            QSKIP(qPrintable("localedef could not build " + name));
    }
    qputenv("LOCPATH", QFile::encodeName(m_locales.path()));
    const QList<QPair<const char *, QString>> variables = {
        {"LC_ALL", lcAll}, {"LC_MONETARY", lcMonetary}, {"LANG", lang}};
    for (const auto &[variable, value] : variables) {
        if (!value.isEmpty())
            qputenv(variable, value.toUtf8());
    }
    QCOMPARE(QString::fromStdString(CreateHostQuestions()->currencySymbol()), symbol);
}

void PosixHostQuestionsTest::cLocaleGivesTheEnglishNetworkBox()
{
    qputenv("LC_ALL", "C");
    const auto host = CreateHostQuestions();
    RecordingBoxes boxes;
    HostChecks checks(*host, boxes, [] {});
    QCOMPARE(checks.GetLocaleCurrency(), QString());
    checks.ShowNoNetworkMsg();
    QCOMPARE(boxes.boxes.size(), 1);
    QVERIFY(boxes.boxes[0].text.startsWith("The network environment"));
}

void PosixHostQuestionsTest::defaultEndExitsAtOnceWithFailure()
{
    class RefusingHost : public HostQuestions
    {
    public:
        bool isAdministrator() override { return false; }
        std::optional<int> majorVersion() override { return std::nullopt; }
        std::string currencySymbol() override { return {}; }
    };
    const int status = inChild([] {
        RefusingHost host;
        RecordingBoxes boxes;
        HostChecks checks(host, boxes);
        checks.CheckAdminRights();
        return 0; // reached only when the program did not end
    });
    QVERIFY(status > 0);
}

QTEST_APPLESS_MAIN(PosixHostQuestionsTest)
#include "PosixHostQuestionsTest.moc"
