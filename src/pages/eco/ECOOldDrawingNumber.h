#pragma once
// Translation of an old drawing number into the current drawing number: the old number is kept
// in one of the five additional title fields, chosen by comparing configured item numbers.
#include <QString>
#include <array>

namespace zq { class CZQDBConnect; }

namespace zq::eco {

struct OldCodeConfig {
    std::array<int, 5> titleItems{26, 119, 62, 119, 119};   // item numbers kept in TOther1 .. TOther5
    int oldCodeItem = -1;                                    // item number of the old drawing number
};

// Reads "图纸入库配置" of "rnds\spt\zqpdmcad.ini" and "ZQPDM图号管理" of zqpdmcod.ini in the system directory.
OldCodeConfig ReadOldCodeConfig();

// The title field (1 to 5) holding the old drawing number: the first whose item number equals
// the old-code item; 0 when none does.
int OldCodeTitleField(const OldCodeConfig& config);

// The lookup of the drawing number by the old number in title field n (1 to 5); "" for another n.
QString OldCodeLookupSql(int titleField, const QString& oldCode);

// The drawing number for an old drawing number, "" when it is not configured or not found.
// Throws the database error of the lookup.
QString TranslateOldDrawingNumber(CZQDBConnect& connection, const QString& oldCode, const OldCodeConfig& config);

} // namespace zq::eco
