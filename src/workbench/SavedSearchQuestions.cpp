#include "SavedSearchQuestions.h"

#include "Desktop.h"

namespace zq {

namespace {

const QString kCaption = QStringLiteral("操作提示");

void Tell(const QString& text)
{
    Desktop::current().messageBox(text, kCaption, MB_OK | MB_ICONEXCLAMATION);
}

bool Ask(const QString& question)
{
    return Desktop::current().messageBox(question, kCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

QString ReplaceQuestion(const SavedSearch& existing)
{
    if (!existing.shared)
        return QStringLiteral("已有名为“%1”的常用查询, 要替换它吗?").arg(existing.name);
    const QString by = SavedByText(existing);
    return QStringLiteral("已有名为“%1”的共享查询%2, 替换后所有用户用到的都是新的条件。要替换它吗?")
        .arg(existing.name, by.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(by));
}

} // namespace

QString SavedByText(const SavedSearch& search)
{
    if (search.savedBy.isEmpty())
        return QString();
    const QString when = search.savedAt.isValid() ? QStringLiteral(" 于 %1").arg(search.savedAt.toString(QStringLiteral("yyyy-MM-dd hh:mm")))
                                                  : QString();
    return QStringLiteral("由 %1%2 保存").arg(search.savedBy, when);
}

bool ChangeAsking(const std::function<SavedSearchStore::Outcome(SavedSearchStore::IfTaken)>& change)
{
    SavedSearchStore::Outcome outcome = change(SavedSearchStore::IfTaken::Refuse);
    if (outcome.taken()) {
        if (!Ask(ReplaceQuestion(*outcome.existing)))
            return false;
        outcome = change(SavedSearchStore::IfTaken::Replace);
    }
    if (outcome.status == SavedSearchStore::Outcome::Status::Failed)
        Tell(outcome.error);
    return bool(outcome);
}

bool ConfirmDelete(const SavedSearch& search)
{
    if (!search.shared)
        return true;
    const QString by = SavedByText(search);
    return Ask(QStringLiteral("要删除共享查询“%1”吗?%2 删除后所有用户都不能再用它。")
                   .arg(search.name, by.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(by)));
}

void TellStoreProblems(const SavedSearchStore& store)
{
    const QStringList problems = store.takeProblems();
    if (!problems.isEmpty())
        Tell(problems.join(u'\n'));
}

} // namespace zq
