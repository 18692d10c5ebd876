#include "SqlOracle.h"
#include "FuzzSupport.h"
#include "ZQDBConnect.h"
#include "ZQPDMFC.h"

#include <QRegularExpression>

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

namespace zqfuzz {

std::optional<SqlShape> SplitLiterals(const QString& sql)
{
    SqlShape shape;
    QString current;
    bool inLiteral = false;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!inLiteral) {
            if (c == u'\'') {
                shape.between << current;
                current.clear();
                inLiteral = true;
            } else {
                current += c;
            }
            continue;
        }
        if (c == u'\'') {
            if (i + 1 < sql.size() && sql[i + 1] == u'\'') {
                current += c;
                ++i;
                continue;
            }
            shape.literals << current;
            current.clear();
            inLiteral = false;
            continue;
        }
        current += c;
    }
    if (inLiteral)
        return std::nullopt;
    shape.between << current;
    return shape;
}

namespace {

// What a text can be in SQL: a NUL ends it (texts are zero-terminated); a lone surrogate,
// being no character, reads as the replacement character.
QString ZeroTerminated(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    QString t = nul < 0 ? text : text.left(nul);
    for (qsizetype i = 0; i < t.size(); ++i) {
        const bool pair = t[i].isHighSurrogate() && i + 1 < t.size() && t[i + 1].isLowSurrogate();
        if (pair)
            ++i;
        else if (t[i].isSurrogate())
            t[i] = QChar(QChar::ReplacementCharacter);
    }
    return t;
}

// A text as it can be read in a report: control characters and surrogates as \uXXXX.
QString Visible(const QString& text)
{
    QString out;
    for (QChar c : text.left(200)) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c.isSurrogate() || c.unicode() == 0xFEFF)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

QString Describe(const BuilderInput& input)
{
    QString d = QStringLiteral("from %1 to %2 choice %3").arg(input.from.toString(Qt::ISODate),
                                                              input.to.toString(Qt::ISODate)).arg(input.choice);
    for (int i = 0; i < input.texts.size(); ++i)
        d += QStringLiteral("\n  text %1: [%2]").arg(i).arg(Visible(input.texts[i]));
    return d;
}

Rows Sorted(Rows rows)
{
    std::sort(rows.begin(), rows.end(), [](const QStringList& a, const QStringList& b) {
        return a.join(QChar(1)) < b.join(QChar(1));
    });
    return rows;
}

QStringList NonEmpty(const QStringList& texts)
{
    QStringList kept;
    for (const QString& t : texts)
        if (!t.isEmpty())
            kept << t;
    return kept;
}

} // namespace

QString ReadText(const QString& text, const Reading& reading)
{
    QString t = ZeroTerminated(text);
    if (reading.trimmed)
        t = t.trimmed();
    if (reading.pattern) {
        t.replace(u'*', u'%');
        if (!reading.starOnly)
            t.replace(u'?', u'_');
    }
    return QString(reading.lead, u'%') + t + QString(reading.trail, u'%');
}

bool PutsCondition(const QString& text, const Reading& reading)
{
    if (!reading.optional)
        return true;
    QString t = ZeroTerminated(text);
    return !(reading.trimmed ? t.trimmed() : t).isEmpty();
}

QString Marker(int index)
{
    return QStringLiteral("zqv%1z").arg(index);
}

void SqlOracle::check(const SqlBuilder& builder, const BuilderInput& input)
{
    const QList<Reading> readings = builder.readings(input.choice);
    const QString sql = builder.build(input);
    if (sql.isEmpty())
        return;
    const QString context = QStringLiteral("%1: %2\n%3").arg(QString::fromUtf8(builder.name), Describe(input),
                                                               sql.left(2000));

    BuilderInput marked = input;
    for (int i = 0; i < readings.size(); ++i)
        if (PutsCondition(input.texts.value(i), readings[i]))
            marked.texts[i] = Marker(i);
    const auto real = SplitLiterals(sql);
    const auto shape = SplitLiterals(builder.build(marked));
    Check(real.has_value(), "every literal is closed", context);
    Check(shape.has_value(), "the marked statement closes its literals", context);
    Check(real->between == shape->between, "no text changes the statement's shape", context);
    Check(real->literals.size() == shape->literals.size(), "no text adds or drops a literal", context);

    // A literal that holds a text holds exactly that text as its reading says: the marked build
    // shows the wrapping (the "%" before and after it), the fuzzed build the text.
    static const QRegularExpression marker(QStringLiteral("^(%*)zqv(\\d+)z(%*)$"));
    SqlShape expected = *shape;
    for (QString& literal : expected.literals) {
        if (!literal.contains(QStringLiteral("zqv")))
            continue;
        const QRegularExpressionMatch m = marker.match(literal);
        const int i = m.hasMatch() ? m.captured(2).toInt() : -1;
        Check(i >= 0 && i < readings.size(), "a text fills a literal of its own", context + QStringLiteral("\n  [") + literal + u']');
        Check(m.captured(1).size() == readings[i].lead && m.captured(3).size() == readings[i].trail,
              "a text is matched anywhere, or from the start, exactly as its reading says", context + QStringLiteral("\n  [") + literal + u']');
        literal = ReadText(input.texts.value(i), readings[i]);
    }
    for (qsizetype j = 0; j < expected.literals.size(); ++j)
        Check(real->literals[j] == expected.literals[j], "every literal holds the literal reading of its text",
              context + QStringLiteral("\n  literal %1: [%2]\n  expected: [%3]")
                            .arg(j).arg(Visible(real->literals[j]), Visible(expected.literals[j])));

    // The engines' rewriting leaves literals alone.
    for (const QString& driver : {QStringLiteral("QSQLITE"), QStringLiteral("QPSQL")}) {
        const auto adapted = SplitLiterals(zq::AdaptSql(sql, driver));
        Check(adapted && NonEmpty(adapted->literals) == NonEmpty(real->literals),
              "adapting the statement to an engine keeps its literals", context + QStringLiteral("\n") + driver);
    }

    const Rows rows = Sorted(run(sql, context));
    QList<bool> holdsText;
    for (const QString& literal : std::as_const(shape->literals))
        holdsText << literal.contains(QStringLiteral("zqv"));
    const Rows twin = Sorted(runTwin(*real, holdsText, context));
    Check(rows == twin, "the statement returns exactly the rows of the literal reading",
          context + QStringLiteral("\n  rows %1, literal reading %2").arg(rows.size()).arg(twin.size()));
    m_counts.rows += rows.size();
}

Rows SqlOracle::run(const QString& sql, const QString& context)
{
    ++m_counts.statements;
    Rows rows;
    try {
        rows = ReadRows(sql, m_connection);
    } catch (const zq::_com_error& error) {
        Fail("the statement runs", context + QStringLiteral("\n  error: ") + error.Description());
    }
    return rows;
}

Rows SqlOracle::runTwin(const SqlShape& shape, const QList<bool>& holdsText, const QString& context)
{
    // The statement's own literals stay in its text, where the engine rewriting reads them (a
    // "+" next to a text literal joins texts). So does an empty one: Qt binds an empty text that
    // is null as NULL, which no comparison matches.
    QString text = shape.between.value(0);
    QStringList bound;
    for (qsizetype j = 0; j < shape.literals.size(); ++j) {
        QString literal = shape.literals[j];
        if (holdsText.value(j) && !literal.isEmpty()) {
            text += QStringLiteral("?");
            bound << literal;
        } else {
            text += QStringLiteral("'") + literal.replace(u'\'', QStringLiteral("''")) + QStringLiteral("'");
        }
        text += shape.between.value(j + 1);
    }
    QSqlQuery query(m_twin);
    query.setForwardOnly(true);
    Check(query.prepare(zq::AdaptSql(text, QStringLiteral("QSQLITE"))), "the twin statement prepares",
          context + QStringLiteral("\n  ") + query.lastError().text());
    for (const QString& literal : std::as_const(bound))
        query.addBindValue(literal);
    Check(query.exec(), "the twin statement runs", context + QStringLiteral("\n  ") + query.lastError().text());
    Rows rows;
    const int fields = query.record().count();
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < fields; ++i)
            row << zq::ValueToText(query.value(i));
        rows << row;
    }
    return rows;
}

} // namespace zqfuzz
