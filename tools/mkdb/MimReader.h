#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace orvane::mkdb {

// One rule of an input-method map: typing `keys` one after another gives `output`.
struct KeySequence
{
    QString keys;
    QString output;
    QString origin; // "file:line", for the builder's report
};

// The rules of the maps of an m17n input-method table (*.mim): the `(map (NAME
// (KEYS OUTPUT) ...))` section. KEYS is a string or a list of characters; OUTPUT a
// string or a character. Rules the key input cannot use (named keys such as Return,
// candidate lists, commands) are skipped and listed in skipped().
class MimReader
{
public:
    explicit MimReader(const QString& path);

    const std::vector<KeySequence>& rules() const { return m_rules; }
    const QStringList& skipped() const { return m_skipped; }

    struct Node;

private:
    void readMap(const Node& map);
    void readRule(const Node& rule);

    QString m_path;
    std::vector<KeySequence> m_rules;
    QStringList m_skipped;
};

} // namespace orvane::mkdb
