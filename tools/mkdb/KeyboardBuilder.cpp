#include "KeyboardBuilder.h"

#include <algorithm>

namespace orvane::mkdb {

namespace {

// The texts whose last two characters, trimmed of blanks, look up `input`.
QStringList startTexts(const QString& input)
{
    if (input.size() == 1)
        return {QLatin1Char(' ') + input, input + QLatin1Char(' ')};
    return {input};
}

QString describe(const KeyRule& rule)
{
    return QStringLiteral("%1 → %2").arg(rule.input, rule.display);
}

} // namespace

KeyboardBuilder::Chain KeyboardBuilder::chain(QString text) const
{
    Chain result;
    QSet<QString> seen{text};
    while (text.size() >= 2) {
        const auto found = m_byInput.constFind(text.right(2).trimmed());
        if (found == m_byInput.cend())
            break;
        text = text.chopped(2) + m_rules[*found].display;
        result.steps << text;
        if (seen.contains(text) || result.steps.size() > MaxChain) {
            result.endless = true;
            break;
        }
        seen.insert(text);
    }
    result.text = text;
    return result;
}

QString KeyboardBuilder::type(const QString& keys) const
{
    QString box;
    for (QChar key : keys)
        box = chain(box + key).text;
    return box;
}

void KeyboardBuilder::leaveOut(const KeyRule& rule, const QString& reason)
{
    m_leftOut << QStringLiteral("%1: %2 left out: %3").arg(rule.origin, describe(rule), reason);
}

void KeyboardBuilder::add(const KeyRule& rule)
{
    m_byInput.insert(rule.input, m_rules.size());
    m_rules.push_back(rule);
}

void KeyboardBuilder::withdrawLast()
{
    m_byInput.remove(m_rules.back().input);
    m_rules.pop_back();
}

std::optional<QString> KeyboardBuilder::endlessChain() const
{
    for (const KeyRule& accepted : m_rules) {
        for (const QString& start : startTexts(accepted.input)) {
            const Chain run = chain(start);
            if (run.endless)
                return QStringLiteral("the replacements would never end: %1 → %2 …")
                    .arg(start, run.steps.mid(0, 4).join(QStringLiteral(" → ")));
        }
    }
    return std::nullopt;
}

std::optional<QString> KeyboardBuilder::swallowedKey(const QString& input) const
{
    if (input.size() != 2)
        return std::nullopt;
    const Chain run = chain(input);
    if (run.text != input.left(1))
        return std::nullopt;
    return QStringLiteral("the chain %1 → %2 only swallows the key").arg(input, run.steps.join(QStringLiteral(" → ")));
}

bool KeyboardBuilder::accept(const KeyRule& rule)
{
    if (rule.display.isEmpty()) {
        leaveOut(rule, QStringLiteral("an empty display never replaces anything"));
        return false;
    }
    if (const auto taken = m_byInput.constFind(rule.input); taken != m_byInput.cend()) {
        const KeyRule& earlier = m_rules[*taken];
        // The same rule a second time adds nothing and is no conflict.
        if (earlier.display != rule.display)
            leaveOut(rule,
                     QStringLiteral("the input is already taken by %1 (%2)").arg(describe(earlier), earlier.origin));
        return false;
    }

    // Try the rule with all the others, and withdraw it if it breaks a chain.
    add(rule);
    std::optional<QString> broken = endlessChain();
    if (!broken)
        broken = swallowedKey(rule.input);
    if (broken) {
        withdrawLast();
        leaveOut(rule, *broken);
        return false;
    }
    return true;
}

void KeyboardBuilder::addRule(const KeyRule& rule)
{
    accept(rule);
}

void KeyboardBuilder::addSequences(std::vector<KeySequence> sequences)
{
    std::stable_sort(sequences.begin(), sequences.end(),
                     [](const KeySequence& a, const KeySequence& b) { return a.keys.size() < b.keys.size(); });
    for (const KeySequence& sequence : sequences) {
        if (sequence.keys.size() == 1) {
            accept({sequence.keys, sequence.output, sequence.origin});
            continue;
        }
        const QString shown = type(sequence.keys.chopped(1));
        const KeyRule rule{shown + sequence.keys.back(), sequence.output, sequence.origin};
        if (shown.size() != 1) {
            leaveOut({sequence.keys, sequence.output, sequence.origin},
                     QStringLiteral("its first keys show %1, not one character, and only the last two characters "
                                    "are looked at")
                         .arg(shown));
            continue;
        }
        accept(rule);
    }
}

QHash<QChar, QString> KeyboardBuilder::markKeys() const
{
    // A two-key rule whose display is its first character plus one mark tells which
    // key adds that mark; the first such rule decides (a' -> á: ' adds the acute).
    QHash<QChar, QString> keys;
    for (const KeyRule& rule : m_rules) {
        if (rule.input.size() != 2)
            continue;
        const QString base = rule.input.left(1).normalized(QString::NormalizationForm_D);
        const QString marked = rule.display.normalized(QString::NormalizationForm_D);
        if (marked.size() != base.size() + 1)
            continue;
        for (qsizetype i = 0; i < marked.size(); ++i) {
            if (marked[i].isMark() && QString(marked).remove(i, 1) == base && !keys.contains(marked[i]))
                keys.insert(marked[i], rule.input.right(1));
        }
    }
    return keys;
}

bool KeyboardBuilder::ensureReachable(const QString& letter, const QHash<QChar, QString>& markKeys,
                                      QSet<QString>& reached)
{
    if (reached.contains(letter))
        return true;
    const QString decomposed = letter.normalized(QString::NormalizationForm_D);
    if (decomposed == letter)
        return true; // typed as it is
    // Peel the last mark first (ḗ = ē + acute), then earlier ones (ḗ = é + macron).
    for (qsizetype i = decomposed.size() - 1; i > 0; --i) {
        if (!decomposed[i].isMark() || !markKeys.contains(decomposed[i]))
            continue;
        const QString shorter = QString(decomposed).remove(i, 1).normalized(QString::NormalizationForm_C);
        if (shorter.size() != 1 || !ensureReachable(shorter, markKeys, reached))
            continue;
        if (accept({shorter + markKeys[decomposed[i]], letter, QStringLiteral("letter of the transliteration")})) {
            reached.insert(letter);
            return true;
        }
    }
    return false;
}

void KeyboardBuilder::completeAlphabet(const QSet<QString>& alphabet)
{
    const QHash<QChar, QString> keys = markKeys();
    QSet<QString> reached;
    for (const KeyRule& rule : m_rules)
        reached.insert(rule.display);

    QStringList letters(alphabet.begin(), alphabet.end());
    std::sort(letters.begin(), letters.end());
    for (const QString& letter : letters) {
        if (!ensureReachable(letter, keys, reached))
            m_leftOut << QStringLiteral("letter of the transliteration: %1 (U+%2) has no rule: no key is known for "
                                        "its marks")
                             .arg(letter)
                             .arg(letter.toUcs4().value(0), 4, 16, QLatin1Char('0'));
    }
}

} // namespace orvane::mkdb
