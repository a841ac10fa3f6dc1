#pragma once

#include <QString>
#include <QStringList>

namespace orvane::mkdb {

// The characters of the picker, in order (tbl_glyph ids 1, 2, …).
class GlyphSource
{
public:
    // Every character of an ICU set pattern such as [[:Greek:]&[:L:]], in code point order.
    static QStringList fromUnicodeSet(const QString& pattern);
    // One glyph per line of a text file (escapes as in TsvReader; empty lines skipped).
    static QStringList fromList(const QString& path);
};

} // namespace orvane::mkdb
