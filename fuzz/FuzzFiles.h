#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

// The builder's readers take file paths: fuzz inputs are written to files in one
// private folder, kept for the whole run.
inline QString fuzzFile(const QString& name, const QByteArray& bytes)
{
    static QTemporaryDir* folder = new QTemporaryDir;
    const QString path = folder->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    return path;
}

inline void removeFuzzFile(const QString& path)
{
    QFile::remove(path);
}
