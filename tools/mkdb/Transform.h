#pragma once

#include <QString>
#include <memory>
#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Transliterator;
U_NAMESPACE_END

namespace orvane::mkdb {

// An ICU transform given by its id or compound id ("Greek-Latin",
// "NFD; [:Nonspacing Mark:] Remove; NFC"). Not thread-safe, like ICU's transliterators.
class Transform
{
public:
    // The transform that strips diacritics: m3 is m2 without them.
    static constexpr const char* StripDiacritics = "NFD; [:Nonspacing Mark:] Remove; NFC";

    // Throws InputError (naming `option`) when ICU does not know the id.
    Transform(const QString& id, const QString& option);
    ~Transform();
    Transform(const Transform&) = delete;
    Transform& operator=(const Transform&) = delete;

    QString apply(const QString& text) const;

private:
    std::unique_ptr<icu::Transliterator> m_transliterator;
};

} // namespace orvane::mkdb
