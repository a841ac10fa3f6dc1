#pragma once

#include <QString>
#include <optional>

namespace orvane::mkdb {

// One dictionary entry as read from a source, before transliteration.
struct SourceEntry
{
    QString m1;
    std::optional<QString> m2, m3; // given by the source; otherwise derived by transforms
    QString meanings;              // line breaks already CR LF
};

} // namespace orvane::mkdb
