#pragma once
// The SQL builders of every page, as one table that the SQL fuzz target runs. Each entry says
// how it reads each of its texts and builds its statement from texts, a date range and a small
// choice (condition kind, state, result mode, title field, number of list rows). A page that
// lands adds its builders here; nothing else in the target changes.
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace zqfuzz {

// How a builder reads one text, by the rules of its page.
struct Reading {
    bool trimmed = false;   // blanks around the text are dropped first
    bool pattern = false;   // '*' and '?' are the user's wildcards (SQL's '%' and '_' are too)
    bool starOnly = false;  // of the user's wildcards only '*' is read ('?' stands for itself)
    bool optional = true;   // an empty text puts no condition
    int lead = 0;           // '%' written before the text (a match that need not start the column)
    int trail = 0;          // '%' written after it
};

struct BuilderInput {
    QStringList texts;      // one per reading
    QDate from, to;
    int choice = 0;         // 0..255
};

struct SqlBuilder {
    const char* name;
    // The readings of the texts the builder takes for this choice, in order.
    std::function<QList<Reading>(int choice)> readings;
    // The statement; an empty text when this choice builds none.
    std::function<QString(const BuilderInput& input)> build;
};

const std::vector<SqlBuilder>& SqlBuilders();

} // namespace zqfuzz
