#include "OpenDatabase.h"
#include "SqliteSearchFunctions.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <string>

namespace zq::db {

namespace {

class Utf8CharacterType {
public:
    Utf8CharacterType()
    {
        if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0)
            return;
        const char* current = std::setlocale(LC_CTYPE, nullptr);
        m_previous = current ? current : "C";
        m_changed = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
    }
    ~Utf8CharacterType()
    {
        if (m_changed)
            std::setlocale(LC_CTYPE, m_previous.c_str());
    }
    Utf8CharacterType(const Utf8CharacterType&) = delete;
    Utf8CharacterType& operator=(const Utf8CharacterType&) = delete;

private:
    std::string m_previous;
    bool m_changed = false;
};

} // namespace

bool OpenDatabase(QSqlDatabase& db)
{
    SearchFunctionsOnOpen searchFunctions;
    if (db.driverName() != u"QODBC")
        return db.open();
    Utf8CharacterType utf8;
    return db.open();
}

} // namespace zq::db
