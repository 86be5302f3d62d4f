#include "FreshUnitWatch.h"

// Playing a fresh unit needs Linux packet sockets; elsewhere the mode reports that it is missing.

FreshUnitWatch::FreshUnitWatch(const QString &interfaceName, const QByteArray &mac, int prefixLength,
                               QObject *parent)
    : QObject(parent), m_interfaceName(interfaceName), m_mac(mac), m_prefixLength(prefixLength)
{
}

FreshUnitWatch::~FreshUnitWatch() = default;

bool FreshUnitWatch::start(QString *error)
{
    *error = QStringLiteral("the fresh-unit mode runs only on Linux");
    return false;
}

void FreshUnitWatch::readFrames() {}

bool FreshUnitWatch::takeAddress(quint32, QString *)
{
    return false;
}

void FreshUnitWatch::stopWatching() {}
