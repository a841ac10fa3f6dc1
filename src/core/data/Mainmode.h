#pragma once

#include "core/data/Database.h"

#include <QString>
#include <functional>

namespace orvane::data {

// The database password, the key of every orvane.mdb.
extern const char* const DatabasePassword;
// The message shown once when the database cannot be opened.
extern const char* const UnexpectedErrorText; // "unexpected error"

// The one shared connection; empty until the first successful ConnectDatabase.
DatabaseHandle& SharedDatabase();

// Opens <program folder>/orvane.mdb read-only with the password and makes it the
// shared connection. On failure reports UnexpectedErrorText through the error
// notifier, keeps the previous connection and returns false.
// The key is derived from the password once per database salt and cached, so that
// reconnecting at every window activation costs well under a millisecond.
bool ConnectDatabase();

// The user interface installs this to show messages; the core shows no dialogs.
using ErrorNotifier = std::function<void(const QString& message)>;
void setErrorNotifier(ErrorNotifier notifier);

// The folder that holds orvane.mdb; QCoreApplication::applicationDirPath() unless set
// (tests point it at a temporary folder).
QString programFolder();
void setProgramFolder(const QString& folder);
QString databasePath(); // programFolder() + "/orvane.mdb", unless set below

// A dictionary of the user's own in place of the one beside the program (--database).
void setDatabaseFile(const QString& path);

} // namespace orvane::data
