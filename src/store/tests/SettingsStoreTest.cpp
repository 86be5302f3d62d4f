#include "SettingsStore.h"
#include "FileBytes.h"
#include "FileReplacement.h"
#include "FolderSwapAttacker.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

class SettingsStoreTest : public QObject
{
    Q_OBJECT

private slots:
    // A settings file that is a symlink, or a file of another user, as root meets them in a user's
    // config folder: what the link points at is written only when it is the link owner's own file, and a
    // replaced file keeps its owner and mode.
    void savesThroughLinksAndOthersFiles_data()
    {
        QTest::addColumn<QString>("application");
        QTest::addColumn<QString>("shape"); // link and target owners: "" no link, "n" nobody, "r" ourselves
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("written");
        const auto row = [](const char *name, const char *application, const char *shape, int mode,
                            bool written) {
            QTest::newRow(name) << QString(application) << QString(shape) << mode << written;
        };
        row("slot table linked to a file of another owner", "QV512", "n>r", 0644, false);
        row("console settings linked to a file of another owner", "REMOTE", "r>n", 0600, false);
        row("link to the link owner's own file", "QV512", "r>r", 0640, true);
        row("read-only file of a user", "QV512", "n", 0444, true);
        row("own file, group readable", "REMOTE", "r", 0640, true);
    }

    void savesThroughLinksAndOthersFiles()
    {
        QFETCH(QString, application);
        QFETCH(QString, shape);
        QFETCH(int, mode);
        QFETCH(bool, written);
        const passwd *nobody = ::getpwnam("nobody");
        if (shape.contains('n') && (::geteuid() != 0 || !nobody))
            QSKIP("needs root to give files to the user nobody");
        QTemporaryDir dir, elsewhere;
        SettingsStore store(dir.path());
        const QByteArray ini = QFile::encodeName(store.iniPath(application));
        const bool linked = shape.size() == 3;
        const QByteArray target = linked ? QFile::encodeName(elsewhere.filePath("target")) : ini;
        QVERIFY(QDir().mkpath(dir.path() + "/Pelmora2"));
        const QByteArray before = "[Other]\nKEPT=1\n";
        QVERIFY(writeBytes(QFile::decodeName(target), before));
        QVERIFY(::chmod(target.constData(), mode_t(mode)) == 0 &&
                (!linked || ::symlink(target.constData(), ini.constData()) == 0));
        for (const QByteArray &path : {ini, target}) // the link's owner first, then the file's
            QVERIFY(shape.at(path == ini ? 0 : shape.size() - 1) == 'r' ||
                    ::lchown(path.constData(), nobody->pw_uid, nobody->pw_gid) == 0);
        struct stat was = {}, now = {};
        QVERIFY(::stat(target.constData(), &was) == 0);

        QCOMPARE(store.write(application, "TIMEOUT", "RESET", "7000"), written);

        QCOMPARE(store.writeError().isEmpty(), written);
        const QByteArray after = fileBytes(QFile::decodeName(target));
        QVERIFY(after.startsWith(before) && after.contains("RESET=7000") == written);
        QVERIFY(::stat(target.constData(), &now) == 0 && now.st_uid == was.st_uid &&
                now.st_mode == was.st_mode);
        QVERIFY(::lstat(ini.constData(), &now) == 0 && S_ISLNK(now.st_mode) == linked);
    }

    // A new store: folders and files get their own modes whatever the umask, values are plain INI lines
    // (an empty value stored, not absent) and a hand edit is seen; a FIFO in the settings file's place is
    // refused at once, never waited on.
    void freshStoreAndFifoSettings()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path() + "/config");
        const mode_t umaskBefore = ::umask(0);
        QString error;
        const bool saved = store.write("QV512", "IPAddress", "SLOT1", "10.0.0.5") &&
                           store.write("QV512", "MACAddress", "SLOT1", "") &&
                           ReplaceFileContent(dir.filePath("report.csv"), "a\r\n", error);
        ::umask(umaskBefore);
        QVERIFY2(saved, qPrintable(store.writeError() + error));
        for (const auto &[path, mode] : {std::pair{"/config", 0700},
                                         {"/config/Pelmora2", 0700},
                                         {"/config/Pelmora2/QV512.ini", 0600},
                                         {"/report.csv", 0644}}) {
            struct stat st = {};
            QVERIFY(::stat(QFile::encodeName(dir.path() + path), &st) == 0);
            QCOMPARE(st.st_mode & 07777, mode_t(mode));
        }
        const QByteArray text = fileBytes(store.iniPath("QV512"));
        QVERIFY2(text.contains("[IPAddress]\nSLOT1=10.0.0.5\n") && text.contains("[MACAddress]\nSLOT1=\n"),
                 text);
        QCOMPARE(store.read("QV512", "MACAddress", "SLOT1", "x"), QString(""));
        QTest::qWait(1100); // a coarse file clock must see the edit as newer
        QVERIFY(writeBytes(store.iniPath("QV512"), "[IPAddress]\nSLOT1=1\n"));
        QCOMPARE(store.read("QV512", "IPAddress", "SLOT1", "x"), QString("1"));

        QVERIFY(::mkfifo(QFile::encodeName(store.iniPath("REMOTE")), 0600) == 0);
        QCOMPARE(store.read("REMOTE", "TIMEOUT", "RESET", "5000"), QString("5000"));
        QVERIFY(!store.write("REMOTE", "TIMEOUT", "RESET", "7000"));
        QCOMPARE(store.writeError(), QString("it is not a regular file"));
    }

    // Another account owns the folder a report goes to and swaps one of its folders with a symlink to a
    // folder of root's, over and over, while the report is saved again and again: no file or folder of
    // another owner changes.
    void racingFolderSwapChangesNoOtherFile()
    {
        FolderSwapAttacker rig("mkdir -p own/sub && touch own/sub/report.csv && ln -s \"$2\" own/swap");
        if (!rig.ready)
            QSKIP("needs root to act as the user nobody");
        const QString shared = rig.shared, kept = rig.victim + "/report.csv";
        QVERIFY(writeBytes(kept, "keep"));
        rig.start("own/sub", "own/swap");
        struct stat before = {}, after = {};
        QVERIFY(::stat(QFile::encodeName(kept), &before) == 0);

        QElapsedTimer clock;
        clock.start();
        int saved = 0, round = 0;
        for (; round < 1000 && clock.elapsed() < 20000; ++round) {
            QString error;
            saved += ReplaceFileContent(shared + "/own/sub/report.csv", "report " + QByteArray::number(round),
                                        error);
            for (const char *application : {"QV512", "REMOTE"}) // settings too, with folders made on the way
                saved +=
                    SettingsStore(shared + "/own/sub").write(application, "IPAddress", "SLOT1", "10.0.0.1");
        }
        rig.stop();

        QVERIFY(::stat(QFile::encodeName(kept), &after) == 0);
        QVERIFY(after.st_ino == before.st_ino && after.st_uid == 0 && after.st_mode == before.st_mode);
        QCOMPARE(fileBytes(kept), "keep");
        QCOMPARE(QDir(rig.victim).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"report.csv"});
        // Left alone, the same saves go where they were meant to.
        struct stat st = {};
        const QByteArray sub = QFile::encodeName(shared + "/own/sub"),
                         swap = QFile::encodeName(shared + "/own/swap");
        QVERIFY(::lstat(sub, &st) == 0 &&
                (!S_ISLNK(st.st_mode) || ::renameat2(AT_FDCWD, sub, AT_FDCWD, swap, RENAME_EXCHANGE) == 0));
        QString error;
        QVERIFY2(ReplaceFileContent(shared + "/own/sub/report.csv", "last", error), qPrintable(error));
        QVERIFY(SettingsStore(shared + "/own/sub").write("QV512", "IPAddress", "SLOT1", "10.0.0.1"));
        qInfo("%d of %d saves went through while the folders were swapped", saved, 3 * round);
    }

    void killedWriterNeverLeavesATornFile()
    {
        QTemporaryDir dir;
        int filesChecked = 0;
        for (int round = 0; round < 12; ++round) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(), {"--write-forever", dir.path()});
            QVERIFY(writer.waitForStarted());
            QTest::qWait(60 + (round * 37) % 90); // killed while rewriting all 32 values as one batch
            ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
            writer.waitForFinished();
            QSettings ini(dir.path() + "/Pelmora2/QV512.ini", QSettings::IniFormat);
            const QStringList keys = ini.allKeys();
            QVERIFY(keys.isEmpty() || keys.size() == 32);
            for (const QString &key : keys) // all of one generation
                QCOMPARE(ini.value(key).toString(), ini.value("Slot/SLOT7").toString());
            filesChecked += !keys.isEmpty();
        }
        QVERIFY(filesChecked > 6);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--write-forever" &&
        qputenv("TMPDIR", argv[2])) // drafts die here
        for (int generation = 0;; ++generation) {
            QList<SettingsStore::Entry> entries;
            for (int i = 0; i < 8; ++i)
                for (const QString section : {"MACAddress", "IPAddress", "PortNo", "Slot"})
                    entries.append({section, QString("SLOT%1").arg(i), QString("10.0.%1").arg(generation)});
            SettingsStore(QString::fromLocal8Bit(argv[2])).write("QV512", entries);
        }
    SettingsStoreTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SettingsStoreTest.moc"
