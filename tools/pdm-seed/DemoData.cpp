#include "DemoData.h"
#include "ZQPDMFC.h"
#include <QFileInfo>

namespace zq::seed {

QString DemoClock::stamp(int daysBack, int hour, int minute, int second) const
{
    return today.addDays(-daysBack).toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(" %1:%2:%3")
               .arg(hour, 2, 10, QLatin1Char('0'))
               .arg(minute, 2, 10, QLatin1Char('0'))
               .arg(second, 2, 10, QLatin1Char('0'));
}

QString OldDrawingNumber(const QString& code)
{
    if (!code.startsWith(QLatin1String("ZQ")))
        return {};
    QString old = code;
    old.replace(0, 2, QStringLiteral("JQ"));
    old.replace(QLatin1Char('-'), QLatin1Char('.'));
    return old;
}

int KiloBytes(qsizetype bytes)
{
    return std::max(1, int((bytes + 1023) / 1024));
}

int StoreDesignFile(DemoContext& ctx, const QString& code1, const QString& code2, const QString& revision,
                    const QString& fileName, const QByteArray& content)
{
    const QString n1 = zq::CodeToPathSegment(code1);
    const QString n2 = zq::CodeToPathSegment(code2);
    ctx.out.storeFile(QStringLiteral("Zq/Proven/%1/%2/%3/%4").arg(n1, n2, revision, fileName), content);
    const int kb = KiloBytes(content.size());
    ctx.out
        .table(QStringLiteral("ZqPDMFile"),
               {QStringLiteral("FileKey"), QStringLiteral("FileKind"), QStringLiteral("Code"), QStringLiteral("Revision"),
                QStringLiteral("FileTitle"), QStringLiteral("FileName"), QStringLiteral("FileBulk"),
                QStringLiteral("DocContent")})
        .add({QStringLiteral("%1_%2_%3").arg(n1, n2, fileName), QStringLiteral("产品"), n2, revision,
              QFileInfo(fileName).completeBaseName(), fileName, kb, content});
    return kb;
}

void StoreResourceFile(DemoContext& ctx, const QString& itemCode, const QString& fileName, const QByteArray& content)
{
    ctx.out.storeFile(QStringLiteral("Zq/Resource/%1/%2").arg(zq::CodeToPathSegment(itemCode), fileName), content);
}

QStringList TitleColumns()
{
    return {QStringLiteral("Tcode"),     QStringLiteral("Tname"),    QStringLiteral("Tmaterial"),
            QStringLiteral("Tratio"),    QStringLiteral("Tframe"),   QStringLiteral("Ttitle"),
            QStringLiteral("Tstandard"), QStringLiteral("Tlayout"),  QStringLiteral("Tassemble"),
            QStringLiteral("Tdesigner"), QStringLiteral("Tother1"),  QStringLiteral("Tother2"),
            QStringLiteral("Tother3"),   QStringLiteral("Tother4"),  QStringLiteral("Tother5"),
            QStringLiteral("Manager"),   QStringLiteral("State"),    QStringLiteral("Ttime"),
            QStringLiteral("ProductDwgCode"), QStringLiteral("TRevision")};
}

QStringList DetailColumns()
{
    return {QStringLiteral("ProductDwgCode"), QStringLiteral("UpCode"),  QStringLiteral("Upname"),
            QStringLiteral("Dcode"),          QStringLiteral("Dname"),   QStringLiteral("Dmaterial"),
            QStringLiteral("Dstand"),         QStringLiteral("Dremark"), QStringLiteral("Dstyle"),
            QStringLiteral("Dother1"),        QStringLiteral("Dother2"), QStringLiteral("Dnumber"),
            QStringLiteral("Dserial")};
}

void WriteDemoData(DemoContext& ctx)
{
    WriteUsers(ctx);
    WriteParts(ctx);
    WriteDocuments(ctx);
    WriteChangeOrders(ctx);
    WriteTasks(ctx);
}

} // namespace zq::seed
