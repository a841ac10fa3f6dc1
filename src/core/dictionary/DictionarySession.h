#pragma once

#include "core/data/Database.h"
#include "core/dictionary/DisplayConfig.h"

#include <QObject>
#include <QString>

namespace orvane::core::dictionary {

// The dictionary file the windows read and the display settings read from it. The window
// registry owns one and hands it to each window it makes; `orvane --define` and the
// bench make their own. The windows reconnect at every activation, so that a file
// replaced meanwhile is read anew; record sets still open on the previous connection
// stay valid, since each holds a share of it.
class DictionarySession : public QObject
{
    Q_OBJECT
public:
    // `databasePath` empty: orvane.mdb in the program folder.
    explicit DictionarySession(const QString& databasePath = {}, QObject* parent = nullptr);

    QString databasePath() const { return m_databasePath; }

    // Opens the file anew, read-only, with the program's password. Its key is derived
    // once per file salt and kept, so this costs well under a millisecond. On failure
    // keeps the connection it had, emits connectionFailed() and returns false, with the
    // reason in *error when asked.
    bool reconnect(QString* error = nullptr);

    // The connection; empty until the first successful reconnect().
    const data::DatabaseHandle& database() const { return m_database; }

    const DisplayConfig& displaySettings() const { return m_displaySettings; }
    // Reads the display settings from the connection (see loadDisplayConfig()) and
    // emits displaySettingsChanged() when they differ from what was there.
    void loadDisplaySettings();

signals:
    void connectionFailed();
    void displaySettingsChanged();

private:
    QString m_databasePath;
    data::DatabaseHandle m_database;
    DisplayConfig m_displaySettings;
};

} // namespace orvane::core::dictionary
