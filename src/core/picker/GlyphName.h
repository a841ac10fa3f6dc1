#pragma once

#include <QString>

namespace orvane::core::picker {

// What a screen reader says for a glyph of the picker: the Unicode names of its characters,
// separated by commas ("GREEK SMALL LETTER ALPHA"); a character without a name by its code
// point ("U+E000"); no glyph at all as "Empty".
QString glyphName(const QString& glyph);

} // namespace orvane::core::picker
