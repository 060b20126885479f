#include "document/ui/DocumentTreeModel.h"

#include "document/DataDocument.h"
#include "document/Schema.h"
#include "document/TreeEditing.h"

#include <QCoreApplication>

#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

const QString ItemMimeType = QStringLiteral("application/x-zantrove-item");

} // namespace

QString TTreeNodeData::parentCaption() const
{
    const pugi::xml_node group = element.parent();
    return Schema::isGroup(group) ? Schema::itemCaption(group) : QString();
}

DocumentTreeModel::DocumentTreeModel(QList<QIcon> icons, QObject* parent)
    : QAbstractItemModel(parent)
    , m_icons(std::move(icons))
{
}

void DocumentTreeModel::RebuildTree(const pugi::xml_node& root)
{
    beginResetModel();
    m_nodes.clear();
    m_dragged = {};
    AddTreeLevel(root);
    findShownNodes();
    endResetModel();
}

void DocumentTreeModel::showHiddenItemsAnew()
{
    beginResetModel();
    m_dragged = {};
    findShownNodes();
    endResetModel();
}

void DocumentTreeModel::clear()
{
    beginResetModel();
    // Cleared and given back: the nodes of a large file are megabytes.
    std::vector<Node>().swap(m_nodes);
    std::vector<int>().swap(m_children);
    std::vector<int>().swap(m_topLevel);
    m_shownCount = 0;
    m_dragged = {};
    endResetModel();
}

void DocumentTreeModel::findShownNodes()
{
    // Tree order puts a group before everything under it, so a backward pass
    // learns of a group's shown nodes before it comes to the group.
    for (Node& node : m_nodes) {
        node.shown = false;
        node.firstChild = 0;
    }
    for (auto node = m_nodes.rbegin(); node != m_nodes.rend(); ++node) {
        node->shown = node->shown || !m_hidden || !m_hidden(node->element);
        if (node->shown && node->parent >= 0)
            m_nodes[node->parent].shown = true;
    }
    // The forward pass meets a group before its children, whose rows it counts
    // in the group's firstChild until the counts become where each group's
    // children start.
    m_topLevel.clear();
    m_shownCount = 0;
    for (size_t n = 0; n < m_nodes.size(); ++n) {
        Node& node = m_nodes[n];
        if (!node.shown)
            continue;
        if (node.parent < 0) {
            node.row = static_cast<int>(m_topLevel.size());
            m_topLevel.push_back(static_cast<int>(n));
        } else {
            node.row = m_nodes[node.parent].firstChild++;
        }
        ++m_shownCount;
    }
    int next = 0;
    for (Node& node : m_nodes)
        next += std::exchange(node.firstChild, next);
    m_children.resize(next);
    for (size_t n = 0; n < m_nodes.size(); ++n) {
        const Node& node = m_nodes[n];
        if (node.shown && node.parent >= 0)
            m_children[m_nodes[node.parent].firstChild + node.row] = static_cast<int>(n);
    }
}

int DocumentTreeModel::nextShownNode(int node) const
{
    const int count = static_cast<int>(m_nodes.size());
    while (node < count && !m_nodes[node].shown)
        ++node;
    return node < count ? node : -1;
}

void DocumentTreeModel::AddTreeLevel(const pugi::xml_node& root)
{
    size_t itemCount = 0;
    Schema::walkTree(root, [&](const pugi::xml_node&, int) {
        ++itemCount;
        return true;
    });
    // Sized once: growing would hold the old and the new array at the same time.
    m_nodes.reserve(itemCount);
    // The node of the last item added at each depth: the parent of an item at
    // depth d is the one at d - 1. Records never have items under them, so
    // their entries are simply overwritten.
    std::vector<int> lastAtDepth;
    // A file uses a handful of type keys: each is looked up once, for records and groups apart.
    std::unordered_map<std::string_view, int> icons[2];
    Schema::walkTree(root, [&](const pugi::xml_node& item, int depth) {
        lastAtDepth.resize(depth);
        Node node;
        node.element = item;
        node.isRecord = Schema::isRecord(item);
        const char* key = item.attribute("type").value();
        auto known = icons[node.isRecord].find(key);
        if (known == icons[node.isRecord].end())
            known = icons[node.isRecord].emplace(key, Schema::TypeImageIndex(qText(key), node.isRecord)).first;
        node.icon = static_cast<std::uint8_t>(known->second);
        node.parent = depth == 0 ? -1 : lastAtDepth.back();
        m_nodes.push_back(node);
        lastAtDepth.push_back(static_cast<int>(m_nodes.size()) - 1);
        return true;
    });
}

QModelIndex DocumentTreeModel::FindTreeNode(const pugi::xml_node& element) const
{
    for (size_t n = 0; n < m_nodes.size(); ++n) {
        if (m_nodes[n].shown && m_nodes[n].element == element)
            return indexOfNode(static_cast<int>(n));
    }
    return {};
}

const TTreeNodeData* DocumentTreeModel::nodeData(const QModelIndex& index) const
{
    const int node = nodeOf(index);
    return node < 0 ? nullptr : &m_nodes[node];
}

QModelIndex DocumentTreeModel::firstNode() const
{
    const int node = nextShownNode(0);
    return node < 0 ? QModelIndex() : indexOfNode(node);
}

QModelIndex DocumentTreeModel::nextNode(const QModelIndex& index) const
{
    // Nodes are stored in tree order, so the next one is the next shown entry.
    const int node = nodeOf(index);
    const int next = node < 0 ? -1 : nextShownNode(node + 1);
    return next < 0 ? QModelIndex() : indexOfNode(next);
}

void DocumentTreeModel::captionChanged(const QModelIndex& index)
{
    if (nodeOf(index) >= 0)
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
}

QString DocumentTreeModel::caption(const QModelIndex& index) const
{
    const int node = nodeOf(index);
    return node < 0 ? QString() : Schema::itemCaption(m_nodes[node].element);
}

Qt::ItemFlags DocumentTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsDragEnabled
           | Qt::ItemIsDropEnabled;
}

bool DocumentTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || nodeOf(index) < 0)
        return false;
    emit captionEdited(index, value.toString());
    return true;
}

Qt::DropActions DocumentTreeModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions DocumentTreeModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

QStringList DocumentTreeModel::mimeTypes() const
{
    return {ItemMimeType};
}

QMimeData* DocumentTreeModel::mimeData(const QModelIndexList& indexes) const
{
    const TTreeNodeData* data = indexes.isEmpty() ? nullptr : nodeData(indexes.first());
    if (!data)
        return nullptr;
    m_dragged = data->element;
    auto* mime = new QMimeData;
    mime->setData(ItemMimeType, dragToken());
    return mime;
}

bool DocumentTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                        const QModelIndex& parent) const
{
    return isOurDrag(data) && TreeEditing::acceptsDrop(m_dragged, targetOf(parent));
}

bool DocumentTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                     const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    emit moveRequested(m_dragged, targetOf(parent));
    // The move rebuilds the tree; the view must not remove the dragged rows itself.
    return false;
}

bool DocumentTreeModel::isOurDrag(const QMimeData* data) const
{
    return data && m_dragged && data->data(ItemMimeType) == dragToken();
}

QByteArray DocumentTreeModel::dragToken() const
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':'
           + QByteArray::number(reinterpret_cast<quintptr>(this));
}

pugi::xml_node DocumentTreeModel::targetOf(const QModelIndex& parent) const
{
    const TTreeNodeData* data = nodeData(parent);
    return data ? data->element : pugi::xml_node();
}

QModelIndex DocumentTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (row >= childCountOf(parent))
        return {};
    return createIndex(row, 0, static_cast<quintptr>(childOf(parent, row)));
}

QModelIndex DocumentTreeModel::parent(const QModelIndex& child) const
{
    const int node = nodeOf(child);
    if (node < 0 || m_nodes[node].parent < 0)
        return {};
    return indexOfNode(m_nodes[node].parent);
}

int DocumentTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return childCountOf(parent);
}

int DocumentTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant DocumentTreeModel::data(const QModelIndex& index, int role) const
{
    const int node = nodeOf(index);
    if (node < 0)
        return {};
    switch (role) {
    case Qt::DisplayRole: return Schema::itemCaption(m_nodes[node].element, MaxShownCaption);
    case Qt::EditRole: return Schema::itemCaption(m_nodes[node].element);
    case Qt::DecorationRole: return m_icons.value(m_nodes[node].icon);
    default: return {};
    }
}

QString DocumentTreeModel::shownCaption(const QString& caption)
{
    return caption.left(MaxShownCaption);
}

QModelIndex DocumentTreeModel::indexOfNode(int node) const
{
    return createIndex(m_nodes[node].row, 0, static_cast<quintptr>(node));
}

int DocumentTreeModel::nodeOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return -1;
    return static_cast<int>(index.internalId());
}

int DocumentTreeModel::childOf(const QModelIndex& parent, int row) const
{
    return parent.isValid() ? m_children[m_nodes[nodeOf(parent)].firstChild + row] : m_topLevel[row];
}

int DocumentTreeModel::childCountOf(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return static_cast<int>(m_topLevel.size());
    const int node = nodeOf(parent);
    return node < 0 ? 0 : shownChildCount(node);
}

int DocumentTreeModel::shownChildCount(int node) const
{
    const size_t end = static_cast<size_t>(node) + 1 < m_nodes.size()
                           ? static_cast<size_t>(m_nodes[node + 1].firstChild)
                           : m_children.size();
    return static_cast<int>(end) - m_nodes[node].firstChild;
}
