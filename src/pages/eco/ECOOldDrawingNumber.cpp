#include "ECOOldDrawingNumber.h"

#include "Profile.h"
#include "ZQDBConnect.h"
#include "SqlText.h"
#include "ZQPDMFC.h"

namespace zq::eco {

namespace {

constexpr int kProfileBuffer = 100;

int ReadItem(const QString& section, const QString& key, const QString& defaultValue, const QString& file)
{
    return Atoi(GetPrivateProfileString(section, key, defaultValue, kProfileBuffer, file));
}

} // namespace

OldCodeConfig ReadOldCodeConfig()
{
    const QString cadIni = InstallPath(QStringLiteral("rnds\\spt\\zqpdmcad.ini"));
    const QString codeIni = ResolvePathCaseInsensitive(SystemDirectory() + QStringLiteral("/zqpdmcod.ini"));
    static const char* const kDefaults[5] = {"26", "119", "62", "119", "119"};

    OldCodeConfig config;
    for (int i = 0; i < 5; ++i)
        config.titleItems[i] = ReadItem(QStringLiteral("图纸入库配置"), QStringLiteral("标题其他%1").arg(i + 1),
                                        QString::fromLatin1(kDefaults[i]), cadIni);
    config.oldCodeItem = ReadItem(QStringLiteral("ZQPDM图号管理"), QStringLiteral("旧图号项"), QStringLiteral("-1"), codeIni);
    return config;
}

int OldCodeTitleField(const OldCodeConfig& config)
{
    for (int i = 0; i < 5; ++i) {
        if (config.titleItems[i] == config.oldCodeItem)
            return i + 1;
    }
    return 0;
}

QString OldCodeLookupSql(int titleField, const QString& oldCode)
{
    if (titleField < 1 || titleField > 5)
        return QString();
    return QStringLiteral("SELECT TCode FROM ZqlomiraAll_Title WHERE TOther%1 ='").arg(titleField) + SqlQuote(oldCode)
           + QStringLiteral("'");
}

QString TranslateOldDrawingNumber(CZQDBConnect& connection, const QString& oldCode, const OldCodeConfig& config)
{
    const QString sql = OldCodeLookupSql(OldCodeTitleField(config), oldCode);
    if (sql.isEmpty())
        return QString();
    return connection.GetSelectItemData(sql, DataSystemPDM);
}

} // namespace zq::eco
