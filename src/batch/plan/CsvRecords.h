#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// The records of a CSV text (RFC 4180): fields separated by commas, records by CR LF, LF or a lone CR.
// A field in double quotes may hold commas, line breaks and quotes written twice; blanks around the
// quotes are allowed.

struct CsvRecord {
    int line = 0;       // the line the record starts on; the first line is 1
    QStringList fields; // without their quotes, doubled quotes made single
};

struct CsvSyntaxError {
    int line = 0;  // first line of the record that holds the fault
    int field = 0; // index of the faulty field in its record, from 0
    QString reason;
};

// Reads a CSV text given piece by piece (any split, even inside a field), so that a large file never has
// to be held whole: each well-formed record goes to onRecord as soon as it ends, each fault to onError;
// a faulty record is left out. A quote that is never closed swallows the rest of the text.
class CsvReader
{
public:
    CsvReader(std::function<void(CsvRecord &&)> onRecord,
              std::function<void(const CsvSyntaxError &)> onError);

    void feed(QStringView text);
    // The end of the text: ends the last record, or reports its unclosed quote.
    void finish();

private:
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted, AfterQuoted, SkipToFieldEnd };

    void take(QChar ch);
    void endField();
    void endRecord(QChar lineBreak);
    void fault(const QString &reason);

    std::function<void(CsvRecord &&)> m_onRecord;
    std::function<void(const CsvSyntaxError &)> m_onError;
    State m_state = State::FieldStart;
    CsvRecord m_record;
    QString m_field;
    bool m_recordStarted = false;
    bool m_faulty = false;
    bool m_skipLineFeed = false; // a CR ended the record: a line feed right after it belongs to it
    bool m_crInQuotes = false;   // the last character in quotes was a CR
    int m_line = 1;
};

// The text of a field as a report writes it, before quoting: one that starts with "=", "+", "-", "@", tab
// or CR gets a leading "'", so that a spreadsheet shows it as text instead of running it as a formula.
QString CsvCellText(const QString &text);

// Fields of one CSV record as a report writes them: as CsvCellText, and a field holding a comma, a quote,
// CR or LF quoted. Ends with CR LF.
QString CsvLine(const QStringList &fields);
