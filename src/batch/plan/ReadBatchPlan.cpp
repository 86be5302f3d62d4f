#include "BatchPlan.h"

#include "CsvRecords.h"
#include "PlanColumns.h"
#include "PlanFieldChecks.h"
#include "PlanProblemList.h"
#include "PlanUniqueness.h"

#include <QBuffer>
#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <memory>
#include <optional>

namespace
{

// A plan is a list of units, not a data set: anything this large is not a plan.
constexpr qint64 MaxPlanBytes = qint64(16) * 1024 * 1024;
// Read in pieces of this size when not by line.
constexpr qint64 PieceBytes = qint64(64) * 1024;

class PlanReader
{
public:
    explicit PlanReader(BatchPlan &plan) : m_plan(plan), m_problems(plan) {}

    PlanProblemList &problems() { return m_problems; }

    void syntaxError(const CsvSyntaxError &error)
    {
        const bool inHeader = !m_header || error.line <= m_headerLine;
        const std::optional<PlanColumn> column =
            inHeader ? std::nullopt : m_header->columnAt.value(error.field, std::nullopt);
        m_problems.add(
            {error.line, column ? PlanColumnName(*column) : PlanFieldName(error.field), error.reason});
    }

    void record(const CsvRecord &record)
    {
        const bool blank = std::all_of(record.fields.cbegin(), record.fields.cend(),
                                       [](const QString &field) { return field.trimmed().isEmpty(); });
        if (blank)
            return;
        if (!m_header) {
            m_headerLine = record.line;
            QList<PlanProblem> found;
            m_header = ReadPlanHeader(record.fields, record.line, found);
            m_problems.add(found);
            m_plan.noteColumns = m_header->noteNames;
        } else {
            readRow(record);
        }
    }

    void finish(bool wellFormed)
    {
        if (!m_header) {
            if (wellFormed)
                m_problems.add(
                    {1,
                     {},
                     QStringLiteral("the file is empty (expected a header row such as unit,ip,port "
                                    "and one row per unit)")});
            return;
        }
        if (m_portColumnNeeded)
            m_problems.add({m_headerLine, PlanColumnName(PlanColumn::Port),
                            QStringLiteral("required column missing (units with gateway, mask, new_port or "
                                           "check need their console port)")});
        if (m_rowCount == 0 && wellFormed)
            m_problems.add({m_headerLine, {}, QStringLiteral("no units (the header is followed by no row)")});
    }

private:
    void check(int line, PlanColumn column, const FieldCheck &result, QString *normalized = nullptr)
    {
        if (!result.ok())
            m_problems.add({line, PlanColumnName(column), result.problem});
        else if (normalized)
            *normalized = result.value;
    }

    void readRow(const CsvRecord &row)
    {
        ++m_rowCount;
        const PlanHeader &header = *m_header;
        const qsizetype columns = header.columnAt.size();
        // A spreadsheet ends rows with empty fields up to its widest row.
        const bool onlyEmptyBeyond =
            std::all_of(row.fields.cbegin() + std::min(columns, row.fields.size()), row.fields.cend(),
                        [](const QString &field) { return field.trimmed().isEmpty(); });
        if (!onlyEmptyBeyond) {
            m_problems.add(
                {row.line, PlanFieldName(columns),
                 QStringLiteral("the row has %1 fields but the header names %2 columns (put a field "
                                "that holds a comma in quotes)")
                     .arg(row.fields.size())
                     .arg(columns)});
            return;
        }
        PlanUnit unit;
        unit.line = row.line;
        unit.unit = header.value(row.fields, PlanColumn::Unit);
        unit.ip = header.value(row.fields, PlanColumn::Ip);
        unit.port = header.value(row.fields, PlanColumn::Port);
        unit.mac = header.value(row.fields, PlanColumn::Mac);
        unit.gateway = header.value(row.fields, PlanColumn::Gateway);
        unit.mask = header.value(row.fields, PlanColumn::Mask);
        unit.newPort = header.value(row.fields, PlanColumn::NewPort);
        unit.notes = header.notes(row.fields);
        if (header.has(PlanColumn::Unit)) {
            const FieldCheck label = CheckLabel(unit.unit);
            check(unit.line, PlanColumn::Unit, label);
            if (label.ok())
                m_problems.add(m_uniqueness.claimLabel(unit));
        }
        const QString address = QStringLiteral("an IPv4 address");
        check(unit.line, PlanColumn::Ip, CheckAddress(unit.ip, address, header.has(PlanColumn::Ip)));
        check(unit.line, PlanColumn::Gateway, CheckAddress(unit.gateway, address, false));
        check(unit.line, PlanColumn::Mask, CheckAddress(unit.mask, QStringLiteral("a subnet mask"), false));
        const FieldCheck yesNo = CheckYesNo(header.value(row.fields, PlanColumn::Check));
        check(unit.line, PlanColumn::Check, yesNo);
        unit.check = !yesNo.ok() || yesNo.value == QLatin1String("yes");
        check(unit.line, PlanColumn::NewPort, CheckConsolePort(unit.newPort), &unit.newPort);
        check(unit.line, PlanColumn::Mac, CheckMacTail(unit.mac), &unit.mac);
        checkConsolePort(unit);
        if (unit.steps().isEmpty())
            m_problems.add({unit.line, PlanColumnName(PlanColumn::Check),
                            QStringLiteral("no to a unit with no other step (give mac, gateway, mask or "
                                           "new_port, or leave check empty)")});
        m_problems.add(m_uniqueness.claimConsoles(unit));
        // Once the plan cannot run its units are not kept: a plan of a million bad rows stays small.
        if (!m_problems.any())
            m_plan.units.append(unit);
    }

    void checkConsolePort(PlanUnit &unit)
    {
        const bool needed =
            !unit.gateway.isEmpty() || !unit.mask.isEmpty() || !unit.newPort.isEmpty() || unit.check;
        if (unit.port.isEmpty() && needed) {
            if (m_header->hasPortColumn)
                m_problems.add(
                    {unit.line, PlanColumnName(PlanColumn::Port),
                     QStringLiteral("empty, but the unit has console steps (gateway, mask, new_port "
                                    "or check): expected 1 to 4 hex digits, e.g. 2720")});
            else
                m_portColumnNeeded = true;
            return;
        }
        check(unit.line, PlanColumn::Port, CheckConsolePort(unit.port), &unit.port);
    }

    BatchPlan &m_plan;
    PlanProblemList m_problems;
    std::optional<PlanHeader> m_header;
    int m_headerLine = 0;
    int m_rowCount = 0;
    bool m_portColumnNeeded = false;
    PlanUniqueness m_uniqueness;
};

std::unique_ptr<QStringDecoder> utf8Decoder()
{
    return std::make_unique<QStringDecoder>(QStringConverter::Utf8);
}

// Japanese Excel saves "CSV" in CP932; ICU knows it by this name.
std::unique_ptr<QStringDecoder> cp932Decoder()
{
    return std::make_unique<QStringDecoder>("windows-31j");
}

bool isUtf8(QIODevice &file)
{
    std::unique_ptr<QStringDecoder> decoder = utf8Decoder();
    while (!file.atEnd()) {
        const QByteArray piece = file.readLine();
        const QString decoded = decoder->decode(piece); // decodes only when taken as a string
        if (decoder->hasError())
            return false;
        if (piece.endsWith('\n'))
            decoder = utf8Decoder(); // a line of its own: a fault on one line is not carried on
    }
    return true;
}

bool decodesCleanly(QIODevice &file, QStringDecoder &decoder)
{
    while (!decoder.hasError() && !file.atEnd())
        const QString decoded = decoder.decode(file.read(PieceBytes));
    return decoder.isValid() && !decoder.hasError();
}

// The plan's lines decoded into the reader, each line that is not UTF-8 named when cp932 is false.
void readText(QIODevice &file, bool cp932, PlanReader &reader)
{
    bool wellFormed = true;
    CsvReader checked([&reader](CsvRecord &&record) { reader.record(record); },
                      [&reader, &wellFormed](const CsvSyntaxError &error) {
                          wellFormed = false;
                          reader.syntaxError(error);
                      });
    std::unique_ptr<QStringDecoder> decoder = cp932 ? cp932Decoder() : utf8Decoder();
    int line = 1;
    bool first = true;
    while (!file.atEnd()) {
        const QByteArray piece = file.readLine();
        QString text = decoder->decode(piece);
        if (std::exchange(first, false) && text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        const bool lineEnds = piece.endsWith('\n') || file.atEnd();
        if (!cp932 && lineEnds) {
            if (decoder->hasError())
                reader.problems().add(
                    {line, {}, QStringLiteral("not UTF-8 text (save the plan as UTF-8 CSV)")});
            decoder =
                utf8Decoder(); // each line on its own, as a multi-byte character never holds a line feed
        }
        checked.feed(text);
        line += lineEnds ? 1 : 0;
    }
    checked.finish();
    reader.finish(wellFormed);
}

} // namespace

BatchPlan ReadBatchPlan(const QString &path)
{
    BatchPlan plan;
    PlanReader reader(plan);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reader.problems().add({0, {}, "cannot be read: " + file.errorString()});
        return plan;
    }
    // A pipe is read once into memory (within the limit); a file is read twice, piece by piece.
    QBuffer whole;
    QIODevice *source = &file;
    if (file.isSequential()) {
        whole.setData(file.read(MaxPlanBytes + 1));
        whole.open(QIODevice::ReadOnly);
        source = &whole;
    }
    if (source->size() > MaxPlanBytes) {
        reader.problems().add({0, {}, QStringLiteral("larger than 16 MiB; a plan holds one row per unit")});
        return plan;
    }
    bool cp932 = false;
    if (!isUtf8(*source)) {
        const std::unique_ptr<QStringDecoder> decoder = cp932Decoder();
        source->seek(0);
        cp932 = decodesCleanly(*source, *decoder);
    }
    source->seek(0);
    readText(*source, cp932, reader);
    if (cp932)
        plan.encodingNote = QStringLiteral(
            "The plan is not UTF-8; it was read as CP932 (Shift-JIS), as Japanese Excel saves CSV.");
    return plan;
}
