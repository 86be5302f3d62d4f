#include "CsvRecords.h"

#include <utility>

namespace
{

bool isBlank(QChar ch)
{
    return ch == ' ' || ch == '\t';
}

bool isLineBreak(QChar ch)
{
    return ch == '\r' || ch == '\n';
}

// A spreadsheet runs a cell that starts with one of these as a formula; a leading apostrophe makes it
// text (and shows the text without it).
bool startsLikeFormula(const QString &text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && formulaStarts.contains(text.front());
}

QString csvField(const QString &text)
{
    QString cell = CsvCellText(text);
    const bool needsQuotes = cell.contains(QLatin1Char(',')) || cell.contains(QLatin1Char('"')) ||
                             cell.contains(QLatin1Char('\r')) || cell.contains(QLatin1Char('\n'));
    if (!needsQuotes)
        return cell;
    cell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + cell + QLatin1Char('"');
}

} // namespace

CsvReader::CsvReader(std::function<void(CsvRecord &&)> onRecord,
                     std::function<void(const CsvSyntaxError &)> onError)
    : m_onRecord(std::move(onRecord)), m_onError(std::move(onError))
{
    m_record.line = m_line;
}

void CsvReader::feed(QStringView text)
{
    for (const QChar ch : text)
        take(ch);
}

void CsvReader::take(QChar ch)
{
    if (std::exchange(m_skipLineFeed, false) && ch == '\n')
        return;
    m_recordStarted = true;
    switch (m_state) {
    case State::FieldStart:
        if (isBlank(ch)) {
            m_field += ch; // kept: an unquoted field keeps its blanks
            return;
        }
        if (ch == '"') {
            m_field.clear();
            m_state = State::Quoted;
            return;
        }
        m_state = State::Unquoted;
        [[fallthrough]];
    case State::Unquoted:
        if (ch != ',' && !isLineBreak(ch)) {
            m_field += ch;
            return;
        }
        if (m_field.contains('"'))
            fault(QStringLiteral("a quote inside an unquoted field (put the whole field in quotes and "
                                 "write the quote as \"\")"));
        break;
    case State::Quoted:
        if (ch == '"') {
            m_state = State::QuoteInQuoted;
            return;
        }
        if ((ch == '\n' && !m_crInQuotes) || ch == '\r')
            ++m_line;
        m_crInQuotes = ch == '\r';
        m_field += ch;
        return;
    case State::QuoteInQuoted:
        if (ch == '"') {
            m_field += ch;
            m_state = State::Quoted;
            return;
        }
        m_state = State::AfterQuoted;
        [[fallthrough]];
    case State::AfterQuoted:
        if (isBlank(ch))
            return;
        if (ch != ',' && !isLineBreak(ch)) {
            fault(QStringLiteral("text after the closing quote (a quoted field ends at its closing quote; "
                                 "write a quote inside it as \"\")"));
            m_state = State::SkipToFieldEnd;
            return;
        }
        break;
    case State::SkipToFieldEnd:
        if (ch != ',' && !isLineBreak(ch))
            return;
        break;
    }
    // At a comma or a line break outside quotes.
    endField();
    if (isLineBreak(ch))
        endRecord(ch);
}

void CsvReader::endField()
{
    m_record.fields.append(std::exchange(m_field, QString()));
    m_state = State::FieldStart;
    m_crInQuotes = false;
}

void CsvReader::endRecord(QChar lineBreak)
{
    if (!m_faulty)
        m_onRecord(std::move(m_record));
    m_record = CsvRecord();
    m_faulty = false;
    m_recordStarted = false;
    m_skipLineFeed = lineBreak == '\r';
    m_record.line = ++m_line;
}

void CsvReader::fault(const QString &reason)
{
    m_onError({m_record.line, int(m_record.fields.size()), reason});
    m_faulty = true;
}

void CsvReader::finish()
{
    if (!m_recordStarted)
        return;
    if (m_state == State::Quoted) {
        fault(QStringLiteral("a quote opens a field that is never closed (end every quoted field with a "
                             "quote; write a quote inside it as \"\")"));
        return;
    }
    if (m_state == State::Unquoted && m_field.contains('"'))
        fault(QStringLiteral("a quote inside an unquoted field (put the whole field in quotes and write the "
                             "quote as \"\")"));
    endField();
    if (!m_faulty)
        m_onRecord(std::move(m_record));
    m_recordStarted = false;
}

QString CsvCellText(const QString &text)
{
    return startsLikeFormula(text) ? QLatin1Char('\'') + text : text;
}

QString CsvLine(const QStringList &fields)
{
    QStringList cells;
    cells.reserve(fields.size());
    for (const QString &field : fields)
        cells << csvField(field);
    return cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}
