#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <QList>
#include <QMimeData>
#include <QString>

#include <pugixml.hpp>

#include <cstdint>
#include <functional>
#include <vector>

// What each tree node knows about the item it shows.
struct TTreeNodeData {
    pugi::xml_node element; // the `record` or `folder` element shown
    bool isRecord = false;

    // The caption of the group that holds the item, read from the document;
    // empty at the top level.
    QString parentCaption() const;
};

// The groups and records of the data document as a tree: at every level the
// records first, then the groups, each in document order. The model is never
// patched: every structural change rebuilds it (RebuildTree). Nodes are kept
// in one vector in tree order, so a rebuild of a large file is a single pass
// and FindTreeNode a linear scan without recursion. A node of every item is
// built; which of them are shown is worked out apart, so hiding items again
// (showHiddenItemsAnew) builds no node. Captions and type keys are read from
// the document when needed rather than copied into the nodes, which keeps
// the nodes small: a large file's tree has hundreds of thousands.
class DocumentTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // icons: the 27 tree icons, by image index.
    explicit DocumentTreeModel(QList<QIcon> icons, QObject* parent = nullptr);

    // Clears the tree and builds it again from the items under root.
    void RebuildTree(const pugi::xml_node& root);
    // Items for which hidden answers true are left out of the trees built
    // from now on, unless something under them is shown; an empty function
    // shows everything.
    using HiddenItems = std::function<bool(const pugi::xml_node& item)>;
    void setHiddenItems(HiddenItems hidden) { m_hidden = std::move(hidden); }
    // Asks the hidden-items function again for every node and shows what it
    // leaves, as a reset of the tree but without building its nodes again.
    void showHiddenItemsAnew();
    void clear();

    // A tree shows at most the first MaxShownCaption characters of a caption:
    // laying out the millions a hostile file may hold would freeze the window
    // for minutes. The document and caption() keep the whole text.
    static constexpr qsizetype MaxShownCaption = 1000;
    static QString shownCaption(const QString& caption);

    // The first shown node, in tree order, that shows element; invalid when none does.
    QModelIndex FindTreeNode(const pugi::xml_node& element) const;

    const TTreeNodeData* nodeData(const QModelIndex& index) const;
    // How many nodes are shown.
    int nodeCount() const { return m_shownCount; }
    // The first shown node of the tree; invalid when none is.
    QModelIndex firstNode() const;
    // The next shown node in tree order (a node, its descendants, its next sibling).
    QModelIndex nextNode(const QModelIndex& index) const;

    // The node's item has a new caption in the document: the views show it.
    void captionChanged(const QModelIndex& index);
    QString caption(const QModelIndex& index) const;

    // Editing and dragging only report what the user did; the owner changes
    // the document and rebuilds.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

signals:
    // The user confirmed an in-place edit of a node's caption.
    void captionEdited(const QModelIndex& index, const QString& text);
    // The user dropped dragged on target (null: below the nodes, the top level).
    void moveRequested(const pugi::xml_node& dragged, const pugi::xml_node& target);

private:
    // The shown children of a node are the entries of m_children from its
    // firstChild up to the next node's, in row order: one vector for all, not
    // one per group. A node takes 24 bytes: derived rather than holding the
    // item's data, so that the byte-sized members fill the padding at its end.
    struct Node : TTreeNodeData {
        std::uint8_t icon = 0;
        bool shown = true;
        int parent = -1;
        int row = 0; // among the shown children of its parent
        int firstChild = 0;
    };
    static_assert(sizeof(Node) == 24);

    // Every item under root, each level in tree order, without recursion.
    void AddTreeLevel(const pugi::xml_node& root);
    // Which nodes the hidden-items function leaves, their rows and m_children.
    void findShownNodes();
    int nextShownNode(int node) const;
    QModelIndex indexOfNode(int node) const;
    int nodeOf(const QModelIndex& index) const;
    int childOf(const QModelIndex& parent, int row) const;
    int childCountOf(const QModelIndex& parent) const;
    int shownChildCount(int node) const;

    // The item being dragged, and a token that ties a drag to this model in
    // this process: another program's drag can carry nothing we could trust.
    bool isOurDrag(const QMimeData* data) const;
    QByteArray dragToken() const;
    pugi::xml_node targetOf(const QModelIndex& parent) const;

    QList<QIcon> m_icons;
    HiddenItems m_hidden;
    mutable pugi::xml_node m_dragged;
    std::vector<Node> m_nodes;
    std::vector<int> m_children;
    std::vector<int> m_topLevel; // shown
    int m_shownCount = 0;
};
