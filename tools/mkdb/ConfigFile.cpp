#include "ConfigFile.h"

#include "InputError.h"
#include "InputFile.h"

#include "core/data/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace orvane::mkdb {

core::data::DatabaseWriter::Config ConfigFile::read(const QString& path)
{
    core::data::DatabaseWriter::Config config;
    // The keys are the columns they fill.
    using namespace core::data;
    const QHash<QString, std::optional<QString>*> texts{{DB_COLUMN_NAME, &config.name},
                                                        {DB_COLUMN_FNT1, &config.fnt1},
                                                        {DB_COLUMN_FNT3, &config.fnt3},
                                                        {DB_COLUMN_FNT4, &config.fnt4},
                                                        {DB_COLUMN_FNT5, &config.fnt5}};
    const QHash<QString, std::optional<double>*> sizes{{DB_COLUMN_FSZ1, &config.fsz1},
                                                       {DB_COLUMN_FSZ2, &config.fsz2},
                                                       {DB_COLUMN_FSZ3, &config.fsz3},
                                                       {DB_COLUMN_FSZ4, &config.fsz4},
                                                       {DB_COLUMN_FSZ5, &config.fsz5}};
    QSet<QString> seen;
    const QStringList lines = InputFile::lines(InputFile::readText(path));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            throw InputError(path, lineNumber, QStringLiteral("expected key = value"));
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (seen.contains(key))
            throw InputError(path, lineNumber, QStringLiteral("%1 is given twice").arg(key));
        seen.insert(key);

        if (texts.contains(key)) {
            *texts[key] = value;
        } else if (sizes.contains(key)) {
            bool isNumber = false;
            const double points = value.toDouble(&isNumber);
            if (!isNumber || points <= 0 || points > 400)
                throw InputError(path, lineNumber,
                                 QStringLiteral("%1 must be a font size in points, not \"%2\"").arg(key, value));
            *sizes[key] = points;
        } else if (key == QLatin1String("about-file")) {
            const QString aboutPath = QFileInfo(path).dir().filePath(value);
            QString about = InputFile::withCrLf(InputFile::readText(aboutPath));
            while (about.endsWith(QLatin1String("\r\n")))
                about.chop(2);
            config.about = about;
        } else {
            throw InputError(path, lineNumber,
                             QStringLiteral("unknown key \"%1\" (known: name, fnt1, fnt3, fnt4, fnt5, fsz1 … fsz5, "
                                            "about-file)")
                                 .arg(key));
        }
    }
    return config;
}

} // namespace orvane::mkdb
