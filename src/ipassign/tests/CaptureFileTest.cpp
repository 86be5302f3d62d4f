#include "CaptureFile.h"
#include "HostShell.h"
#include "platform/CommandRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

// The capture folder and file: where they live, what is removed before a command writes, and how the
// captured output is read back.
class CaptureFileTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void captureFolderIsPrivateUnderRuntimeDir();
    void fallsBackToTempLocationWithoutRuntimeDir();
    void leftoverCaptureIsRemoved_data();
    void leftoverCaptureIsRemoved();
    void unfitEntryIsReplacedByPrivateFolder_data();
    void unfitEntryIsReplacedByPrivateFolder();
    void symlinkedFolderIsNotFollowed();
    void folderThatCannotBeMadeIsAHostFailure();

    void reportKeepsNonEmptyLinesIndented_data();
    void reportKeepsNonEmptyLinesIndented();
    void lineSearchIsCaseSensitiveSubstring();
    void missingCaptureIsAHostFailure();
    void redirectionAppendsToQuotedPath();

private:
    QString captureFolder() const { return m_base->path() + "/QV512"; }
    QString prep();

    std::unique_ptr<QTemporaryDir> m_base;
    CommandRunner m_runner;
};

void CaptureFileTest::init()
{
    m_base = std::make_unique<QTemporaryDir>();
    qputenv("XDG_RUNTIME_DIR", m_base->path().toLocal8Bit());
}

void CaptureFileTest::cleanup()
{
    qunsetenv("XDG_RUNTIME_DIR");
    m_base.reset();
}

QString CaptureFileTest::prep()
{
    HostShell shell(m_runner);
    return shell.PrepCaptureFile();
}

static mode_t modeOf(const QString &path)
{
    struct stat st {
    };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode;
}

static void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void CaptureFileTest::captureFolderIsPrivateUnderRuntimeDir()
{
    QCOMPARE(prep(), captureFolder() + "/temp.txt");
    const mode_t mode = modeOf(captureFolder());
    QVERIFY(S_ISDIR(mode));
    QCOMPARE(mode & 07777, mode_t(0700));
}

void CaptureFileTest::fallsBackToTempLocationWithoutRuntimeDir()
{
    QTemporaryDir tmp;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", tmp.path().toLocal8Bit());
    const QString path = prep();
    if (oldTmp.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTmp);
    QCOMPARE(path, QDir::cleanPath(tmp.path()) + "/QV512/temp.txt");
    QVERIFY(QFileInfo(QDir::cleanPath(tmp.path()) + "/QV512").isDir());
}

void CaptureFileTest::leftoverCaptureIsRemoved_data()
{
    QTest::addColumn<int>("permissions");
    QTest::newRow("plain") << 0600;
    QTest::newRow("read-only") << 0400;
    QTest::newRow("no permissions") << 0;
}

void CaptureFileTest::leftoverCaptureIsRemoved()
{
    QFETCH(int, permissions);
    const QString path = prep();
    writeFile(path, "Reply from 192.168.0.20: bytes=32 time<1ms TTL=64\r\n");
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(permissions)) == 0);
    QCOMPARE(prep(), path);
    QVERIFY(!QFileInfo::exists(path));
}

void CaptureFileTest::unfitEntryIsReplacedByPrivateFolder_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("file") << "file";
    QTest::newRow("folder open to others") << "mode 0755";
    QTest::newRow("folder of another owner") << "other owner";
}

void CaptureFileTest::unfitEntryIsReplacedByPrivateFolder()
{
    QFETCH(QString, kind);
    const QByteArray folder = QFile::encodeName(captureFolder());
    if (kind == "file") {
        writeFile(captureFolder(), "not a folder");
    } else {
        QVERIFY(::mkdir(folder.constData(), 0700) == 0);
        // Someone else may have planted a capture here while the folder was open.
        writeFile(captureFolder() + "/temp.txt", "planted");
        writeFile(captureFolder() + "/other", "planted");
        if (kind == "mode 0755") {
            QVERIFY(::chmod(folder.constData(), 0755) == 0);
        } else {
            if (::geteuid() != 0)
                QSKIP("changing a folder's owner needs root");
            QVERIFY(::chown(folder.constData(), 65534, 65534) == 0);
        }
    }

    QCOMPARE(prep(), captureFolder() + "/temp.txt");
    struct stat st {
    };
    QVERIFY(::lstat(folder.constData(), &st) == 0);
    QVERIFY(S_ISDIR(st.st_mode));
    QCOMPARE(st.st_mode & 07777, mode_t(0700));
    QCOMPARE(st.st_uid, ::geteuid());
    QVERIFY(
        QDir(captureFolder()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
}

void CaptureFileTest::symlinkedFolderIsNotFollowed()
{
    QTemporaryDir elsewhere;
    QVERIFY(::chmod(QFile::encodeName(elsewhere.path()).constData(), 0700) == 0);
    writeFile(elsewhere.path() + "/temp.txt", "keep me");
    QVERIFY(QFile::link(elsewhere.path(), captureFolder()));

    const QString path = prep();

    QVERIFY(!QFileInfo(captureFolder()).isSymLink());
    QVERIFY(S_ISDIR(modeOf(captureFolder())));
    QCOMPARE(path, captureFolder() + "/temp.txt");
    QFile kept(elsewhere.path() + "/temp.txt");
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("keep me"));
}

void CaptureFileTest::folderThatCannotBeMadeIsAHostFailure()
{
    qputenv("XDG_RUNTIME_DIR", QByteArray(m_base->path().toLocal8Bit() + "/missing/deeper"));
    QVERIFY_THROWS_EXCEPTION(HostStepFailed, prep());
}

void CaptureFileTest::reportKeepsNonEmptyLinesIndented_data()
{
    QTest::addColumn<QByteArray>("capture");
    QTest::addColumn<QString>("report");
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("only empty lines") << QByteArray("\r\n\r\n\r\n") << QString();
    QTest::newRow("empty lines dropped") << QByteArray("\r\nPinging 10.0.0.5:\r\n\r\nRequest timed out.\r\n")
                                         << "    Pinging 10.0.0.5:\r\n    Request timed out.\r\n";
    QTest::newRow("blank line kept") << QByteArray("a\r\n   \r\nb\r\n") << "    a\r\n       \r\n    b\r\n";
    QTest::newRow("CR alone ends a line") << QByteArray("a\rb\r\r\nc") << "    a\r\n    b\r\n    c\r\n";
    QTest::newRow("LF alone ends a line") << QByteArray("a\nb\n") << "    a\r\n    b\r\n";
}

void CaptureFileTest::reportKeepsNonEmptyLinesIndented()
{
    QFETCH(QByteArray, capture);
    QFETCH(QString, report);
    const QString path = prep();
    writeFile(path, capture);
    QCOMPARE(ReadCaptureReport(path), report);
}

void CaptureFileTest::lineSearchIsCaseSensitiveSubstring()
{
    const QString path = prep();
    writeFile(path, "\r\nReply from 10.0.0.5: bytes=32 time<1ms ttl=64\r\nRequest timed out.\r\n");
    QVERIFY(!CaptureHasLine(path, "TTL="));
    QVERIFY(CaptureHasLine(path, "time<1ms"));
    writeFile(path, "Reply from 10.0.0.5: bytes=32 time<1ms TTL=64\r\n");
    QVERIFY(CaptureHasLine(path, "TTL="));
}

void CaptureFileTest::missingCaptureIsAHostFailure()
{
    const QString path = prep();
    QVERIFY_THROWS_EXCEPTION(HostStepFailed, ReadCaptureReport(path));
    QVERIFY_THROWS_EXCEPTION(HostStepFailed, CaptureHasLine(path, "TTL="));
}

void CaptureFileTest::redirectionAppendsToQuotedPath()
{
    QCOMPARE(HostShell::Redirected("Ping 10.0.0.5", "C:\\Temp\\QV512\\temp.txt"),
             QString("Ping 10.0.0.5 >> \"C:\\Temp\\QV512\\temp.txt\""));
}

QTEST_GUILESS_MAIN(CaptureFileTest)
#include "CaptureFileTest.moc"
