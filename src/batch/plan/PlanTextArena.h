#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

// Texts of a plan packed one after another as UTF-8, each with its length in front, and known by where it
// starts: hundreds of thousands of short labels cost their bytes and a few more, not a string object each.
class PlanTextArena
{
public:
    // Where the text now starts.
    quint32 add(QByteArrayView utf8);
    quint32 add(const QString &text) { return add(QByteArrayView(text.toUtf8())); }
    // The bytes of the text that starts at `at`.
    QByteArrayView bytes(quint32 at) const;
    QString text(quint32 at) const { return QString::fromUtf8(bytes(at)); }
    void clear() { m_bytes.clear(), m_bytes.squeeze(); }
    // Every text added, as one run of bytes.
    const QByteArray &all() const { return m_bytes; }
    // The texts of such a run, in their order.
    static QStringList texts(QByteArrayView all);

private:
    QByteArray m_bytes;
};

// Within a plan text arena, one copy serves every text that repeats (a plan's ports, gateways, notes): up to
// a number of distinct texts, beyond which each is stored again.
class SharedPlanTexts
{
public:
    quint32 add(PlanTextArena &arena, const QByteArray &utf8);
    void clear() { m_at.clear(); }

private:
    static constexpr qsizetype MaxShared = 4096;
    QHash<QByteArray, quint32> m_at;
};
