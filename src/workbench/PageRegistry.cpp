#include "PageRegistry.h"
#include "DialogTemplate.h"
#include "TempResourceOverride.h"
#include "ZQSearchPage.h"
#include <QHash>

namespace zq {
namespace {

QHash<QString, PageFactory>& pageFactories()
{
    static QHash<QString, PageFactory> factories;
    return factories;
}

QHash<int, const DialogTemplate*>& moduleTemplates()
{
    static QHash<int, const DialogTemplate*> templates;
    return templates;
}

QList<int>& clashingTemplates()
{
    static QList<int> ids;
    return ids;
}

} // namespace

PageFactory FindPageFactory(const QString& caption)
{
    return pageFactories().value(caption);
}

void RegisterPageFactory(const QString& caption, PageFactory factory)
{
    if (factory)
        pageFactories().insert(caption, std::move(factory));
    else
        pageFactories().remove(caption);
}

const DialogTemplate* FindModuleTemplate(int id)
{
    return moduleTemplates().value(id, nullptr);
}

void RegisterModuleTemplate(const DialogTemplate* dialogTemplate)
{
    if (!dialogTemplate)
        return;
    const DialogTemplate* earlier = moduleTemplates().value(dialogTemplate->id, nullptr);
    if (earlier && earlier != dialogTemplate && !clashingTemplates().contains(dialogTemplate->id))
        clashingTemplates().append(dialogTemplate->id);
    moduleTemplates().insert(dialogTemplate->id, dialogTemplate);
}

QList<int> ClashingModuleTemplates()
{
    return clashingTemplates();
}

const DialogTemplate* PageTemplate(int id)
{
    if (const DialogTemplate* found = FindDialogTemplate(id))
        return found;
    return FindModuleTemplate(id);
}

const std::vector<KnownPage>& KnownPages()
{
    static const std::vector<KnownPage> pages = {
        {"设计零部件", 23000, true},
        {"资源文件", 23003, false},
        {"设计文档", 23004, false},
        {"数据视图项", 23002, false},
        {"批次产品", 23010, false},
        {"更改单", 376, false},
        {"更改发放部门", 377, false},
        {"更改影响面", 149, false},
        {"更改处理意见", 378, false},
        {"设计任务", 399, false},
        {"设计过程零部件", 24005, false},
        {"文档内容", 23020, false},
    };
    return pages;
}

} // namespace zq
