#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orvane::mkdb {

// Reading the builder's text inputs: whole files, strictly UTF-8, with the faults
// reported as InputError naming the file (and the line where one is known).
class InputFile
{
public:
    static QByteArray readBytes(const QString& path);
    // The file decoded as UTF-8 (a leading byte order mark is dropped); invalid UTF-8
    // is reported with the line it is on.
    static QString readText(const QString& path);
    static QString decodeUtf8(const QByteArray& bytes, const QString& path);
    // The text's lines, without their line ends (LF, CR LF or CR).
    static QStringList lines(const QString& text);
    // Line breaks as stored in the database: every LF, CR LF or lone CR becomes CR LF.
    static QString withCrLf(const QString& text);
};

} // namespace orvane::mkdb
