#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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

struct CsvRecords {
    QList<CsvRecord> records;       // every well-formed record, in file order
    QList<CsvSyntaxError> problems; // a faulty record is left out of records
};

CsvRecords ReadCsvRecords(const QString &text);
