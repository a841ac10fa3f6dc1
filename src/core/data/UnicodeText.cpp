#include "core/data/UnicodeText.h"

#include "core/data/IcuText.h"

#include <unicode/ucol.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <QVarLengthArray>
#include <memory>

namespace orvane::core::data::unicode {
namespace {

// The root collator is created once and shared: opening one costs far more than a
// comparison, and comparing with it does not change it.
const UCollator* rootCollator()
{
    struct Closer
    {
        void operator()(UCollator* collator) const { ucol_close(collator); }
    };
    static const std::unique_ptr<UCollator, Closer> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<UCollator, Closer> opened(ucol_open("", &status));
        if (U_FAILURE(status))
            qFatal("ICU root collator unavailable: %s", u_errorName(status));
        return opened;
    }();
    return collator.get();
}

QString normalizeNfc(QString text)
{
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
    if (U_FAILURE(status))
        return text;
    const UChar* source = icu::text(text);
    const int32_t length = int32_t(text.size());
    // Most text is NFC already; checking is much cheaper than normalising.
    const int32_t normalPart = unorm2_spanQuickCheckYes(nfc, source, length, &status);
    if (U_FAILURE(status) || normalPart == length)
        return text;
    QString normalized(length + 16, Qt::Uninitialized);
    for (;;) {
        status = U_ZERO_ERROR;
        const int32_t written = unorm2_normalize(nfc, source, length, reinterpret_cast<UChar*>(normalized.data()),
                                                 int32_t(normalized.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            normalized.resize(written);
            continue;
        }
        if (U_FAILURE(status))
            return text;
        normalized.resize(written);
        return normalized;
    }
}

} // namespace

QString withoutLoneSurrogates(QStringView text)
{
    QString repaired = text.toString();
    if (text.isValidUtf16())
        return repaired;
    for (qsizetype i = 0; i < repaired.size(); ++i) {
        if (repaired[i].isHighSurrogate() && i + 1 < repaired.size() && repaired[i + 1].isLowSurrogate())
            ++i;
        else if (repaired[i].isSurrogate())
            repaired[i] = QChar::ReplacementCharacter;
    }
    return repaired;
}

QByteArray toUtf8(QStringView text)
{
    return text.isValidUtf16() ? text.toUtf8() : withoutLoneSurrogates(text).toUtf8();
}

qsizetype decodeUtf8(QByteArrayView utf8, char16_t* units)
{
    // Well-formed sequences of up to three bytes (every script of the dictionaries) are
    // decoded here, since scans decode millions of texts; at anything else ICU takes over,
    // which also substitutes ill-formed input.
    const auto* next = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = next + utf8.size();
    char16_t* out = units;
    const auto continuation = [](unsigned byte) { return (byte & 0xC0) == 0x80; };
    while (next < end) {
        const unsigned lead = *next;
        if (lead < 0x80) {
            *out++ = char16_t(lead);
            next += 1;
        } else if (lead >= 0xC2 && lead < 0xE0 && end - next >= 2 && continuation(next[1])) {
            *out++ = char16_t((lead & 0x1F) << 6 | (next[1] & 0x3F));
            next += 2;
        } else if (lead >= 0xE0 && lead < 0xF0 && end - next >= 3 && continuation(next[1]) && continuation(next[2]) &&
                   (lead != 0xE0 || next[1] >= 0xA0) && (lead != 0xED || next[1] < 0xA0)) {
            // Neither an overlong form (E0 below A0) nor a surrogate (ED from A0 on).
            *out++ = char16_t((lead & 0x0F) << 12 | (next[1] & 0x3F) << 6 | (next[2] & 0x3F));
            next += 3;
        } else {
            // It cannot fail: the room left holds as many units as there are bytes left.
            UErrorCode status = U_ZERO_ERROR;
            int32_t rest = 0;
            const auto left = int32_t(end - next);
            u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out), left, &rest, reinterpret_cast<const char*>(next), left,
                                 0xFFFD, nullptr, &status);
            return (out - units) + rest;
        }
    }
    return out - units;
}

QString fromUtf8(QByteArrayView utf8)
{
    QString text(utf8.size(), Qt::Uninitialized);
    text.resize(decodeUtf8(utf8, reinterpret_cast<char16_t*>(text.data())));
    return text;
}

QString foldForSearch(QStringView text)
{
    if (icu::isAscii(text))
        return text.toString().toLower();
    return normalizeNfc(icu::foldCase(text));
}

int compareCollated(QStringView left, QStringView right)
{
    const UCollationResult order =
        ucol_strcoll(rootCollator(), icu::text(left), int32_t(left.size()), icu::text(right), int32_t(right.size()));
    if (order != UCOL_EQUAL)
        return order == UCOL_LESS ? -1 : 1;
    return u_strCompare(icu::text(left), int32_t(left.size()), icu::text(right), int32_t(right.size()), true);
}

int compareCollatedUtf8(QByteArrayView left, QByteArrayView right)
{
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult order = ucol_strcollUTF8(rootCollator(), left.data(), int32_t(left.size()), right.data(),
                                                    int32_t(right.size()), &status);
    if (U_SUCCESS(status) && order != UCOL_EQUAL)
        return order == UCOL_LESS ? -1 : 1;
    // UTF-8 byte order is code point order.
    return left.compare(right) < 0 ? -1 : (left == right ? 0 : 1);
}

QByteArray collationKey(QStringView text)
{
    QVarLengthArray<uint8_t, 256> key(256);
    int32_t length = ucol_getSortKey(rootCollator(), icu::text(text), int32_t(text.size()), key.data(), key.size());
    if (length > key.size()) {
        key.resize(length);
        length = ucol_getSortKey(rootCollator(), icu::text(text), int32_t(text.size()), key.data(), key.size());
    }
    // The sort key ends with its only zero byte, so appending the UTF-8 text cannot
    // change the order of two different sort keys; it only orders equal ones by code point.
    QByteArray result(reinterpret_cast<const char*>(key.data()), length);
    result += toUtf8(text);
    return result;
}

} // namespace orvane::core::data::unicode
