// The demo's comma-separated values file.
#include "DemoFileFormats.h"

namespace zq::seed {

QByteArray MakeCsv(const QList<QStringList>& rows)
{
    QByteArray bytes = "\xEF\xBB\xBF";
    for (const QStringList& row : rows) {
        QStringList fields;
        for (QString field : row) {
            if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) || field.contains(QLatin1Char('\n')))
                field = QLatin1Char('"') + field.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
            fields.append(field);
        }
        bytes += fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    return bytes;
}

} // namespace zq::seed
