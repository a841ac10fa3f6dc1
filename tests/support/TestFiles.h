#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Small file helpers the tests share.
namespace orvane::testing {

// Replaces the file at `path` with `bytes`; false when it cannot be written whole.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The whole file, or an empty array when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace orvane::testing
