#pragma once

#include <QByteArray>
#include <QString>
#include <exception>
#include <vector>

namespace orvane::mkdb {

// A fault in an input file, located so the author can go straight to it.
// line 0 means the file as a whole (cannot be read, not UTF-8 at an unknown place).
class InputError : public std::exception
{
public:
    InputError(QString file, int line, QString message)
        : m_file(std::move(file)), m_line(line), m_message(std::move(message)),
          m_text((m_line > 0 ? QStringLiteral("%1:%2: %3").arg(m_file).arg(m_line).arg(m_message)
                             : QStringLiteral("%1: %2").arg(m_file, m_message))
                     .toUtf8())
    {}

    const QString& file() const { return m_file; }
    int line() const { return m_line; }
    const QString& message() const { return m_message; }
    QString text() const { return QString::fromUtf8(m_text); }
    const char* what() const noexcept override { return m_text.constData(); }

private:
    QString m_file;
    int m_line;
    QString m_message;
    QByteArray m_text;
};

// The faults of the lines a reader passed over. Real dictionaries carry a few bad lines,
// which must not cost a user the rest.
using SkippedLines = std::vector<InputError>;

// A line that cannot be used: kept in *skipped and passed over, or thrown when there is
// nowhere to keep it (a strict build).
inline void skipLine(InputError fault, SkippedLines* skipped)
{
    if (!skipped)
        throw fault;
    skipped->push_back(std::move(fault));
}

} // namespace orvane::mkdb
