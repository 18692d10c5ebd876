#pragma once
// The tables of the content index on each engine, and the way an index of an earlier layout is
// brought to the current one where it stands. The layouts are numbered by kContentIndexVersion
// (ContentSql.h), which the search page reads too.
#include <QString>
#include <QStringList>

namespace zq::db { class Session; }

namespace zq::index::schema {

// The statements that make the current layout's tables, without the version rows.
const QStringList& Statements(bool postgres);
// PostgreSQL: the trigram index over the folded text (needs pg_trgm).
QString TrigramIndexStatement();

// True when Upgrade() takes an index of that layout to the current one.
bool CanUpgrade(int version);
// What the user gains by the upgrade from that layout, in a few words.
QString UpgradeGains(int version);
// In one transaction, keeping every file's text, so that nothing is fetched or read again; false
// (and nothing changed) with the reason. Afterwards SQLite gives the space of the old trigram
// index back to the file system.
bool Upgrade(db::Session& session, bool postgres, int version, QString* error);

} // namespace zq::index::schema
