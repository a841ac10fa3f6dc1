#pragma once

#include "InputError.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace orvane::mkdb {

// Tab-separated text files: one record per line, fields separated by TAB.
// Inside a field, \t stands for a TAB, \n for a line break and \\ for a backslash;
// any other backslash sequence is an error, so a typo never slips into the data.
// Empty lines are skipped.
class TsvReader
{
public:
    struct Row
    {
        int line = 0;
        QStringList fields; // unescaped
    };

    // Every non-empty line of `path`; a line with another number of fields than
    // `columns`, or with an unknown escape, is an error naming the file and line, passed
    // over into *skipped when given (see skipLine()).
    static std::vector<Row> read(const QString& path, int columns, SkippedLines* skipped = nullptr);

    static QString unescape(const QString& field, const QString& path, int line);
};

} // namespace orvane::mkdb
