#include "core/picker/GlyphName.h"

#include <QStringList>

#include <unicode/uchar.h>

namespace orvane::core::picker {

QString glyphName(const QString& glyph)
{
    if (glyph.isEmpty())
        return QStringLiteral("Empty");
    QStringList names;
    for (const uint character : glyph.toUcs4()) {
        char name[128]; // the longest Unicode name has 88 characters
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length =
            u_charName(static_cast<UChar32>(character), U_UNICODE_CHAR_NAME, name, sizeof name, &status);
        if (U_SUCCESS(status) && length > 0)
            names << QString::fromLatin1(name, length);
        else // private use, unassigned, controls
            names << QStringLiteral("U+%1").arg(character, 4, 16, QLatin1Char('0')).toUpper();
    }
    return names.join(QStringLiteral(", "));
}

} // namespace orvane::core::picker
