#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

class SettingsStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void valuesRoundTripAsPlainIniLinesAndHandEditsAreSeen()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        QCOMPARE(store.read("REMOTE", "TIMEOUT", "RESET", "5000"), QString("5000")); // absent: the default
        QVERIFY(store.write("QV512", "IPAddress", "SLOT3", "192.168.0.20"));
        QVERIFY(store.write("QV512", "MACAddress", "SLOT3", ""));
        QCOMPARE(store.read("QV512", "IPAddress", "SLOT3", "x"), QString("192.168.0.20"));
        QCOMPARE(store.read("QV512", "MACAddress", "SLOT3", "x"), QString("")); // stored empty, not absent
        QFile file(dir.path() + "/Pelmora2/QV512.ini");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.contains("[IPAddress]\nSLOT3=192.168.0.20\n") &&
                text.contains("[MACAddress]\nSLOT3=\n"));
        file.close();

        QTest::qWait(1100); // a coarse file clock must see the edit as newer
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                file.write("[IPAddress]\nSLOT3=1\n") > 0);
        file.close();
        QCOMPARE(store.read("QV512", "IPAddress", "SLOT3", "x"), QString("1"));
    }

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
        QFile file(QFile::decodeName(target));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        file.close();
        QVERIFY(::chmod(target.constData(), mode_t(mode)) == 0 &&
                (!linked || ::symlink(target.constData(), ini.constData()) == 0));
        for (const QByteArray &path : {ini, target}) // the link's owner first, then the file's
            QVERIFY(shape.at(path == ini ? 0 : shape.size() - 1) == 'r' ||
                    ::lchown(path.constData(), nobody->pw_uid, nobody->pw_gid) == 0);
        struct stat was = {}, now = {};
        QVERIFY(::stat(target.constData(), &was) == 0);

        QCOMPARE(store.write(application, "TIMEOUT", "RESET", "7000"), written);

        QCOMPARE(store.writeError().isEmpty(), written);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray after = file.readAll();
        QVERIFY(after.startsWith(before) && after.contains("RESET=7000") == written);
        QVERIFY(::stat(target.constData(), &now) == 0 && now.st_uid == was.st_uid &&
                now.st_mode == was.st_mode);
        QVERIFY(::lstat(ini.constData(), &now) == 0 && S_ISLNK(now.st_mode) == linked);
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
