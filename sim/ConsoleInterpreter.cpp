#include "ConsoleInterpreter.h"

#include <cctype>
#include <utility>

namespace
{

constexpr char Esc = 27;
constexpr char Cr = 13;
constexpr char Lf = 10;
constexpr int MaxLineLength = 256;
const QByteArray MalformedText = QByteArrayLiteral("Invalid Parameter");

bool isControlCommand(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return (code >= 124 && code <= 127) || c == '@';
}

bool isHexDigits(const QByteArray &text)
{
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// "aaa/bbb/ccc/ddd": four octets of exactly three decimal digits.
bool isOctetList(const QByteArray &text)
{
    const QList<QByteArray> octets = text.split('/');
    if (octets.size() != 4)
        return false;
    for (const QByteArray &octet : octets) {
        if (octet.size() != 3)
            return false;
        for (const char c : octet) {
            if (c < '0' || c > '9')
                return false;
        }
        if (octet.toInt() > 255)
            return false;
    }
    return true;
}

// Status text the unit prints after control command 126; never holds "%" or "<".
QByteArray statusDump(int length)
{
    static const QByteArray line =
        QByteArrayLiteral("QV512 STATUS 0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n");
    QByteArray dump;
    dump.reserve(length);
    while (dump.size() < length)
        dump.append(line.left(length - dump.size()));
    return dump;
}

} // namespace

ConsoleInterpreter::ConsoleInterpreter(const UnitBehaviour &behaviour) : m_behaviour(behaviour) {}

ConsoleStep ConsoleInterpreter::take(char c)
{
    ConsoleStep step;
    if (m_done)
        return step;
    if (c == Esc) {
        answerEsc(step);
        return step;
    }

    step.reply = echoOf(c, step);
    if (!m_pendingAnswer.isEmpty())
        step.reply = std::exchange(m_pendingAnswer, {});

    if (isControlCommand(c)) {
        if (static_cast<unsigned char>(c) == 126)
            answerStatus(step);
        return step;
    }
    if (c == Cr) {
        finishLine(step);
        return step;
    }
    if (c == Lf)
        return step;

    if (m_line.size() < MaxLineLength)
        m_line.append(c);
    ++m_lineLength;
    if (m_behaviour.flood && m_lineLength == 1) {
        step.reply.clear();
        step.startFlood = true;
        step.events.append({QStringLiteral("fault"), QStringLiteral("flood")});
        m_done = true;
    } else if (m_behaviour.closeMid && m_lineLength == 2) {
        step.closeConnection = true;
        step.events.append({QStringLiteral("fault"), QStringLiteral("close-mid")});
        m_done = true;
    }
    return step;
}

void ConsoleInterpreter::answerEsc(ConsoleStep &step)
{
    // ESC starts a fresh attach: a half-typed line or a pending answer is forgotten.
    m_line.clear();
    m_lineLength = 0;
    m_pendingAnswer.clear();

    if (m_behaviour.silent) {
        step.events.append({QStringLiteral("fault"), QStringLiteral("silent")});
        return;
    }
    step.reply = QByteArray() + Esc + Cr + Lf + m_behaviour.prompt;
    if (m_behaviour.wrongEsc) {
        // A stray character before an otherwise good answer: the answer does not start with ESC.
        step.reply.prepend('X');
        step.events.append({QStringLiteral("fault"), QStringLiteral("wrong-esc")});
    }
    if (m_behaviour.lateEscMs > 0) {
        step.replyDelayMs = m_behaviour.lateEscMs;
        step.events.append(
            {QStringLiteral("fault"), QStringLiteral("late-esc %1").arg(m_behaviour.lateEscMs)});
    }
    step.events.append({QStringLiteral("esc"), QString()});
}

void ConsoleInterpreter::answerStatus(ConsoleStep &step) const
{
    const QByteArray status = statusDump(m_behaviour.short126 ? Short126Length : Answer126Length);
    // Some units write the start of the block, or all of it, together with the echo.
    step.reply += status.left(m_behaviour.statusWithEcho);
    step.trailer = status.mid(m_behaviour.statusWithEcho);
    if (m_behaviour.short126)
        step.events.append({QStringLiteral("fault"), QStringLiteral("short126")});
}

QByteArray ConsoleInterpreter::echoOf(char c, ConsoleStep &step) const
{
    if (m_behaviour.noEcho == c) {
        step.events.append(
            {QStringLiteral("fault"), QStringLiteral("no-echo %1").arg(printable(QByteArray(1, c)))});
        return {};
    }
    if (c == Cr)
        return QByteArray() + Cr + Lf;
    return QByteArray(1, c);
}

void ConsoleInterpreter::finishLine(ConsoleStep &step)
{
    const QByteArray line = std::exchange(m_line, {});
    const bool overlong = std::exchange(m_lineLength, 0) > MaxLineLength;
    if (line.isEmpty() || line == "U")
        return;

    const std::optional<quint16> portBefore = m_portAfterClose;
    Verdict verdict = overlong ? Verdict::Unknown : judge(line);
    if (m_behaviour.unsupported) {
        verdict = Verdict::Unknown;
        step.events.append({QStringLiteral("fault"), QStringLiteral("unsupported")});
    } else if (m_behaviour.errorText) {
        verdict = Verdict::Malformed;
        step.events.append({QStringLiteral("fault"), QStringLiteral("error")});
    }

    // A line the unit refused must not move it to another port.
    if (verdict != Verdict::Accepted)
        m_portAfterClose = portBefore;

    QString outcome;
    switch (verdict) {
    case Verdict::Accepted:
        outcome = QStringLiteral("accepted");
        break;
    case Verdict::Malformed:
        m_pendingAnswer = '%' + m_behaviour.errorText.value_or(MalformedText) + Cr;
        outcome = QStringLiteral("malformed");
        break;
    case Verdict::Unknown:
        m_pendingAnswer = QByteArrayLiteral("<");
        outcome = QStringLiteral("unknown");
        break;
    }
    step.events.append({QStringLiteral("command"), printable(line) + QLatin1Char(' ') + outcome});
}

ConsoleInterpreter::Verdict ConsoleInterpreter::judge(const QByteArray &line)
{
    if (line == "UE1")
        return Verdict::Accepted;
    if (line.startsWith("UE1"))
        return Verdict::Malformed;
    if (line.startsWith("UE2")) {
        const QByteArray argument = line.mid(3);
        if (argument.size() != 5 || argument.at(0) != ' ' || !isHexDigits(argument.mid(1)))
            return Verdict::Malformed;
        const auto port = static_cast<quint16>(argument.mid(1).toUInt(nullptr, 16));
        if (port == 0)
            return Verdict::Malformed;
        m_portAfterClose = port;
        return Verdict::Accepted;
    }
    if (line.startsWith("UE3") || line.startsWith("UE4"))
        return isOctetList(line.mid(3)) ? Verdict::Accepted : Verdict::Malformed;
    return Verdict::Unknown;
}

QString ConsoleInterpreter::printable(const QByteArray &bytes)
{
    QString text;
    for (const char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 0x20 && code < 0x7F && c != '\\')
            text.append(QLatin1Char(c));
        else
            text.append(QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0')));
    }
    return text;
}
