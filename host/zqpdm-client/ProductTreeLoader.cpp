#include "ProductTreeLoader.h"

#include "ComError.h"
#include "Recordset.h"
#include "TreeCtrlEx.h"
#include "SqlText.h"
#include "ZQPDMFC.h"

#include <QSet>

namespace zq::host {

namespace {

// Set once an item's children have been created.
constexpr int ChildrenLoadedRole = Qt::UserRole + 0x5b;

const QString kRootText = QStringLiteral("产品数据");

bool isLoaded(const QTreeWidgetItem* item) { return item->data(0, ChildrenLoadedRole).toBool(); }

} // namespace

ProductTreeLoader::ProductTreeLoader(CTreeCtrlEx& tree, zq::Connection* connection, QObject* parent)
    : QObject(parent), m_tree(tree), m_treeAlive(&tree), m_connection(connection)
{
    connect(&m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { ensureChildren(item); });
    m_tree.SetBranchSource(this);
}

ProductTreeLoader::~ProductTreeLoader()
{
    // The tree may be gone already: both are often children of one window.
    if (m_treeAlive && m_treeAlive->BranchSource() == this)
        m_treeAlive->SetBranchSource(nullptr);
}

QString ProductTreeLoader::productsSql()
{
    return QStringLiteral("SELECT ProductDwgCode, ProductName FROM Product ORDER BY ProductDwgCode");
}

QString ProductTreeLoader::productsUsingSql(const QString& code)
{
    return QStringLiteral("SELECT DISTINCT ProductDwgCode FROM ZqlomiraAll_detail WHERE DCode = '%1' ORDER BY ProductDwgCode")
        .arg(zq::SqlQuote(code));
}

QString ProductTreeLoader::itemText(const QString& code, const QString& name)
{
    return name.isEmpty() ? code : code + u' ' + name;
}

bool ProductTreeLoader::loadProducts()
{
    m_tree.clear();
    m_structures.clear();
    m_lastError.clear();
    QTreeWidgetItem* root = m_tree.InsertItem(kRootText).item();
    root->setData(0, ChildrenLoadedRole, true);
    if (!m_connection) {
        m_lastError = QStringLiteral("没有数据库连接");
        return false;
    }
    try {
        zq::Recordset records;
        records.Open(productsSql(), m_connection);
        while (!records.IsEOF()) {
            const QString code = records.GetFieldText(0);
            const CTreeItemRecord record{QString::fromLatin1(kProduct), code};
            QTreeWidgetItem* item = m_tree.InsertItem(itemText(code, records.GetFieldText(1)), m_tree.Cursor(root), &record).item();
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            records.MoveNext();
        }
        records.Close();
    } catch (const zq::_com_error& error) {
        m_lastError = error.ErrorMessage();
        return false;
    }
    root->setExpanded(true);
    return true;
}

QTreeWidgetItem* ProductTreeLoader::rootItem() const
{
    return m_tree.topLevelItemCount() > 0 ? m_tree.topLevelItem(0) : nullptr;
}

QTreeWidgetItem* ProductTreeLoader::productItem(const QString& productCode) const
{
    QTreeWidgetItem* root = rootItem();
    if (!root)
        return nullptr;
    for (int i = 0; i < root->childCount(); ++i)
        if (zq::EqualsNoCase(CTreeCtrlEx::Record(root->child(i)).code, productCode))
            return root->child(i);
    return nullptr;
}

const ProductStructure* ProductTreeLoader::structureOf(const QString& productCode)
{
    if (const auto it = m_structures.constFind(productCode); it != m_structures.constEnd())
        return &*it;
    if (!m_connection)
        return nullptr;
    try {
        return &*m_structures.insert(productCode, ProductStructure::load(m_connection, productCode));
    } catch (const zq::_com_error& error) {
        m_lastError = error.ErrorMessage();
        emit loadFailed(m_lastError);
        return nullptr;
    }
}

QString ProductTreeLoader::productOf(const QTreeWidgetItem* item) const
{
    for (; item; item = item->parent()) {
        const CTreeItemRecord record = CTreeCtrlEx::Record(item);
        if (record.kind == QLatin1String(kProduct))
            return record.code;
    }
    return QString();
}

bool ProductTreeLoader::ensureChildren(QTreeWidgetItem* item)
{
    if (!item || isLoaded(item))
        return true;
    const CTreeItemRecord record = CTreeCtrlEx::Record(item);
    const QString product = productOf(item);
    if (product.isEmpty() || (record.kind != QLatin1String(kProduct) && record.kind != QLatin1String(kPart)))
        return true;
    const ProductStructure* structure = structureOf(product);
    if (!structure)
        return false;
    const QList<StructureLine> lines = structure->children(record.code);
    for (const StructureLine& line : lines) {
        const CTreeItemRecord childRecord{QString::fromLatin1(kPart), line.code};
        QTreeWidgetItem* child = m_tree.InsertItem(itemText(line.code, line.name), m_tree.Cursor(item), &childRecord).item();
        child->setChildIndicatorPolicy(structure->hasChildren(line.code) ? QTreeWidgetItem::ShowIndicator
                                                                          : QTreeWidgetItem::DontShowIndicator);
    }
    item->setData(0, ChildrenLoadedRole, true);
    if (lines.isEmpty())
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    return true;
}

int ProductTreeLoader::loadBranch(QTreeWidgetItem* item, int maxItems, bool* whole)
{
    bool complete = true;
    int created = 0;
    int items = 0;
    QList<QTreeWidgetItem*> pending;
    if (item)
        pending.append(item);
    while (!pending.isEmpty() && complete) {
        QTreeWidgetItem* current = pending.takeLast();
        const int before = current->childCount();
        if (!isLoaded(current) && !ensureChildren(current)) {
            complete = false;
            break;
        }
        created += current->childCount() - before;

        QSet<QString> onPath;
        for (const QTreeWidgetItem* up = current; up; up = up->parent())
            onPath.insert(CTreeCtrlEx::Record(up).code);
        for (int i = current->childCount() - 1; i >= 0 && complete; --i) {
            if (onPath.contains(CTreeCtrlEx::Record(current->child(i)).code))
                continue;
            if (items >= maxItems)
                complete = false;
            else {
                ++items;
                pending.append(current->child(i));
            }
        }
    }
    if (whole)
        *whole = complete;
    return created;
}

CTreeBranchFill ProductTreeLoader::FillBranch(QTreeWidgetItem* item)
{
    CTreeBranchFill fill;
    fill.limit = kBranchLimit;
    loadBranch(item, kBranchLimit, &fill.whole);
    return fill;
}

QTreeWidgetItem* ProductTreeLoader::childWithCode(QTreeWidgetItem* parent, const QString& code)
{
    if (!ensureChildren(parent))
        return nullptr;
    QTreeWidgetItem* caseless = nullptr;
    for (int i = 0; i < parent->childCount(); ++i) {
        const QString childCode = CTreeCtrlEx::Record(parent->child(i)).code;
        if (childCode == code)
            return parent->child(i);
        if (!caseless && zq::EqualsNoCase(childCode, code))
            caseless = parent->child(i);
    }
    return caseless;
}

QTreeWidgetItem* ProductTreeLoader::findPath(const QString& path)
{
    const QStringList codes = path.split(QStringLiteral("::"));
    if (codes.isEmpty() || codes.first().isEmpty())
        return nullptr;
    QTreeWidgetItem* item = productItem(codes.first());
    for (qsizetype i = 1; item && i < codes.size(); ++i)
        item = childWithCode(item, codes[i]);
    return item;
}

QString ProductTreeLoader::pathChoices(const QString& path)
{
    constexpr int kShown = 30;
    const auto listed = [](const QStringList& codes) {
        QString text = codes.mid(0, kShown).join(QStringLiteral(", "));
        if (codes.size() > kShown)
            text += QStringLiteral(", ... (%1 in all)").arg(codes.size());
        return codes.isEmpty() ? QStringLiteral("none") : text;
    };
    const auto childCodes = [](const QTreeWidgetItem* parent) {
        QStringList codes;
        for (int i = 0; parent && i < parent->childCount(); ++i)
            codes.append(CTreeCtrlEx::Record(parent->child(i)).code);
        codes.removeDuplicates();
        return codes;
    };
    const QStringList codes = path.split(QStringLiteral("::"));
    QTreeWidgetItem* item = productItem(codes.value(0));
    if (!item)
        return QStringLiteral("products: ") + listed(childCodes(rootItem()));
    QStringList found{codes.first()};
    for (qsizetype i = 1; i < codes.size(); ++i) {
        QTreeWidgetItem* next = childWithCode(item, codes[i]);
        if (!next)
            break;
        item = next;
        found.append(codes[i]);
    }
    return QStringLiteral("below %1: %2").arg(found.join(QStringLiteral("::")), listed(childCodes(item)));
}

QTreeWidgetItem* ProductTreeLoader::findCode(const QString& code, const QString& productHint)
{
    if (code.isEmpty())
        return nullptr;
    if (QTreeWidgetItem* product = productItem(code))
        return product;

    auto findIn = [&](const QString& productCode) -> QTreeWidgetItem* {
        if (!productItem(productCode))
            return nullptr;
        const ProductStructure* structure = structureOf(productCode);
        const QStringList path = structure ? structure->pathTo(code) : QStringList();
        return path.isEmpty() ? nullptr : findPath(path.join(QStringLiteral("::")));
    };
    if (!productHint.isEmpty())
        if (QTreeWidgetItem* item = findIn(productHint))
            return item;
    if (!m_connection)
        return nullptr;
    QStringList products;
    try {
        zq::Recordset records;
        records.Open(productsUsingSql(code), m_connection);
        for (; !records.IsEOF(); records.MoveNext())
            products.append(records.GetFieldText(0));
        records.Close();
    } catch (const zq::_com_error& error) {
        m_lastError = error.ErrorMessage();
        emit loadFailed(m_lastError);
        return nullptr;
    }
    for (const QString& product : std::as_const(products))
        if (!zq::EqualsNoCase(product, productHint))
            if (QTreeWidgetItem* item = findIn(product))
                return item;
    return nullptr;
}

QTreeWidgetItem* ProductTreeLoader::findTextPath(const QString& textPath) const
{
    QTreeWidgetItem* item = rootItem();
    const QStringList texts = textPath.split(u'\\', Qt::SkipEmptyParts);
    if (!item || texts.isEmpty())
        return nullptr;
    for (const QString& text : texts) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i)
            if (item->child(i)->text(0) == text)
                next = item->child(i);
        if (!next)
            return nullptr;
        item = next;
    }
    return item;
}

QString ProductTreeLoader::pathOf(const QTreeWidgetItem* item)
{
    QStringList codes;
    for (; item; item = item->parent()) {
        const CTreeItemRecord record = CTreeCtrlEx::Record(item);
        if (record.kind == QLatin1String(kPart)) {
            codes.prepend(record.code);
        } else if (record.kind == QLatin1String(kProduct)) {
            codes.prepend(record.code);
            return codes.join(QStringLiteral("::"));
        } else {
            return QString();
        }
    }
    return QString();
}

} // namespace zq::host
