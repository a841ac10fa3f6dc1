#include "DictdReader.h"

#include "InputError.h"
#include "InputFile.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <zlib.h>

namespace orvane::mkdb {

namespace {

bool isMetadataHeadword(const QString& headword)
{
    return headword.startsWith(QLatin1String("00database")) || headword.startsWith(QLatin1String("00-database"));
}

QString meaningsOf(const QString& headword, const QString& body)
{
    QString text = body;
    const qsizetype firstBreak = text.indexOf(QLatin1Char('\n'));
    const QString firstLine = firstBreak < 0 ? text : text.left(firstBreak);
    if (firstLine.trimmed().startsWith(headword))
        text = firstBreak < 0 ? QString() : text.mid(firstBreak + 1);
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return InputFile::withCrLf(text);
}

} // namespace

bool DictdReader::decodeNumber(const QString& digits, qint64* value)
{
    static const QLatin1String alphabet("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
    if (digits.isEmpty() || digits.size() > 10) // 10 digits already exceed any file size
        return false;
    qint64 result = 0;
    for (QChar c : digits) {
        const qsizetype digit = alphabet.indexOf(c);
        if (digit < 0)
            return false;
        result = result * 64 + digit;
    }
    *value = result;
    return true;
}

QByteArray DictdReader::gunzip(const QByteArray& compressed, const QString& path)
{
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 32) != Z_OK) // 32: expect a gzip header
        throw InputError(path, 0, QStringLiteral("cannot start decompression"));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = uInt(compressed.size());
    QByteArray result;
    char buffer[1 << 16];
    int status = Z_OK;
    while (true) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        result.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
        if (status == Z_STREAM_END && stream.avail_in > 0)
            status = inflateReset(&stream); // gzip allows several members one after another
        else if (status != Z_OK)
            break;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        throw InputError(path, 0,
                         QStringLiteral("not a complete gzip file (%1)")
                             .arg(QString::fromUtf8(stream.msg ? stream.msg : "truncated")));
    return result;
}

std::vector<SourceEntry> DictdReader::read(const QString& name, SkippedLines* skipped)
{
    const QString base = name.endsWith(QLatin1String(".index")) ? name.chopped(6) : name;
    const QString indexPath = base + QStringLiteral(".index");
    QString dictPath = base + QStringLiteral(".dict.dz");
    QByteArray dict;
    if (QFileInfo::exists(dictPath)) {
        dict = gunzip(InputFile::readBytes(dictPath), dictPath);
    } else {
        dictPath = base + QStringLiteral(".dict");
        if (!QFileInfo::exists(dictPath))
            throw InputError(base + QStringLiteral(".dict.dz"), 0,
                             QStringLiteral("no such file (nor %1)").arg(dictPath));
        dict = InputFile::readBytes(dictPath);
    }

    std::vector<SourceEntry> entries;
    const QStringList lines = InputFile::lines(InputFile::readText(indexPath));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        if (lines[i].isEmpty())
            continue;
        const auto skip = [&](const QString& message) { skipLine(InputError(indexPath, lineNumber, message), skipped); };
        const QStringList fields = lines[i].split(QLatin1Char('\t'));
        if (fields.size() < 3) {
            skip(QStringLiteral("expected headword, offset and length separated by tabs"));
            continue;
        }
        const QString& headword = fields[0];
        if (isMetadataHeadword(headword))
            continue;
        qint64 offset = 0, length = 0;
        if (!decodeNumber(fields[1], &offset) || !decodeNumber(fields[2], &length)) {
            skip(QStringLiteral("offset or length is not a dictd base64 number: %1 %2").arg(fields[1], fields[2]));
            continue;
        }
        if (offset + length > dict.size()) {
            skip(QStringLiteral("entry lies beyond the end of %1 (%2 bytes)").arg(dictPath).arg(dict.size()));
            continue;
        }
        if (headword.trimmed().isEmpty()) {
            skip(QStringLiteral("empty headword"));
            continue;
        }
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString body = decoder.decode(dict.mid(offset, length));
        if (decoder.hasError()) {
            skip(QStringLiteral("the entry's text in %1 is not valid UTF-8").arg(dictPath));
            continue;
        }
        entries.push_back({headword, std::nullopt, std::nullopt, meaningsOf(headword, body)});
    }
    return entries;
}

} // namespace orvane::mkdb
