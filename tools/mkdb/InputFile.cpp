#include "InputFile.h"

#include "InputError.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace orvane::mkdb {

QByteArray InputFile::readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw InputError(path, 0, QStringLiteral("cannot read the file: %1").arg(file.errorString()));
    return file.readAll();
}

QString InputFile::readText(const QString& path)
{
    QByteArray bytes = readBytes(path);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return decodeUtf8(bytes, path);
}

QString InputFile::decodeUtf8(const QByteArray& bytes, const QString& path)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (!decoder.hasError())
        return text;
    // Find the first line that does not decode on its own, to point the author at it.
    int line = 1;
    for (const QByteArray& piece : bytes.split('\n')) {
        QStringDecoder probe(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = probe.decode(piece); // decoding happens on conversion
        if (probe.hasError())
            throw InputError(path, line, QStringLiteral("the text is not valid UTF-8"));
        ++line;
    }
    throw InputError(path, 0, QStringLiteral("the text is not valid UTF-8"));
}

QStringList InputFile::lines(const QString& text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    QStringList result = text.split(lineEnd);
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast(); // the final line end closes the last line, it opens none
    return result;
}

QString InputFile::withCrLf(const QString& text)
{
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    result.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return result;
}

} // namespace orvane::mkdb
