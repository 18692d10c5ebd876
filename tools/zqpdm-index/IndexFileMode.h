#pragma once
// The content index holds the text of every stored file: an SQLite index file is readable by no
// more users than the PDM database file it is made from. A new index file gets the database
// file's permissions and group; an existing one is only narrowed to them, so an administrator's
// narrower setting stays.
#include <QString>

namespace zq::index {

// made: the index file was created by this run. Returns what could not be done ("" when all was).
QString MatchDatabaseFileMode(const QString& indexPath, const QString& databasePath, bool made);

// The file of an SQLite URL ("sqlite:PATH"), "" for any other database.
QString SqliteFileOf(const QString& url);

} // namespace zq::index
