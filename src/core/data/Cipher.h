#pragma once

#include <QByteArray>
#include <QString>

// How orvane.mdb is encrypted. SQLCipher 3 derives its page key from the passphrase with
// PBKDF2-HMAC-SHA1 over 64,000 rounds, salted with the first 16 bytes of the file. That
// costs milliseconds, too many for a window activation or for each connection that reads
// a listing, so the data layer derives it itself once per salt and opens with the raw key.
namespace orvane::core::data::cipher {

inline constexpr int SaltSize = 16;
inline constexpr int KeySize = 32;
inline constexpr int Rounds = 64000;

// Every encrypted page is read, decrypted and authenticated on its own, so larger pages
// make scans several times cheaper. Databases written elsewhere with the engine's
// default page size still open.
inline constexpr int PageSize = 4096;
inline constexpr int DefaultPageSize = 1024;

// The raw page key for `passphrase` and the file's `salt`; cached per (passphrase, salt).
QByteArray rawKey(const QByteArray& passphrase, const QByteArray& salt);

// A key for keyPragmas(): the raw key with the file's salt, or a passphrase to derive one from.
QByteArray rawKeyLiteral(const QByteArray& key, const QByteArray& salt);
QByteArray passphraseLiteral(const QString& passphrase);

// The statements that key a new connection with `keyLiteral` for SQLCipher 3's layout
// with pages of `pageSize` bytes, as the engine built in takes them.
QByteArray keyPragmas(const QByteArray& keyLiteral, int pageSize);

} // namespace orvane::core::data::cipher
