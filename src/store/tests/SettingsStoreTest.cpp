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
        QVERIFY(text.contains("[IPAddress]\nSLOT3=192.168.0.20\n"));
        QVERIFY(text.contains("[MACAddress]\nSLOT3=\n"));
        file.close();

        QTest::qWait(1100); // a coarse file clock must see the edit as newer
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                file.write("[IPAddress]\nSLOT3=1\n") > 0);
        file.close();
        QCOMPARE(store.read("QV512", "IPAddress", "SLOT3", "x"), QString("1"));
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
    if (argc == 3 && QByteArray(argv[1]) == "--write-forever")
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
