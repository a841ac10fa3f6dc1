#include "Transform.h"

#include "InputError.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace orvane::mkdb {

Transform::Transform(const QString& id, const QString& option)
{
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError{};
    const icu::UnicodeString icuId(reinterpret_cast<const char16_t*>(id.utf16()), int32_t(id.size()));
    m_transliterator.reset(icu::Transliterator::createInstance(icuId, UTRANS_FORWARD, parseError, status));
    if (U_FAILURE(status) || !m_transliterator)
        throw InputError(
            option, 0,
            QStringLiteral("ICU has no transform \"%1\" (%2)").arg(id, QString::fromUtf8(u_errorName(status))));
}

Transform::~Transform() = default;

QString Transform::apply(const QString& text) const
{
    icu::UnicodeString buffer(reinterpret_cast<const char16_t*>(text.utf16()), int32_t(text.size()));
    m_transliterator->transliterate(buffer);
    return QString(reinterpret_cast<const QChar*>(buffer.getBuffer()), buffer.length());
}

} // namespace orvane::mkdb
