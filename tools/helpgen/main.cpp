// orvane-helpgen: fills the help page of the transliteration keys with the key table of
// a dictionary database, so the help always matches the bundled dictionary.
//
//   orvane-helpgen <page template> <output page> [<orvane.mdb>]
//
// The template's line "<!-- key table -->" becomes the table; without a database the
// line is dropped and the page explains the keys without listing them.
#include "core/data/Database.h"
#include "core/dictionary/KeyInput.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

namespace orvane::helpgen {
namespace {

using core::dictionary::KeyTableRow;

// The keys as the transliteration box applies them, grouped by the letter they give, then by the keys.
std::optional<std::vector<KeyTableRow>> readKeys(const QString& databasePath, QString* error)
{
    const auto database = core::data::Database::open(databasePath, QString::fromLatin1(core::data::DatabasePassword), error);
    if (!database)
        return std::nullopt;
    std::optional<std::vector<KeyTableRow>> keys = core::dictionary::appliedKeyTable(*database, error);
    if (keys) {
        const auto order = [](const KeyTableRow& row) {
            return std::pair(row.display.normalized(QString::NormalizationForm_D).left(1).toLower(), row.input);
        };
        std::stable_sort(keys->begin(), keys->end(),
                         [&](const KeyTableRow& a, const KeyTableRow& b) { return order(a) < order(b); });
    }
    return keys;
}

// Two spaces look up the empty input.
QString typedKeys(const QString& input)
{
    return input.isEmpty() ? QStringLiteral("Space Space") : input;
}

QString keyTable(const std::vector<KeyTableRow>& rules)
{
    constexpr int PairsPerRow = 4;
    QString html = QStringLiteral("<table class=\"keys\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n<tr>");
    for (int column = 0; column < PairsPerRow; ++column)
        html += QStringLiteral("<th>Type</th><th>You get</th>");
    html += QStringLiteral("</tr>\n");
    for (size_t index = 0; index < rules.size(); index += PairsPerRow) {
        html += QStringLiteral("<tr>");
        for (size_t cell = index; cell < index + PairsPerRow; ++cell) {
            if (cell < rules.size())
                html += QStringLiteral("<td><kbd>%1</kbd></td><td class=\"result\">%2</td>")
                            .arg(typedKeys(rules[cell].input).toHtmlEscaped(), rules[cell].display.toHtmlEscaped());
            else
                html += QStringLiteral("<td></td><td></td>");
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n<p>%1 key sequences.</p>\n").arg(rules.size());
    return html;
}

int fail(const QString& message)
{
    std::fprintf(stderr, "orvane-helpgen: %s\n", qPrintable(message));
    return 1;
}

} // namespace
} // namespace orvane::helpgen

int main(int argc, char* argv[])
{
    using namespace orvane::helpgen;
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3 && arguments.size() != 4)
        return fail(QStringLiteral("usage: orvane-helpgen <page template> <output page> [<orvane.mdb>]"));

    QFile templateFile(arguments[1]);
    if (!templateFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(arguments[1], templateFile.errorString()));
    QString page = QString::fromUtf8(templateFile.readAll());

    const QString marker = QStringLiteral("<!-- key table -->");
    if (!page.contains(marker))
        return fail(QStringLiteral("%1 has no line %2").arg(arguments[1], marker));
    QString table;
    if (arguments.size() == 4) {
        QString error;
        const std::optional<std::vector<KeyTableRow>> keys = readKeys(arguments[3], &error);
        if (!keys)
            return fail(QStringLiteral("cannot read the keys of %1: %2").arg(arguments[3], error));
        table = keyTable(*keys);
    }
    page.replace(marker, table);

    // The help compiler reads the page as Latin-1 unless told otherwise; characters
    // beyond it go in as references so every viewer shows them.
    QString ascii;
    for (const QChar* c = page.constBegin(); c != page.constEnd(); ++c) {
        if (c->isHighSurrogate() && c + 1 != page.constEnd()) {
            ascii += QStringLiteral("&#%1;").arg(QChar::surrogateToUcs4(*c, *(c + 1)));
            ++c;
        } else if (c->unicode() > 0x7e) {
            ascii += QStringLiteral("&#%1;").arg(c->unicode());
        } else {
            ascii += *c;
        }
    }

    QSaveFile output(arguments[2]);
    if (!output.open(QIODevice::WriteOnly) || output.write(ascii.toLatin1()) < 0 || !output.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(arguments[2], output.errorString()));
    return 0;
}
