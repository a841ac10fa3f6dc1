#pragma once

// Qt text handed to ICU's C functions, for the data layer's text rules.

#include <QString>
#include <algorithm>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utypes.h>

namespace orvane::core::data::icu {

inline const UChar* text(QStringView text)
{
    return reinterpret_cast<const UChar*>(text.utf16());
}

// Runs an ICU function of the form f(source, length, destination, capacity, &status),
// growing the destination until the result fits; the source itself when ICU fails.
template <typename Function> QString transformed(QStringView source, Function&& function)
{
    QString result(source.size() + 8, Qt::Uninitialized);
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length = function(text(source), int32_t(source.size()), reinterpret_cast<UChar*>(result.data()),
                                        int32_t(result.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            result.resize(length);
            continue;
        }
        if (U_FAILURE(status))
            return source.toString();
        result.resize(length);
        return result;
    }
}

// Case folded as ICU's default folding does it (ß as ss, final ς as σ).
inline QString foldCase(QStringView source)
{
    return transformed(source, [](const UChar* text, int32_t length, UChar* out, int32_t capacity, UErrorCode* status) {
        return u_strFoldCase(out, capacity, text, length, U_FOLD_CASE_DEFAULT, status);
    });
}

// Text that no folding or normalisation changes beyond ASCII's own case.
inline bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace orvane::core::data::icu
