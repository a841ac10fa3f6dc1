// The builder's .mim parser and the keyboard rules made from what it reads: bad input
// ends in an InputError, and no rule set the builder keeps lets a chain of replacements
// run without end. Input: the .mim file.
#include "FuzzFiles.h"
#include "FuzzInput.h"
#include "InputError.h"
#include "KeyboardBuilder.h"
#include "MimReader.h"

#include <QHash>

using namespace orvane::mkdb;
using namespace Qt::StringLiterals;

namespace {

// The key input's rule: the last two characters, blanks trimmed, replaced while known.
bool chainEnds(const QHash<QString, QString>& rules, QString text)
{
    for (int step = 0; step <= KeyboardBuilder::MaxChain; ++step) {
        if (text.size() < 2)
            return true;
        const auto rule = rules.constFind(text.right(2).trimmed());
        if (rule == rules.constEnd() || rule->isEmpty())
            return true;
        text.chop(2);
        text += *rule;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = fuzzFile(u"fuzz.mim"_s, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    try {
        MimReader reader(path);
        KeyboardBuilder builder;
        builder.addSequences(reader.rules());
        QHash<QString, QString> rules;
        for (const auto& rule : builder.rules()) {
            FUZZ_CHECK(!rule.input.isEmpty() && rule.input.size() <= 2);
            rules.insert(rule.input, rule.display);
        }
        // Whatever the user typed before, a kept rule's replacement comes to rest.
        for (const auto& rule : builder.rules()) {
            for (const QString& before : {QString(), u"a"_s, u" "_s, rule.input.left(1), rule.display.right(1)})
                FUZZ_CHECK(chainEnds(rules, before + rule.input));
        }
    } catch (const InputError& error) {
        FUZZ_CHECK(!error.file().isEmpty() && !error.message().isEmpty());
    }
    return 0;
}
