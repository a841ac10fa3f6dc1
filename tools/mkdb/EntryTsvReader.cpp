#include "EntryTsvReader.h"

#include "InputError.h"
#include "TsvReader.h"

namespace orvane::mkdb {

std::vector<SourceEntry> EntryTsvReader::read(const QString& path, SkippedLines* skipped)
{
    std::vector<SourceEntry> entries;
    for (const TsvReader::Row& row : TsvReader::read(path, 4, skipped)) {
        if (row.fields[0].trimmed().isEmpty()) {
            skipLine(InputError(path, row.line, QStringLiteral("the headword (first field, m1) is empty")), skipped);
            continue;
        }
        auto given = [](const QString& field) {
            return field.isEmpty() ? std::nullopt : std::optional<QString>(field);
        };
        entries.push_back({row.fields[0], given(row.fields[1]), given(row.fields[2]), row.fields[3]});
    }
    return entries;
}

} // namespace orvane::mkdb
