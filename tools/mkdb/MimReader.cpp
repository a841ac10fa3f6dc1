#include "MimReader.h"

#include "InputError.h"
#include "InputFile.h"

#include <optional>

namespace orvane::mkdb {

// An S-expression of the table: a list, a string, a character (?a), a number or a symbol.
struct MimReader::Node
{
    enum class Kind
    {
        List,
        String,
        Character,
        Number,
        Symbol
    } kind = Kind::List;
    // Initialised so that designated initialisers may name only the members they set.
    QString text{}; // string contents, the character, the symbol name
    qint64 number = 0;
    int line = 0;
    std::vector<Node> items{};
};

namespace {

class Parser
{
public:
    Parser(QString text, QString path) : m_text(std::move(text)), m_path(std::move(path)) {}

    std::vector<MimReader::Node> parseAll()
    {
        std::vector<MimReader::Node> nodes;
        while (skipBlank())
            nodes.push_back(parseNode());
        return nodes;
    }

private:
    using Node = MimReader::Node;

    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return m_text[m_pos]; }

    // Skips white space and ;-comments; false at the end of the text.
    bool skipBlank()
    {
        while (!atEnd()) {
            const QChar c = peek();
            if (c == QLatin1Char(';')) {
                while (!atEnd() && peek() != QLatin1Char('\n'))
                    ++m_pos;
            } else if (c.isSpace()) {
                if (c == QLatin1Char('\n'))
                    ++m_line;
                ++m_pos;
            } else {
                return true;
            }
        }
        return false;
    }

    [[noreturn]] void fail(const QString& message, int line = 0) const
    {
        throw InputError(m_path, line > 0 ? line : m_line, message);
    }

    QChar take()
    {
        if (atEnd())
            fail(QStringLiteral("unexpected end of the file"));
        const QChar c = m_text[m_pos++];
        if (c == QLatin1Char('\n'))
            ++m_line;
        return c;
    }

    // A character that may be a surrogate pair, after a backslash escape has been resolved.
    QString takeCharacter()
    {
        QChar c = take();
        if (c == QLatin1Char('\\'))
            c = take();
        QString result(c);
        if (c.isHighSurrogate() && !atEnd())
            result += take();
        return result;
    }

    // One node; its first character tells its kind.
    Node parseNode()
    {
        const int line = m_line;
        const QChar first = take();
        if (first == QLatin1Char('('))
            return parseList(line);
        if (first == QLatin1Char(')'))
            fail(QStringLiteral("unbalanced closing parenthesis"));
        if (first == QLatin1Char('"'))
            return parseString(line);
        if (first == QLatin1Char('?'))
            return parseCharacter(line);
        return parseAtom(first, line);
    }

    // (item item ...), the opening parenthesis already taken.
    Node parseList(int line)
    {
        Node list{.kind = Node::Kind::List, .line = line};
        while (true) {
            if (!skipBlank())
                fail(QStringLiteral("this list is never closed"), line);
            if (peek() == QLatin1Char(')')) {
                ++m_pos;
                return list;
            }
            // Real tables nest a few levels; a bound keeps a damaged file from exhausting the stack.
            if (++m_depth > MaxDepth)
                fail(QStringLiteral("lists are nested more than %1 deep").arg(MaxDepth));
            list.items.push_back(parseNode());
            --m_depth;
        }
    }

    // "text", the opening quote already taken; a backslash escapes the next character.
    Node parseString(int line)
    {
        Node string{.kind = Node::Kind::String, .line = line};
        while (!atEnd() && peek() != QLatin1Char('"'))
            string.text += takeCharacter();
        if (atEnd())
            fail(QStringLiteral("this string is never closed"), line);
        ++m_pos; // the closing quote
        return string;
    }

    // ?c, the question mark already taken.
    Node parseCharacter(int line) { return {.kind = Node::Kind::Character, .text = takeCharacter(), .line = line}; }

    // A number (decimal, or hexadecimal after 0x) or a symbol: everything up to a blank,
    // a parenthesis or a comment.
    Node parseAtom(QChar first, int line)
    {
        QString atom(first);
        while (!atEnd() && !peek().isSpace() && peek() != QLatin1Char('(') && peek() != QLatin1Char(')') &&
               peek() != QLatin1Char(';'))
            atom += takeCharacter();
        bool isNumber = false;
        const qint64 number = atom.startsWith(QLatin1String("0x")) ? atom.mid(2).toLongLong(&isNumber, 16)
                                                                   : atom.toLongLong(&isNumber, 10);
        if (isNumber)
            return {.kind = Node::Kind::Number, .number = number, .line = line};
        return {.kind = Node::Kind::Symbol, .text = atom, .line = line};
    }

    QString m_text;
    QString m_path;
    static constexpr int MaxDepth = 256;
    qsizetype m_pos = 0;
    int m_depth = 0;
    int m_line = 1;
};

// A node that stands for one character: ?a, "a", 97, or the symbol a.
std::optional<QString> characterOf(const MimReader::Node& node)
{
    using Kind = MimReader::Node::Kind;
    switch (node.kind) {
    case Kind::Character:
        return node.text;
    case Kind::String:
    case Kind::Symbol:
        if (node.text.size() == 1 || (node.text.size() == 2 && node.text[0].isHighSurrogate()))
            return node.text;
        return std::nullopt;
    case Kind::Number:
        if (node.number > 0 && node.number <= 0x10FFFF) {
            const char32_t code = char32_t(node.number);
            return QString::fromUcs4(&code, 1);
        }
        return std::nullopt;
    case Kind::List:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

MimReader::MimReader(const QString& path) : m_path(path)
{
    Parser parser(InputFile::readText(path), path);
    for (const Node& form : parser.parseAll()) {
        if (form.kind == Node::Kind::List && !form.items.empty() && form.items[0].kind == Node::Kind::Symbol &&
            form.items[0].text == QLatin1String("map")) {
            for (size_t i = 1; i < form.items.size(); ++i)
                readMap(form.items[i]);
        }
    }
}

void MimReader::readMap(const Node& map)
{
    if (map.kind != Node::Kind::List || map.items.empty())
        return;
    for (size_t i = 1; i < map.items.size(); ++i)
        readRule(map.items[i]);
}

void MimReader::readRule(const Node& rule)
{
    const QString origin = QStringLiteral("%1:%2").arg(m_path).arg(rule.line);
    auto skip = [&](const QString& why) { m_skipped << QStringLiteral("%1: rule skipped: %2").arg(origin, why); };
    if (rule.kind != Node::Kind::List || rule.items.empty())
        return skip(QStringLiteral("not a (KEYS OUTPUT) list"));
    if (rule.items[0].kind == Node::Kind::Symbol && rule.items[0].text == QLatin1String("include"))
        return skip(QStringLiteral("(include …) of another table is not followed"));

    const Node& keysNode = rule.items[0];
    QString keys;
    if (keysNode.kind == Node::Kind::String) {
        keys = keysNode.text;
    } else if (keysNode.kind == Node::Kind::List) {
        for (const Node& key : keysNode.items) {
            const std::optional<QString> c = characterOf(key);
            if (!c)
                return skip(QStringLiteral("the key %1 is not a character").arg(key.text));
            keys += *c;
        }
    } else {
        return skip(QStringLiteral("the keys are neither a string nor a list"));
    }
    if (keys.isEmpty())
        return skip(QStringLiteral("no keys"));
    if (rule.items.size() != 2)
        return skip(QStringLiteral("only a rule with exactly one text as its output is used"));
    const Node& outputNode = rule.items[1];
    QString output;
    if (outputNode.kind == Node::Kind::String)
        output = outputNode.text;
    else if (const std::optional<QString> c = characterOf(outputNode); c && outputNode.kind != Node::Kind::Symbol)
        output = *c;
    else
        return skip(QStringLiteral("the output is not a text (candidate lists and commands are not used)"));
    m_rules.push_back({keys, output, origin});
}

} // namespace orvane::mkdb
