#pragma once
// The literal reading of a built statement. A statement is split into its quoted literals and
// the text between them (its shape). Built once from the fuzzed texts and once from plain
// marker texts, it must keep the shape of the marked one, and every literal must hold exactly
// what the reading of its text says. Run on the database it must then return exactly the rows of
// its twin: the same shape with every literal bound as a parameter, which no text can reshape.
#include "SqlBuilders.h"
#include "StatementRows.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

namespace zq { class Connection; }

namespace zqfuzz {

struct SqlShape {
    QStringList between;    // one more than literals: the text before, between and after them
    QStringList literals;   // their texts, '' read as '
};

// nullopt when a literal is not closed.
std::optional<SqlShape> SplitLiterals(const QString& sql);

// The text of a literal a builder writes for one text, by its reading ("" when it puts none).
// Texts end at a NUL character, as the zero-terminated texts of the system's interfaces do.
QString ReadText(const QString& text, const Reading& reading);
bool PutsCondition(const QString& text, const Reading& reading);

// The marker standing for text i in the marked build.
QString Marker(int index);


struct OracleCounts {
    uint64_t statements = 0;   // statements run through the database component
    uint64_t rows = 0;         // rows compared with the twin
};

// Checks one built statement; stops the run (zqfuzz::Fail) on the first broken property.
class SqlOracle {
public:
    SqlOracle(zq::Connection* connection, QSqlDatabase twin) : m_connection(connection), m_twin(std::move(twin)) {}

    void check(const SqlBuilder& builder, const BuilderInput& input);
    // Runs a statement through the database component; stops the run when it fails.
    Rows run(const QString& sql, const QString& context);
    const OracleCounts& counts() const { return m_counts; }

private:
    // holdsText[j]: literal j holds a condition text and is bound; the others are the statement's own.
    Rows runTwin(const SqlShape& shape, const QList<bool>& holdsText, const QString& context);

    zq::Connection* m_connection;
    QSqlDatabase m_twin;
    OracleCounts m_counts;
};

} // namespace zqfuzz
