#include "core/data/Cipher.h"

#include <openssl/evp.h>

#include <QMutex>
#include <QMutexLocker>
#include <deque>

namespace orvane::core::data::cipher {
namespace {

struct CachedKey
{
    QByteArray passphrase, salt, key;
};

QByteArray deriveKey(const QByteArray& passphrase, const QByteArray& salt)
{
    QByteArray key(KeySize, Qt::Uninitialized);
    const bool derived =
        PKCS5_PBKDF2_HMAC(passphrase.constData(), int(passphrase.size()),
                          reinterpret_cast<const unsigned char*>(salt.constData()), int(salt.size()), Rounds,
                          EVP_sha1(), KeySize, reinterpret_cast<unsigned char*>(key.data())) == 1;
    // Without a key nothing can be opened; an empty one makes the open fail as a wrong key does.
    return derived ? key : QByteArray();
}

} // namespace

QByteArray rawKey(const QByteArray& passphrase, const QByteArray& salt)
{
    // A few entries are plenty: the program has one database, tests a handful.
    static QMutex mutex;
    static std::deque<CachedKey> cache;
    constexpr std::size_t CacheSize = 8;

    QMutexLocker lock(&mutex);
    for (const CachedKey& entry : cache) {
        if (entry.salt == salt && entry.passphrase == passphrase)
            return entry.key;
    }
    QByteArray key = deriveKey(passphrase, salt);
    if (key.isEmpty())
        return key;
    cache.push_front({passphrase, salt, key});
    if (cache.size() > CacheSize)
        cache.pop_back();
    return key;
}

QByteArray rawKeyLiteral(const QByteArray& key, const QByteArray& salt)
{
    return "\"x'" + key.toHex() + salt.toHex() + "'\"";
}

QByteArray passphraseLiteral(const QString& passphrase)
{
    return '\'' + passphrase.toUtf8().replace('\'', "''") + '\'';
}

QByteArray keyPragmas(const QByteArray& keyLiteral, int pageSize)
{
    const QByteArray size = QByteArray::number(pageSize);
#ifdef ORVANE_SYSTEM_SQLCIPHER
    // SQLCipher 4 and later: version 3's settings, chosen after the key.
    return "PRAGMA key = " + keyLiteral + "; PRAGMA cipher_compatibility = 3; PRAGMA cipher_page_size = " + size +
           ';';
#else
    // The bundled engine: its SQLCipher scheme in version 3's settings, chosen before the key.
    return "PRAGMA cipher = 'sqlcipher'; PRAGMA legacy = 3; PRAGMA legacy_page_size = " + size +
           "; PRAGMA key = " + keyLiteral + ';';
#endif
}

} // namespace orvane::core::data::cipher
