#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Turns fuzzer bytes into the texts a target needs. Texts are UTF-8 separated by a
// newline, so seeds are plain text files. Byte 0xFE followed by two bytes (little
// endian) is one raw UTF-16 code unit, so lone surrogates, NULs, newlines and any
// other unit still reach the code under test, as they can from a paste or a database.
class FuzzInput
{
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_pos >= m_size; }

    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

    // The next text, up to a newline or the end.
    QString text(bool stopAtNewline = true)
    {
        QString out;
        std::size_t start = m_pos;
        auto flush = [&](std::size_t end) {
            out +=
                QString::fromUtf8(reinterpret_cast<const char*>(m_data + start), static_cast<qsizetype>(end - start));
        };
        while (m_pos < m_size) {
            const std::uint8_t b = m_data[m_pos];
            if (stopAtNewline && b == '\n') {
                flush(m_pos);
                ++m_pos;
                return out;
            }
            if (b == 0xFE && m_pos + 2 < m_size) {
                flush(m_pos);
                out.append(QChar(static_cast<char16_t>(m_data[m_pos + 1] | (m_data[m_pos + 2] << 8))));
                m_pos += 3;
                start = m_pos;
                continue;
            }
            ++m_pos;
        }
        flush(m_pos);
        return out;
    }

    // Everything that is left, newlines included.
    QString rest() { return text(false); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// A property that holds for every input; a failure is a finding (libFuzzer keeps the input).
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                        \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
