#include "OptionSetters.h"
#include "CommandLineValues.h"

#include <QRegularExpression>

namespace zq::tool::args {

const std::map<QString, OptionSetter>& optionSetters()
{
    static const std::map<QString, OptionSetter> setters{
        {QStringLiteral("--page"), [](SearchOptions& o, const QString& opt, const QString& v) {
             if (v.isEmpty())
                 fail(QStringLiteral("%1: a page caption is needed").arg(opt));
             o.page = v;
         }},
        {QStringLiteral("--home"), [](SearchOptions& o, const QString& opt, const QString& v) {
             if (v.isEmpty())
                 fail(QStringLiteral("%1: a folder is needed").arg(opt));
             o.home = v;
         }},
        {QStringLiteral("--db"), [](SearchOptions& o, const QString& opt, const QString& v) {
             if (v.isEmpty())
                 fail(QStringLiteral("%1: a database URL is needed").arg(opt));
             o.db = v;
         }},
        {QStringLiteral("--today"), [](SearchOptions& o, const QString& opt, const QString& v) {
             const QDate date = QDate::fromString(v, QStringLiteral("yyyy-MM-dd"));
             if (!date.isValid())
                 fail(QStringLiteral("%1: \"%2\" is not a date of the form yyyy-MM-dd").arg(opt, v));
             o.today = date;
         }},
        {QStringLiteral("--answer"), [](SearchOptions& o, const QString& opt, const QString& v) {
             if (v != u"yes" && v != u"no")
                 fail(QStringLiteral("%1: \"%2\" must be yes or no").arg(opt, v));
             o.answerYes = v == u"yes";
         }},
        {QStringLiteral("--cancel-after"), [](SearchOptions& o, const QString& opt, const QString& v) {
             o.cancelAfter = parseNumber(opt, v, 0, QStringLiteral("row count"));
         }},
        {QStringLiteral("--format"), [](SearchOptions& o, const QString& opt, const QString& v) {
             const auto format = OutputFormatNamed(v);
             if (!format)
                 fail(QStringLiteral("%1: \"%2\" must be tsv, csv or json").arg(opt, v));
             o.format = *format;
         }},
        {QStringLiteral("--events"), [](SearchOptions& o, const QString& opt, const QString& v) {
             const auto format = EventFormatNamed(v);
             if (!format)
                 fail(QStringLiteral("%1: \"%2\" must be text or json").arg(opt, v));
             o.events = *format;
         }},
        {QStringLiteral("--save"), [](SearchOptions& o, const QString& opt, const QString& v) {
             if (v.trimmed().isEmpty())
                 fail(QStringLiteral("%1: a name is needed").arg(opt));
             o.saveAs = v.trimmed();
         }},
        {QStringLiteral("--quick"), [](SearchOptions& o, const QString& opt, const QString& v) {
             if (v.trimmed().isEmpty())
                 fail(QStringLiteral("%1: a text to search for is needed").arg(opt));
             o.quick = v;
         }},
        {QStringLiteral("--quick-list"), [](SearchOptions& o, const QString& opt, const QString& v) {
             if (v.isEmpty())
                 fail(QStringLiteral("%1: a file name (or - for standard input) is needed").arg(opt));
             o.quickList = v;
         }},
        {QStringLiteral("--kind"), [](SearchOptions& o, const QString& opt, const QString& v) {
             for (const QString& kind : v.split(u','))
                 if (kind.trimmed().isEmpty())
                     fail(QStringLiteral("%1: \"%2\" has an empty kind").arg(opt, v));
                 else
                     o.kinds.append(kind.trimmed());
         }},
        {QStringLiteral("--preview-out"), [](SearchOptions& o, const QString& opt, const QString& v) {
             if (v.isEmpty())
                 fail(QStringLiteral("%1: a file name is needed").arg(opt));
             o.previewOut = v;
         }},
        {QStringLiteral("--preview-size"), [](SearchOptions& o, const QString& opt, const QString& v) {
             static const QRegularExpression size(QStringLiteral("^([0-9]{1,4})x([0-9]{1,4})$"));
             const auto match = size.match(v);
             const int width = match.hasMatch() ? match.captured(1).toInt() : 0;
             const int height = match.hasMatch() ? match.captured(2).toInt() : 0;
             if (width < 16 || height < 16 || width > 4096 || height > 4096)
                 fail(QStringLiteral("%1: \"%2\" must be WIDTHxHEIGHT, each 16 to 4096").arg(opt, v));
             o.previewSize = QSize(width, height);
         }},
        {QStringLiteral("--delete-saved"), [](SearchOptions& o, const QString& opt, const QString& v) {
             if (v.trimmed().isEmpty())
                 fail(QStringLiteral("%1: a saved search's name is needed").arg(opt));
             o.deleteSaved = v;
         }},
    };
    return setters;
}

} // namespace zq::tool::args
