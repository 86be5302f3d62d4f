#include "PlanTextArena.h"

quint32 PlanTextArena::add(QByteArrayView utf8)
{
    const auto at = quint32(m_bytes.size());
    // The length in 7-bit groups, low first, the high bit set on all but the last.
    auto length = quint64(utf8.size());
    do {
        const auto group = char(length & 0x7F);
        length >>= 7;
        m_bytes.append(length ? char(group | 0x80) : group);
    } while (length);
    m_bytes.append(utf8);
    return at;
}

namespace
{

// The text that starts at `at` in a run of texts; `at` moves past it.
QByteArrayView textAt(QByteArrayView all, qsizetype &at)
{
    qsizetype length = 0;
    int shift = 0;
    for (;;) {
        const auto group = static_cast<unsigned char>(all.at(at++));
        length |= qsizetype(group & 0x7F) << shift;
        if (!(group & 0x80))
            break;
        shift += 7;
    }
    const QByteArrayView text = all.sliced(at, length);
    at += length;
    return text;
}

} // namespace

QByteArrayView PlanTextArena::bytes(quint32 at) const
{
    qsizetype from = at;
    return textAt(m_bytes, from);
}

QStringList PlanTextArena::texts(QByteArrayView all)
{
    QStringList found;
    for (qsizetype at = 0; at < all.size();)
        found << QString::fromUtf8(textAt(all, at));
    return found;
}

quint32 SharedPlanTexts::add(PlanTextArena &arena, const QByteArray &utf8)
{
    const auto found = m_at.constFind(utf8);
    if (found != m_at.cend())
        return *found;
    const quint32 at = arena.add(QByteArrayView(utf8));
    if (m_at.size() < MaxShared)
        m_at.insert(utf8, at);
    return at;
}
