// The capture folder: private to the process, never reached through what another user planted, and
// folder names from the environment read as data.
#include "platform/CaptureFolder.h"
#include "CaptureFile.h"
#include "FolderSwapAttacker.h"
#include "IpPaneBed.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>

#include <array>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>

class CaptureFolderTest : public QObject
{
    Q_OBJECT

private slots:
    void captureLifecycle_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QString>("baseName"); // below the test's runtime folder; @ stands for a marker file
        for (const char *planted : {"leftover capture", "folder open to others", "file named QV512",
                                    "symlink", "folder of another user"})
            QTest::newRow(planted) << QString(planted) << QByteArray("XDG_RUNTIME_DIR") << QString(".");
        // Through the whole operation, once per variable; the quoting itself has its own table below.
        QTest::newRow("XDG_RUNTIME_DIR $(touch @)")
            << QString() << QByteArray("XDG_RUNTIME_DIR") << QString("$(touch @)");
        QTest::newRow("TMPDIR x'; touch @; '")
            << QString() << QByteArray("TMPDIR") << QString("x'; touch @; '");
    }

    // The capture goes to a fresh private folder of the process. A QV512 entry the program did not make, in
    // a folder others can write to, is left as it is; only an earlier run's leftover capture folder is
    // removed. Folder names from the environment reach the interpreter as data: nothing in them runs.
    void captureLifecycle()
    {
        QFETCH(QString, planted);
        QFETCH(QByteArray, variable);
        QFETCH(QString, baseName);
        const auto restoreTemp = qScopeGuard([temp = qgetenv("TMPDIR")] { qputenv("TMPDIR", temp); });
        Bed bed;
        QTemporaryDir elsewhere;
        const QString base =
            QDir::cleanPath(bed.runtime.filePath(baseName.replace("@", elsewhere.filePath("ran"))));
        QVERIFY(QDir().mkpath(base));
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv(variable, QFile::encodeName(base));
        const QByteArray answered = "Reply from 192.168.0.21: bytes=32 time<1ms TTL=64\r\n";
        QVERIFY(writeBytes(elsewhere.filePath("temp.txt"), answered));
        const QByteArray folder = QFile::encodeName(base + "/QV512");
        if (planted == "file named QV512") {
            QVERIFY(writeBytes(folder, answered));
        } else if (planted == "symlink") {
            QVERIFY(QFile::link(elsewhere.path(), folder));
        } else if (!planted.isEmpty()) {
            QVERIFY(::mkdir(folder.constData(), planted == "folder open to others" ? 0755 : 0700) == 0);
            QVERIFY(writeBytes(folder + "/temp.txt", answered));
            const passwd *nobody = ::getpwnam("nobody");
            if (planted == "folder of another user" &&
                (!nobody || ::lchown(folder.constData(), nobody->pw_uid, nobody->pw_gid) != 0))
                QSKIP("needs root to give the folder to the user nobody");
        }
        struct stat before = {}, st = {};
        const bool others = ::lstat(folder.constData(), &before) == 0 && planted != "leftover capture";
        bed.answer({{"ping 192.168.0.21", PingTimeout}});
        bed.setRow(4, "12-34-56", "192.168.0.21");

        bed.ops.cmdSet_IP_Click(4);

        // The unanswered ping's output stays for a look, in the program's own private folder.
        QVERIFY(!QFileInfo::exists(elsewhere.filePath("ran")));
        const QStringList made = QDir(base).entryList({"QV512.??????"}, QDir::Dirs);
        QCOMPARE(made.size(), 1);
        const QByteArray used = QFile::encodeName(base + "/" + made.value(0));
        QCOMPARE(fileBytes(used + "/temp.txt"), PingTimeout);
        QVERIFY(::lstat(used.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid());
        QCOMPARE(st.st_mode & 07777, mode_t(0700));
        QCOMPARE(fileBytes(elsewhere.filePath("temp.txt")), answered);
        if (others) { // untouched: same entry, same owner and mode, same content
            QVERIFY(::lstat(folder.constData(), &st) == 0);
            QVERIFY(st.st_ino == before.st_ino && st.st_mode == before.st_mode && st.st_uid == before.st_uid);
            QCOMPARE(fileBytes(planted == "file named QV512" ? folder : folder + "/temp.txt"), answered);
        } else {
            QVERIFY(!QFileInfo::exists(folder));
        }
    }

    // Two instances at once each capture into a folder of their own, and leave no empty folder behind.
    void twoInstancesNeverShareACapture()
    {
        QTemporaryDir base;
        std::array<QProcess, 2> instances;
        QStringList folders;
        for (QProcess &instance : instances) {
            instance.start(QCoreApplication::applicationFilePath(), {"--capture-instance", base.path()});
            QVERIFY(instance.waitForReadyRead(10000));
            folders << QString(instance.readLine()).trimmed();
        }
        QCOMPARE(folders.removeDuplicates(), 0);
        for (std::size_t i = 0; i < instances.size(); ++i)
            QCOMPARE(fileBytes(folders[int(i)] + "/temp.txt"), QByteArray::number(instances[i].processId()));
        for (QProcess &instance : instances) {
            instance.closeWriteChannel();
            QVERIFY(instance.waitForFinished(10000) && instance.exitCode() == 0);
        }
        QCOMPARE(QDir(base.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // Another user's QV512 tree in a shared sticky folder, one of its folders swapped with a symlink to a
    // folder that user cannot write, over and over while captures come and go: nothing outside the
    // program's own folder is deleted.
    void racingSymlinkSwapDeletesNothing()
    {
        FolderSwapAttacker rig("mkdir -p QV512/sub && touch QV512/temp.txt && cd QV512/sub && "
                               "seq -f f%g 0 1999 | xargs touch && ln -s \"$2\" ../swap");
        if (!rig.ready)
            QSKIP("needs root to act as the user nobody");
        const QString &shared = rig.shared;
        for (int i = 0; i < 2000; ++i) // the names of the planted files
            QVERIFY(writeBytes(rig.victim + QString("/f%1").arg(i), "keep"));
        rig.start("QV512/sub", "QV512/swap");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(shared));
        CommandRunner runner;
        HostShell shell(runner);

        QElapsedTimer clock;
        clock.start();
        QStringList captures;
        int ownDeleted = 0, plantedDeleted = 0;
        for (int round = 0; round < 200 && clock.elapsed() < 5000; ++round) {
            try {
                captures << shell.PrepCaptureFile();
                QVERIFY(writeBytes(captures.last(), "own"));
                ownDeleted += HostShell::DelFile(captures.last());
            } catch (const HostStepFailed &) {
                captures << "failed";
            }
            for (const char *planted : {"/QV512/temp.txt", "/QV512/sub/f1", "/QV512/swap/f2"})
                plantedDeleted += HostShell::DelFile(shared + planted);
        }

        QCOMPARE(QDir(rig.victim).entryList(QDir::Files).size(), 2000);
        QCOMPARE(plantedDeleted, 0);
        QCOMPARE(ownDeleted, captures.size());
        QCOMPARE(captures.filter(QRegularExpression("^" + QRegularExpression::escape(shared) +
                                                    "/QV512\\.\\w{6}/temp.txt$")),
                 captures);
        QVERIFY(QFileInfo::exists(shared + "/QV512/temp.txt"));
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--capture-instance") { // another instance, until stdin closes
        const std::string capture = MakeCaptureFolder(argv[2]) + "/temp.txt";
        QFile file(QString::fromStdString(capture));
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray::number(app.applicationPid())) <= 0)
            return 2;
        file.close();
        std::printf("%s\n", capture.substr(0, capture.size() - 9).c_str());
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        return DeleteFileForced(capture) ? 0 : 1;
    }
    CaptureFolderTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "CaptureFolderTest.moc"
