#include "IpPaneTestBed.h"

#include <QDir>
#include <QFile>

IpPaneTestBed::IpPaneTestBed()
{
    qputenv("XDG_RUNTIME_DIR", m_captureBase.path().toLocal8Bit());
    runner.setAdapterFolder(fakes.folder().toStdString());
}

IpPaneTestBed::~IpPaneTestBed()
{
    qunsetenv("XDG_RUNTIME_DIR");
}

void IpPaneTestBed::setRow(int slot, const QString &macTail, const QString &ip, bool ticked)
{
    view.setFieldText(Field::MAC, slot, "0A-00-3C");
    view.setFieldText(Field::MCAddr, slot, macTail);
    view.setFieldText(Field::IPAddr_IP, slot, ip);
    view.ticked[{Pane::IP, slot}] = ticked;
}

QByteArray IpPaneTestBed::captureContent() const
{
    QFile file(capturePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void IpPaneTestBed::writeLeftoverCapture(const QByteArray &content)
{
    QDir(m_captureBase.path()).mkdir("QV512");
    QFile::setPermissions(m_captureBase.path() + "/QV512",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile file(capturePath());
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

void IpPaneTestBed::breakCaptureFolder()
{
    qputenv("XDG_RUNTIME_DIR", QByteArray(m_captureBase.path().toLocal8Bit() + "/missing/deeper"));
}

QString Indented(const QByteArray &capture)
{
    QString report;
    for (const QByteArray &line : capture.split('\n')) {
        const QByteArray text = line.endsWith('\r') ? line.chopped(1) : line;
        if (!text.isEmpty())
            report += "    " + QString::fromLatin1(text) + "\r\n";
    }
    return report;
}
