#pragma once

#include "InputError.h"
#include "SourceEntry.h"

#include <QString>
#include <vector>

namespace orvane::mkdb {

// Entries from a TSV file with four fields per line: m1, m2, m3, meanings (escapes
// as in TsvReader; \n in the meanings becomes a line break). m1 must not be empty;
// an empty m2 or m3 is left for the transforms to fill in. A line that cannot be read goes
// into *skipped (see skipLine()).
class EntryTsvReader
{
public:
    static std::vector<SourceEntry> read(const QString& path, SkippedLines* skipped = nullptr);
};

} // namespace orvane::mkdb
