#include "TsvReader.h"

#include "InputError.h"
#include "InputFile.h"

namespace orvane::mkdb {

std::vector<TsvReader::Row> TsvReader::read(const QString& path, int columns, SkippedLines* skipped)
{
    std::vector<Row> rows;
    const QStringList lines = InputFile::lines(InputFile::readText(path));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        if (lines[i].isEmpty())
            continue;
        try {
            const QStringList raw = lines[i].split(QLatin1Char('\t'));
            if (raw.size() != columns)
                throw InputError(
                    path, lineNumber,
                    QStringLiteral("expected %1 tab-separated fields, found %2").arg(columns).arg(raw.size()));
            Row row{lineNumber, {}};
            for (const QString& field : raw)
                row.fields << unescape(field, path, lineNumber);
            rows.push_back(std::move(row));
        } catch (InputError& fault) {
            skipLine(std::move(fault), skipped);
        }
    }
    return rows;
}

QString TsvReader::unescape(const QString& field, const QString& path, int line)
{
    QString result;
    result.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != QLatin1Char('\\')) {
            result += field[i];
            continue;
        }
        const QChar next = i + 1 < field.size() ? field[i + 1] : QChar();
        if (next == QLatin1Char('t'))
            result += QLatin1Char('\t');
        else if (next == QLatin1Char('n'))
            result += QStringLiteral("\r\n");
        else if (next == QLatin1Char('\\'))
            result += QLatin1Char('\\');
        else
            throw InputError(path, line,
                             next.isNull() ? QStringLiteral("a backslash ends the field; write \\\\ for a backslash")
                                           : QStringLiteral("unknown escape \\%1 (use \\t, \\n or \\\\)").arg(next));
        ++i;
    }
    return result;
}

} // namespace orvane::mkdb
