#include "CsvRecords.h"

namespace
{

// Walks a CSV text once, keeping the line number of each record's first line.
class CsvScanner
{
public:
    explicit CsvScanner(const QString &text) : m_text(text) {}

    CsvRecords scan()
    {
        CsvRecords result;
        while (!atEnd()) {
            CsvRecord record;
            record.line = m_line;
            m_faulty = false;
            if (!readRecord(record, result.problems))
                break; // a quote that is never closed swallows the rest of the file
            if (!m_faulty)
                result.records.append(record);
        }
        return result;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar current() const { return m_text.at(m_pos); }
    bool atLineBreak() const { return !atEnd() && (current() == '\r' || current() == '\n'); }
    bool atFieldEnd() const { return atEnd() || current() == ',' || atLineBreak(); }

    // Steps over one line break (CR LF counts once) and counts it.
    void skipLineBreak()
    {
        if (current() == '\r' && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == '\n')
            ++m_pos;
        ++m_pos;
        ++m_line;
    }

    void skipBlanks()
    {
        while (!atEnd() && (current() == ' ' || current() == '\t'))
            ++m_pos;
    }

    void fault(QList<CsvSyntaxError> &problems, int line, qsizetype field, const QString &reason)
    {
        problems.append({line, int(field), reason});
        m_faulty = true;
    }

    // False when the record ran into the end of the file inside quotes.
    bool readRecord(CsvRecord &record, QList<CsvSyntaxError> &problems)
    {
        for (;;) {
            const qsizetype fieldIndex = record.fields.size();
            const qsizetype fieldStart = m_pos;
            skipBlanks();
            QString field;
            if (!atEnd() && current() == '"') {
                if (!readQuoted(field)) {
                    fault(problems, record.line, fieldIndex,
                          QStringLiteral("a quote opens a field that is never closed (end every quoted "
                                         "field with a quote; write a quote inside it as \"\")"));
                    return false;
                }
                skipBlanks();
                if (!atFieldEnd()) {
                    fault(problems, record.line, fieldIndex,
                          QStringLiteral("text after the closing quote (a quoted field ends at its "
                                         "closing quote; write a quote inside it as \"\")"));
                    while (!atFieldEnd())
                        ++m_pos;
                }
            } else {
                m_pos = fieldStart;
                while (!atFieldEnd())
                    field += m_text.at(m_pos++);
                if (field.contains('"'))
                    fault(problems, record.line, fieldIndex,
                          QStringLiteral("a quote inside an unquoted field (put the whole field in "
                                         "quotes and write the quote as \"\")"));
            }
            record.fields.append(field);
            if (atEnd())
                return true;
            if (current() == ',') {
                ++m_pos;
                continue;
            }
            skipLineBreak();
            return true;
        }
    }

    // From an opening quote to just past its closing quote; false at the end of the text.
    bool readQuoted(QString &field)
    {
        ++m_pos;
        while (!atEnd()) {
            const QChar ch = current();
            if (ch == '"') {
                if (m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == '"') {
                    field += '"';
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                return true;
            }
            const bool lineEnds =
                ch == '\n' || (ch == '\r' && !(m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == '\n'));
            if (lineEnds)
                ++m_line;
            field += ch;
            ++m_pos;
        }
        return false;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    bool m_faulty = false;
};

} // namespace

CsvRecords ReadCsvRecords(const QString &text)
{
    return CsvScanner(text).scan();
}
