#pragma once
// Pages and their dialog templates register themselves with the module, so the main window
// creates a page by its tab caption and the resource lookup finds each page's template.
#include <QString>
#include <functional>
#include <memory>

class CZQSearchPage;
struct DialogTemplate;

namespace zq {

using PageFactory = std::function<std::unique_ptr<CZQSearchPage>()>;

// The factory registered for a tab caption ("设计零部件"), or an empty function.
PageFactory FindPageFactory(const QString& caption);
void RegisterPageFactory(const QString& caption, PageFactory factory);

// The module's dialog templates, by id (23001, 23000, 376, ...).
const DialogTemplate* FindModuleTemplate(int id);
void RegisterModuleTemplate(const DialogTemplate* dialogTemplate);   // static storage, not owned

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
