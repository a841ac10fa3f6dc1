#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The Unicode rules every comparison of the data layer shares, so that the pattern
// matcher, the key columns written by the builder and the SQL functions can never
// disagree about what "the same text" or "comes first" means.
namespace orvane::core::data::unicode {

// The text with every unpaired surrogate replaced by U+FFFD, so that it has a UTF-8 form.
QString withoutLoneSurrogates(QStringView text);
// UTF-8 as the engine stores it. Qt would write a lone surrogate as "?", which a pattern
// then reads as a wildcard; U+FFFD keeps it one ordinary character.
QByteArray toUtf8(QStringView text);

// UTF-8 as the engine hands it over, ill-formed sequences read as U+FFFD. The first form
// writes into `units`, which must hold utf8.size() code units, and returns how many it wrote.
qsizetype decodeUtf8(QByteArrayView utf8, char16_t* units);
QString fromUtf8(QByteArrayView utf8);

// Full case folding, then NFC: the form in which patterns and texts are compared.
QString foldForSearch(QStringView text);

// Collation order (ICU root) with ties broken by code point: a total order.
// Negative, zero or positive like strcmp.
int compareCollated(QStringView left, QStringView right);

// The same order on UTF-8 texts, as the engine stores them.
int compareCollatedUtf8(QByteArrayView left, QByteArrayView right);

// Bytes whose memcmp order is compareCollated() order.
QByteArray collationKey(QStringView text);

} // namespace orvane::core::data::unicode
