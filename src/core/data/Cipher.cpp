#include "core/data/Cipher.h"

#include <QCryptographicHash>
#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
#include <array>
#include <deque>

namespace orvane::data::cipher {
namespace {

constexpr int Sha1Size = 20;
constexpr int Sha1BlockSize = 64;

// HMAC-SHA1 with the padded key blocks prepared once: each PBKDF2 round is then two
// hashes of short inputs, with nothing to allocate.
class HmacSha1
{
public:
    explicit HmacSha1(QByteArray key)
    {
        if (key.size() > Sha1BlockSize)
            key = QCryptographicHash::hash(key, QCryptographicHash::Sha1);
        key.resize(Sha1BlockSize, '\0');
        m_innerPad = key;
        m_outerPad = key;
        for (int i = 0; i < Sha1BlockSize; ++i) {
            m_innerPad[i] = char(m_innerPad[i] ^ 0x36);
            m_outerPad[i] = char(m_outerPad[i] ^ 0x5c);
        }
    }

    QByteArray mac(QByteArrayView message)
    {
        m_hash.reset();
        m_hash.addData(m_innerPad);
        m_hash.addData(message);
        const QByteArrayView inner = m_hash.resultView();
        std::copy(inner.begin(), inner.end(), m_innerResult.begin());
        m_hash.reset();
        m_hash.addData(m_outerPad);
        m_hash.addData(QByteArrayView(m_innerResult.data(), Sha1Size));
        return m_hash.result();
    }

private:
    QByteArray m_innerPad, m_outerPad;
    std::array<char, Sha1Size> m_innerResult{};
    QCryptographicHash m_hash{QCryptographicHash::Sha1};
};

struct CachedKey
{
    QByteArray passphrase, salt, key;
};

} // namespace

QByteArray pbkdf2HmacSha1(const QByteArray& password, const QByteArray& salt, int rounds, int keySize)
{
    HmacSha1 hmac(password);
    QByteArray derived;
    for (quint32 block = 1; derived.size() < keySize; ++block) {
        const std::array<char, 4> blockIndex{char(block >> 24), char(block >> 16), char(block >> 8), char(block)};
        QByteArray u = hmac.mac(salt + QByteArray(blockIndex.data(), blockIndex.size()));
        QByteArray t = u;
        for (int round = 1; round < rounds; ++round) {
            u = hmac.mac(u);
            for (int i = 0; i < Sha1Size; ++i)
                t[i] = char(t[i] ^ u[i]);
        }
        derived += t;
    }
    derived.truncate(keySize);
    return derived;
}

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
    QByteArray key = pbkdf2HmacSha1(passphrase, salt, Rounds, KeySize);
    cache.push_front({passphrase, salt, key});
    if (cache.size() > CacheSize)
        cache.pop_back();
    return key;
}

QByteArray rawKeyPragmas(const QByteArray& key, const QByteArray& salt, int pageSize)
{
    return "PRAGMA key = \"x'" + key.toHex() + salt.toHex() +
           "'\"; PRAGMA cipher_page_size = " + QByteArray::number(pageSize) + ';';
}

} // namespace orvane::data::cipher
