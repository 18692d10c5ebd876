#pragma once
// Fills the host's product tree from the database: one item per product (text "code name",
// record {"_Product", code}) below a root item, and, when an item is expanded, its part
// structure (record {"_Part", code}). Each product's lines are read once, when the product is
// first opened. Finds items by structure path ("P::A::B") and by code, opening branches on the way.
#include "ProductStructure.h"
#include "TreeCtrlEx.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

namespace zq { class Connection; }

namespace zq::host {

class ProductTreeLoader : public QObject, public CTreeBranchSource {
    Q_OBJECT
public:
    static constexpr auto kProduct = "_Product";
    static constexpr auto kPart = "_Part";
    // The most items a branch loaded for a search may hold.
    static constexpr int kBranchLimit = 20000;

    // The tree is not owned; connection may be null (the tree then stays empty). The loader is
    // the tree's branch source for as long as it lives.
    ProductTreeLoader(CTreeCtrlEx& tree, zq::Connection* connection, QObject* parent = nullptr);
    ~ProductTreeLoader() override;

    // Clears the tree and lists the products. False (and the message in lastError) when the
    // products cannot be read; the tree then holds only the root item.
    bool loadProducts();
    QString lastError() const { return m_lastError; }

    QTreeWidgetItem* rootItem() const;
    QTreeWidgetItem* productItem(const QString& productCode) const;

    // Creates the children of an item unless that was done already. False on a database error.
    bool ensureChildren(QTreeWidgetItem* item);
    // Loads the whole branch below item, skipping a part already on its own path (cycles) and
    // stopping once the branch holds maxItems items. Returns the number of items created; *whole
    // tells whether the branch is complete (no limit reached, no read failed).
    int loadBranch(QTreeWidgetItem* item, int maxItems = kBranchLimit, bool* whole = nullptr);
    // The tree's branch source: loadBranch with the limit.
    CTreeBranchFill FillBranch(QTreeWidgetItem* item) override;

    // The item at a structure path, with the branches on the way opened; null when absent.
    QTreeWidgetItem* findPath(const QString& path);
    // For a path findPath does not find: what could have been typed where it goes wrong
    // ("products: P1, P2" or "below P1::A: B, C"), at most a screenful of codes.
    QString pathChoices(const QString& path);
    // The item of a part (or product) code: inside product productHint when given, else in the
    // first product that uses the part. Null when not found.
    QTreeWidgetItem* findCode(const QString& code, const QString& productHint = QString());
    // The item for a path of item texts below the root, each followed by '\' ("P1 产品\A1 零件\").
    QTreeWidgetItem* findTextPath(const QString& textPath) const;

    // The structure path of an item ("P::A::B"); empty for the root or an item without a record.
    static QString pathOf(const QTreeWidgetItem* item);
    static QString itemText(const QString& code, const QString& name);

    // The products' query, and the query that finds the products using a part.
    static QString productsSql();
    static QString productsUsingSql(const QString& code);

Q_SIGNALS:
    // A lazy load failed after start-up (the host tells the user).
    void loadFailed(const QString& message);

private:
    const ProductStructure* structureOf(const QString& productCode);
    QString productOf(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* childWithCode(QTreeWidgetItem* parent, const QString& code);

    CTreeCtrlEx& m_tree;
    QPointer<CTreeCtrlEx> m_treeAlive;
    zq::Connection* m_connection;
    QHash<QString, ProductStructure> m_structures;
    QString m_lastError;
};

} // namespace zq::host
