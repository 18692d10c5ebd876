#include "QuickRequest.h"

namespace zq::web {

namespace {

bool hasControlCharacter(const QString& text)
{
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return true;
    return false;
}

// --kind A,B from "A,B"; empty: every kind. A kind the installation lacks is the search's to tell.
QString kindArguments(const QString& kinds, QuickRequest& request)
{
    QStringList& arguments = request.arguments;
    if (kinds.trimmed().isEmpty())
        return {};
    const QStringList list = kinds.split(u',');
    if (list.size() > kMaxQuickKinds)
        return QStringLiteral("类别过多（最多 %1 个）").arg(kMaxQuickKinds);
    for (const QString& kind : list)
        // No kind starts with "-": such a value would be read as an option ("--help").
        if (kind.trimmed().isEmpty() || kind.size() > 40 || hasControlCharacter(kind) || kinds.startsWith(u'-'))
            return QStringLiteral("类别有误: \"%1\"").arg(kinds.left(80));
    arguments << QStringLiteral("--kind") << kinds;
    for (const QString& kind : list)
        request.kinds.append(kind.trimmed());
    return {};
}

QuickRequest refused(const QString& error)
{
    QuickRequest request;
    request.error = error;
    return request;
}

} // namespace

QuickRequest ParseQuickText(const QString& text, const QString& kinds)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return refused(QStringLiteral("请输入要查找的编号、名称或文字"));
    if (trimmed.size() > kMaxQuickText)
        return refused(QStringLiteral("查找文字过长（最多 %1 个字）").arg(kMaxQuickText));
    if (hasControlCharacter(trimmed))
        return refused(QStringLiteral("查找文字中含有控制字符"));
    // The command line takes these for its help wherever they stand: no text to search for anyway.
    if (trimmed == u"--help" || trimmed == u"-h")
        return refused(QStringLiteral("请输入要查找的编号、名称或文字"));
    QuickRequest request;
    request.arguments << QStringLiteral("--quick") << trimmed;
    request.text = trimmed;
    request.error = kindArguments(kinds, request);
    return request;
}

QuickRequest ParseQuickList(const QByteArray& body, const QString& kinds)
{
    if (body.trimmed().isEmpty())
        return refused(QStringLiteral("列表为空：每行一个编号"));
    if (body.count('\n') + 1 > kMaxListLines)
        return refused(QStringLiteral("列表过长（最多 %1 行）").arg(kMaxListLines));
    if (body.contains('\0'))
        return refused(QStringLiteral("列表须为文字，每行一个编号"));
    QuickRequest request;
    request.arguments << QStringLiteral("--quick-list") << QStringLiteral("-");
    request.input = body;
    request.error = kindArguments(kinds, request);
    return request;
}

} // namespace zq::web
