#pragma once
// Pages and their dialog templates register themselves with the module, so the main window
// creates a page by its tab caption and the resource lookup finds each page's template.
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class CZQSearchPage;
struct DialogTemplate;

namespace zq {

using PageFactory = std::function<std::unique_ptr<CZQSearchPage>()>;

// The factory registered for a tab caption ("设计零部件"), or an empty function.
PageFactory FindPageFactory(const QString& caption);
// A later registration for the same caption replaces the earlier one; an empty factory removes it.
void RegisterPageFactory(const QString& caption, PageFactory factory);

// The page captions the main window knows, in the order of its table, with the dialog
// template each page is built from and whether the page is shown (still disabled) when created.
struct KnownPage {
    const char* caption;   // UTF-8
    int templateId;
    bool shownAtCreation;
};
const std::vector<KnownPage>& KnownPages();

// The module's dialog templates, by id (23001, 23000, 376, ...).
const DialogTemplate* FindModuleTemplate(int id);
void RegisterModuleTemplate(const DialogTemplate* dialogTemplate);   // static storage, not owned
// Ids registered by two different templates: one of the two pages would be built from the other's
// controls. Empty in a sound build.
QList<int> ClashingModuleTemplates();
// The template a page is built from: the resources under an active override first, then the module's own.
const DialogTemplate* PageTemplate(int id);

// Static registration helpers, one per page .cpp:
//   static const zq::PageRegistration reg(QStringLiteral("设计零部件"),
//       [] { return std::make_unique<CZQPDMSearchPart>(); });
//   static const zq::TemplateRegistration tpl(&kTemplate23000);
struct PageRegistration {
    PageRegistration(const QString& caption, PageFactory factory) { RegisterPageFactory(caption, std::move(factory)); }
};
struct TemplateRegistration {
    explicit TemplateRegistration(const DialogTemplate* dialogTemplate) { RegisterModuleTemplate(dialogTemplate); }
};

} // namespace zq
