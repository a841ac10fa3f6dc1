// Temporary definitions so that every target links while the data layer is written.
// The data layer replaces this file.
#include "data/DatabaseWriter.h"
#include "data/Mainmode.h"
#include "data/PatternMatcher.h"
#include "data/Schema.h"

namespace orvane::data {
const char* const DatabasePassword = "r^plokijuhy246813579";
const char* const UnexpectedErrorText = "unexpected error";
DatabaseHandle& SharedDatabase()
{
    static DatabaseHandle handle;
    return handle;
}
bool ConnectDatabase() { return false; }
void setErrorNotifier(ErrorNotifier) {}
QString programFolder() { return {}; }
void setProgramFolder(const QString&) {}
QString databasePath() { return {}; }

struct RecordSet::Impl {};
RecordSet::RecordSet() = default;
RecordSet::RecordSet(RecordSet&&) noexcept = default;
RecordSet& RecordSet::operator=(RecordSet&&) noexcept = default;
RecordSet::~RecordSet() = default;
bool RecordSet::isOpen() const { return false; }
QString RecordSet::error() const { return QStringLiteral("not implemented"); }
int RecordSet::RecordCount() const { return 0; }
void RecordSet::MoveFirst() {}
bool RecordSet::Eof() const { return true; }
std::optional<QString> RecordSet::Fields(const QString&) const { return std::nullopt; }
bool RecordSet::hasField(const QString&) const { return false; }
qint64 RecordSet::fieldInt(const QString&) const { return 0; }
void RecordSet::MoveNext() {}

struct Database::Impl {};
std::shared_ptr<Database> Database::open(const QString&, const QString&, QString*) { return nullptr; }
Database::~Database() = default;
RecordSet Database::OpenRecordset(const Statement&) { return {}; }
bool Database::hasDictionaryKeys() const { return false; }
QString Database::path() const { return {}; }

QString Statement::displaySql() const { return {}; }
Statement Statement::configSettings() { return {}; }
Statement Statement::configAbout() { return {}; }
Statement Statement::keyboardByInput(const QString&) { return {}; }
Statement Statement::dictionaryByScript(const QString&) { return {}; }
Statement Statement::dictionaryByTranslit(const QString&) { return {}; }
Statement Statement::dictionaryByPlain(const QString&) { return {}; }
Statement Statement::dictionaryById(qint64) { return {}; }
Statement Statement::glyphsInOrder() { return {}; }

struct PatternMatcher::Token {};
PatternMatcher::PatternMatcher(const QString&) {}
bool PatternMatcher::matches(const QString&) const { return false; }
bool PatternMatcher::matchesKey(const QString&) const { return false; }
QString PatternMatcher::literalPrefix() const { return {}; }
bool PatternMatcher::isPlainPrefix() const { return false; }

struct DatabaseWriter::Impl {};
DatabaseWriter::DatabaseWriter(const QString&, Options) {}
DatabaseWriter::~DatabaseWriter() = default;
bool DatabaseWriter::isOpen() const { return false; }
QString DatabaseWriter::error() const { return QStringLiteral("not implemented"); }
bool DatabaseWriter::addEntry(const Entry&) { return false; }
bool DatabaseWriter::addKey(const std::optional<QString>&, const std::optional<QString>&) { return false; }
bool DatabaseWriter::addGlyph(qint64, const std::optional<QString>&) { return false; }
bool DatabaseWriter::addConfig(const Config&) { return false; }
bool DatabaseWriter::exec(const QString&) { return false; }
bool DatabaseWriter::commit() { return false; }

namespace schema {
const char* const CreateTables = "";
const char* const CreateIndexes = "";
QString searchKey(const QString& text) { return text; }
QByteArray sortKey(const QString& text) { return text.toUtf8(); }
QString searchKeyColumn(const QString&) { return {}; }
QString sortKeyColumn(const QString&) { return {}; }
} // namespace schema
} // namespace orvane::data

