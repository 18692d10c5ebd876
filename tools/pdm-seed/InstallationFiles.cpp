#include "InstallationFiles.h"
#include "TableWriter.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

namespace zq::seed {

namespace {

QString lines(const QStringList& list)
{
    return list.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw SeedError(QStringLiteral("cannot create the folder of %1").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        throw SeedError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw SeedError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

} // namespace

QStringList PageCaptions()
{
    // "文档内容" searches the content index, which zqpdm-index fills from the stored files.
    return {QStringLiteral("设计零部件"), QStringLiteral("资源文件"),   QStringLiteral("文档内容"),
            QStringLiteral("设计文档"),   QStringLiteral("数据视图项"), QStringLiteral("批次产品"),
            QStringLiteral("更改单"),     QStringLiteral("更改发放部门"), QStringLiteral("更改影响面"),
            QStringLiteral("更改处理意见"), QStringLiteral("设计任务"),   QStringLiteral("设计过程零部件")};
}

QString SearchCfgText()
{
    return lines(PageCaptions());
}

QString ZqpdmcadIniText(const QString& databaseUrl, const QString& storeUrl)
{
    return lines({
        QStringLiteral("; ZQPDM 客户端配置 (演示安装)"),
        QStringLiteral("[产品属性]"),
        QStringLiteral("标题其他1=重量"),
        QStringLiteral("标题其他2=审核"),
        QStringLiteral("标题其他3=工艺"),
        QStringLiteral("标题其他4=旧图号"),
        QStringLiteral("标题其他5=批准"),
        QStringLiteral("明细备注=备注"),
        QStringLiteral("明细类型=类型"),
        QStringLiteral("明细规格=规格"),
        QStringLiteral("明细其他1=单重"),
        QStringLiteral("明细其他2=旧图号"),
        QString(),
        QStringLiteral("[零部件附加信息]"),
        QStringLiteral("附加其他1=表面处理"),
        QStringLiteral("附加其他2=热处理"),
        QStringLiteral("附加其他3=颜色"),
        QStringLiteral("附加其他4=质量等级"),
        QStringLiteral("附加其他5=备件"),
        QString(),
        QStringLiteral("[图纸入库配置]"),
        QStringLiteral("; 电子文档: 0 或 1 = FTP 存储, 其他 = 数据库; 资源文档: 0 或 1 = 数据库, 其他 = FTP 存储"),
        QStringLiteral("电子文档存储方式=0"),
        QStringLiteral("资源文档存储方式=0"),
        QStringLiteral("; 标题其他n 所存的图纸项编号"),
        QStringLiteral("标题其他1=26"),
        QStringLiteral("标题其他2=27"),
        QStringLiteral("标题其他3=62"),
        QStringLiteral("标题其他4=119"),
        QStringLiteral("标题其他5=120"),
        QString(),
        QStringLiteral("[资源视图信息]"),
        QStringLiteral("视图其他1=版本"),
        QStringLiteral("视图其他2=作者"),
        QStringLiteral("视图其他3=审核人"),
        QStringLiteral("视图其他4=关键字"),
        QString(),
        QStringLiteral("[Database]"),
        databaseUrl.isEmpty() ? QStringLiteral("; 没有 Url 时用本安装中的 pdm.db; 相对的 sqlite: 路径从本安装算起")
                              : QStringLiteral("Url=") + databaseUrl,
        QString(),
        QStringLiteral("[FTP]"),
        storeUrl.isEmpty() ? QStringLiteral("; 没有 Url 时用本安装中的 ftpstore 文件夹; 相对的 file: 路径从本安装算起")
                           : QStringLiteral("Url=") + storeUrl,
    });
}

QString ZqpdmcodIniText()
{
    // 119 is the item number of 标题其他4, so old drawing numbers are looked up in TOther4.
    return lines({QStringLiteral("[ZQPDM图号管理]"), QStringLiteral("旧图号项=119")});
}

QByteArray EncodeGbkText(const QString& text)
{
    QStringEncoder encoder("GB18030");
    if (!encoder.isValid())
        throw SeedError(QStringLiteral("no GBK codec available (Qt without ICU?)"));
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        throw SeedError(QStringLiteral("text cannot be written as GBK"));
    return bytes;
}

QStringList InstallationFiles(const QString& home)
{
    return {home + QStringLiteral("/Support/Search.cfg"), home + QStringLiteral("/rnds/spt/zqpdmcad.ini"),
            home + QStringLiteral("/sys/zqpdmcod.ini")};
}

void WriteInstallationFiles(const QString& home, const QString& databaseUrl, const QString& storeUrl)
{
    const QStringList files = InstallationFiles(home);
    writeFile(files[0], EncodeGbkText(SearchCfgText()));
    writeFile(files[1], EncodeGbkText(ZqpdmcadIniText(databaseUrl, storeUrl)));
    writeFile(files[2], EncodeGbkText(ZqpdmcodIniText()));
}

} // namespace zq::seed
