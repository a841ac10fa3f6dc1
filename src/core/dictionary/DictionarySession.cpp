#include "core/dictionary/DictionarySession.h"

#include <QCoreApplication>

namespace orvane::core::dictionary {

DictionarySession::DictionarySession(const QString& databasePath, QObject* parent)
    : QObject(parent),
      m_databasePath(databasePath.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/orvane.mdb")
                                            : databasePath)
{}

bool DictionarySession::reconnect(QString* error)
{
    data::DatabaseHandle opened =
        data::Database::open(m_databasePath, QString::fromLatin1(data::DatabasePassword), error);
    if (!opened) {
        emit connectionFailed();
        return false;
    }
    m_database = std::move(opened);
    return true;
}

void DictionarySession::loadDisplaySettings()
{
    const DisplayConfig before = m_displaySettings;
    loadDisplayConfig(m_database, m_displaySettings);
    if (m_displaySettings != before)
        emit displaySettingsChanged();
}

} // namespace orvane::core::dictionary
