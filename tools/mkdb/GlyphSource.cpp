#include "GlyphSource.h"

#include "InputError.h"
#include "TsvReader.h"

#include <unicode/uniset.h>
#include <unicode/unistr.h>
#include <unicode/usetiter.h>

namespace orvane::mkdb {

QStringList GlyphSource::fromUnicodeSet(const QString& pattern)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeSet set(
        icu::UnicodeString(reinterpret_cast<const char16_t*>(pattern.utf16()), int32_t(pattern.size())), status);
    if (U_FAILURE(status))
        throw InputError(QStringLiteral("--glyph-set"), 0,
                         QStringLiteral("not a valid ICU set pattern \"%1\" (%2)")
                             .arg(pattern, QString::fromUtf8(u_errorName(status))));
    QStringList glyphs;
    // Code points first, in order; the strings a set may also hold ({ch}) are not characters.
    for (icu::UnicodeSetIterator item(set); item.next() && !item.isString();) {
        const char32_t code = char32_t(item.getCodepoint());
        glyphs << QString::fromUcs4(&code, 1);
    }
    return glyphs;
}

QStringList GlyphSource::fromList(const QString& path)
{
    QStringList glyphs;
    for (const TsvReader::Row& row : TsvReader::read(path, 1)) {
        if (row.fields[0].trimmed().isEmpty())
            throw InputError(path, row.line, QStringLiteral("a glyph must not be blank"));
        glyphs << row.fields[0];
    }
    return glyphs;
}

} // namespace orvane::mkdb
