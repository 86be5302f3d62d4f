#include "SettingsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

class SettingsStoreTest : public QObject
{
    Q_OBJECT

private slots:
    void absentKeysGiveTheDefault();
    void valuesRoundTripAsPlainIniLines();
    void applicationsLiveInTheirOwnFiles();
    void handEditedValueIsSeenByTheNextRead();
    void textWithCommaComesBackUnchanged();
    void killedWriterNeverLeavesATornFile();
};

void SettingsStoreTest::absentKeysGiveTheDefault()
{
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    QCOMPARE(store.read("QV512", "Slot", "SLOT0", "0"), QString("0"));
    QCOMPARE(store.read("REMOTE", "TIMEOUT", "RESET", "5000"), QString("5000"));
    QVERIFY(!QFile::exists(store.iniPath("QV512"))); // reading creates nothing
}

void SettingsStoreTest::valuesRoundTripAsPlainIniLines()
{
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    QVERIFY(store.write("QV512", "IPAddress", "SLOT3", "192.168.0.20"));
    QVERIFY(store.write("QV512", "MACAddress", "SLOT3", ""));
    QCOMPARE(store.read("QV512", "IPAddress", "SLOT3", "x"), QString("192.168.0.20"));
    // An empty value is stored, not left out: the default no longer applies.
    QCOMPARE(store.read("QV512", "MACAddress", "SLOT3", "x"), QString(""));

    QCOMPARE(store.iniPath("QV512"), dir.path() + "/Pelmora2/QV512.ini");
    QFile file(store.iniPath("QV512"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.contains("[IPAddress]\nSLOT3=192.168.0.20\n"), text.constData());
    QVERIFY2(text.contains("[MACAddress]\nSLOT3=\n"), text.constData());
}

void SettingsStoreTest::applicationsLiveInTheirOwnFiles()
{
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    QVERIFY(store.write("REMOTE", "RESET_RETRY", "NORMAL", "5"));
    QVERIFY(QFile::exists(dir.path() + "/Pelmora2/REMOTE.ini"));
    QVERIFY(!QFile::exists(dir.path() + "/Pelmora2/QV512.ini"));
    QCOMPARE(store.read("QV512", "RESET_RETRY", "NORMAL", "none"), QString("none"));
}

void SettingsStoreTest::handEditedValueIsSeenByTheNextRead()
{
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    QVERIFY(store.write("REMOTE", "TIMEOUT", "RESET", "5000"));
    QTest::qWait(1100); // a coarse file clock must see the edit as newer
    QFile file(store.iniPath("REMOTE"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[TIMEOUT]\nRESET=250\n");
    file.close();
    QCOMPARE(store.read("REMOTE", "TIMEOUT", "RESET", "5000"), QString("250"));
}

void SettingsStoreTest::textWithCommaComesBackUnchanged()
{
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    QVERIFY(store.write("QV512", "IPAddress", "SLOT1", "1,2"));
    QCOMPARE(store.read("QV512", "IPAddress", "SLOT1", ""), QString("1,2"));
}

// A child process rewrites all values again and again; it is killed at random moments. Every file it
// leaves must hold one complete generation of values, saved as one batch.
void SettingsStoreTest::killedWriterNeverLeavesATornFile()
{
    QTemporaryDir dir;
    int filesChecked = 0;
    for (int round = 0; round < 12; ++round) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {"--write-forever", dir.path()});
        QVERIFY(writer.waitForStarted());
        QTest::qWait(60 + (round * 37) % 90);
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        writer.waitForFinished();

        const QString path = SettingsStore(dir.path()).iniPath("QV512");
        if (!QFile::exists(path))
            continue;
        QSettings ini(path, QSettings::IniFormat);
        QCOMPARE(ini.status(), QSettings::NoError);
        const QStringList keys = ini.allKeys();
        if (keys.isEmpty())
            continue;
        QCOMPARE(keys.size(), 32);
        const QString generation = ini.value("IPAddress/SLOT0").toString();
        for (int i = 0; i < 8; ++i)
            QCOMPARE(ini.value(QString("PortNo/SLOT%1").arg(i)).toString(), generation.section('.', 3));
        ++filesChecked;
    }
    QVERIFY(filesChecked > 6);
}

static int writeForever(const QString &root)
{
    SettingsStore store(root);
    for (int generation = 0;; ++generation) {
        QList<SettingsStore::Entry> entries;
        for (int i = 0; i < 8; ++i) {
            const QString slot = QString("SLOT%1").arg(i);
            entries.append({"MACAddress", slot, QString("12-34-%1").arg(generation % 100, 2, 10, QChar('0'))});
            entries.append({"IPAddress", slot, QString("10.0.0.%1").arg(generation)});
            entries.append({"PortNo", slot, QString::number(generation)});
            entries.append({"Slot", slot, QString::number(generation % 2)});
        }
        store.write("QV512", entries);
    }
}

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--write-forever") {
        QCoreApplication app(argc, argv);
        return writeForever(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    SettingsStoreTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SettingsStoreTest.moc"
