#pragma once

#include "InputError.h"
#include "SourceEntry.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace orvane::mkdb {

// Entries of a dictd dictionary: NAME.index (headword TAB offset TAB length, the numbers
// in dictd's base64 digits) over NAME.dict.dz (gzip, dictzip chunks read as one stream)
// or a plain NAME.dict. The 00database… entries carry the dictionary's own metadata and
// are skipped. The body's first line repeats the headword (with pronunciation and part
// of speech) and is dropped; the rest becomes the meanings.
class DictdReader
{
public:
    // `name` is the path without extension; a path ending in .index is accepted too.
    // A line that cannot be read goes into *skipped (see skipLine()).
    static std::vector<SourceEntry> read(const QString& name, SkippedLines* skipped = nullptr);

    // Exposed for tests.
    static bool decodeNumber(const QString& digits, qint64* value);
    static QByteArray gunzip(const QByteArray& compressed, const QString& path);
};

} // namespace orvane::mkdb
