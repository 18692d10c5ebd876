#pragma once
// Statements timed by psql itself, the raw baseline of the PostgreSQL figures.
#include "BenchData.h"

#include <QString>
#include <QStringList>

namespace zq::bench {

// The statements run by one psql with \timing on, their rows thrown away, PGOPTIONS set to
// PGOPTIONS: the server's times added up, in milliseconds; -1 when psql is missing or a statement
// failed (what psql said then in *ERROR when given).
double PsqlMilliseconds(const Installation& installation, const QStringList& statements, const QString& pgOptions = {},
                        QString* error = nullptr);

} // namespace zq::bench
