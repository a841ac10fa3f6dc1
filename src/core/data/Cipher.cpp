#include "core/data/Cipher.h"

// SHA-1's own functions, deprecated in OpenSSL 3 for its EVP interface: its PBKDF2
// copies a digest context, with an allocation, for each of the 256,000 hashes of a key,
// and took 60-80 ms of each start where this takes about 13.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/sha.h>

#include <QMutex>
#include <QMutexLocker>
#include <QtEndian>
#include <algorithm>
#include <deque>

namespace orvane::core::data::cipher {
namespace {

struct CachedKey
{
    QByteArray passphrase, salt, key;
};

// PBKDF2-HMAC-SHA1. HMAC's inner and outer hashes are keyed once; each round then hashes
// 20 bytes on copies of them.
QByteArray deriveKey(const QByteArray& passphrase, const QByteArray& salt)
{
    using Bytes = const unsigned char*;
    unsigned char hmacKey[SHA_CBLOCK] = {}, pad[SHA_CBLOCK];
    if (passphrase.size() > SHA_CBLOCK)
        SHA1(Bytes(passphrase.constData()), std::size_t(passphrase.size()), hmacKey);
    else
        std::copy(passphrase.cbegin(), passphrase.cend(), hmacKey);
    SHA_CTX inner, outer;
    for (const auto& [context, mask] : {std::pair(&inner, 0x36), std::pair(&outer, 0x5c)}) {
        for (std::size_t i = 0; i < sizeof pad; ++i)
            pad[i] = hmacKey[i] ^ mask;
        SHA1_Init(context);
        SHA1_Update(context, pad, sizeof pad);
    }
    const auto hmac = [&](Bytes data, std::size_t size, unsigned char* digest) {
        SHA_CTX context = inner;
        SHA1_Update(&context, data, size);
        SHA1_Final(digest, &context);
        context = outer;
        SHA1_Update(&context, digest, SHA_DIGEST_LENGTH);
        SHA1_Final(digest, &context);
    };
    QByteArray key(KeySize, Qt::Uninitialized);
    for (qsizetype done = 0, block = 1; done < KeySize; done += SHA_DIGEST_LENGTH, ++block) {
        QByteArray first = salt; // then the block's number
        first.resize(salt.size() + 4);
        qToBigEndian(quint32(block), first.data() + salt.size());
        unsigned char round[SHA_DIGEST_LENGTH], sum[SHA_DIGEST_LENGTH];
        hmac(Bytes(first.constData()), std::size_t(first.size()), round);
        std::copy(std::begin(round), std::end(round), sum);
        for (int i = 1; i < Rounds; ++i) {
            hmac(round, sizeof round, round);
            for (std::size_t j = 0; j < sizeof sum; ++j)
                sum[j] ^= round[j];
        }
        std::copy_n(sum, std::min<qsizetype>(SHA_DIGEST_LENGTH, KeySize - done), key.begin() + done);
    }
    return key;
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
    return "PRAGMA key = " + keyLiteral + "; PRAGMA cipher_compatibility = 3; PRAGMA cipher_page_size = " + size + ';';
#else
    // The bundled engine: its SQLCipher scheme in version 3's settings, chosen before the key.
    return "PRAGMA cipher = 'sqlcipher'; PRAGMA legacy = 3; PRAGMA legacy_page_size = " + size +
           "; PRAGMA key = " + keyLiteral + ';';
#endif
}

} // namespace orvane::core::data::cipher
