#include "core/data/Mainmode.h"

#include <QCoreApplication>
#include <QDebug>

namespace orvane::data {

const char* const DatabasePassword = "r^plokijuhy246813579";
const char* const UnexpectedErrorText = "unexpected error";

namespace {

ErrorNotifier& errorNotifier()
{
    static ErrorNotifier notifier;
    return notifier;
}

QString& programFolderOverride()
{
    static QString folder;
    return folder;
}

QString& databaseFileOverride()
{
    static QString path;
    return path;
}

void notifyError(const QString& message)
{
    if (errorNotifier())
        errorNotifier()(message);
    else
        qWarning().noquote() << message;
}

} // namespace

DatabaseHandle& SharedDatabase()
{
    static DatabaseHandle handle;
    return handle;
}

bool ConnectDatabase()
{
    DatabaseHandle opened = Database::open(databasePath(), QString::fromLatin1(DatabasePassword));
    if (!opened) {
        notifyError(QString::fromLatin1(UnexpectedErrorText));
        return false;
    }
    // Record sets still open on the previous handle keep it alive until they end.
    SharedDatabase() = std::move(opened);
    return true;
}

void setErrorNotifier(ErrorNotifier notifier)
{
    errorNotifier() = std::move(notifier);
}

QString programFolder()
{
    if (!programFolderOverride().isEmpty())
        return programFolderOverride();
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString& folder)
{
    programFolderOverride() = folder;
}

QString databasePath()
{
    if (!databaseFileOverride().isEmpty())
        return databaseFileOverride();
    return programFolder() + QStringLiteral("/orvane.mdb");
}

void setDatabaseFile(const QString& path)
{
    databaseFileOverride() = path;
}

} // namespace orvane::data
