#include "document/ui/FormGroupSelect.h"

#include "config/CaptionTable.h"
#include "config/ui/CreationWindowParts.h"
#include "document/DataDocument.h"
#include "document/Schema.h"
#include "document/ui/FormNewGroup.h"
#include "document/ui/MainTreeSelection.h"

#include <QHBoxLayout>
#include <QPalette>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

constexpr int NodeDataRole = Qt::UserRole;
constexpr int TreeIndent = 19;
constexpr QSize TreeSize(321, 169);

} // namespace

TFormGroupSelect::TFormGroupSelect(const CaptionTable& captions, MainTreeSelection& mainTree, const QList<QIcon>& icons,
                                   QWidget* parent)
    : TrackedDialog(parent)
    , m_captions(captions)
    , m_mainTree(mainTree)
    , m_icons(icons)
{
    CreationWindowParts::setDialogFrame(this);
    buildControls();
    layOutControls();
    ApplyGroupSelectCaptions();
}

void TFormGroupSelect::buildControls()
{
    m_treeViewGroups = new QTreeWidget(this);
    m_treeViewGroups->setObjectName(QStringLiteral("TreeViewGroups"));
    m_treeViewGroups->setHeaderHidden(true);
    m_treeViewGroups->setIndentation(TreeIndent);
    m_treeViewGroups->setSelectionMode(QAbstractItemView::SingleSelection);
    m_treeViewGroups->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_treeViewGroups->setMinimumSize(TreeSize);
    // The choice stays plainly visible while a button has the focus.
    QPalette palette = m_treeViewGroups->palette();
    palette.setBrush(QPalette::Inactive, QPalette::Highlight, palette.brush(QPalette::Active, QPalette::Highlight));
    palette.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     palette.brush(QPalette::Active, QPalette::HighlightedText));
    m_treeViewGroups->setPalette(palette);

    m_buttonNewGroup = CreationWindowParts::createButton(QStringLiteral("JvXPButtonNewGroup"), this);
    m_buttonNewGroup->setAutoDefault(false);
    m_buttonOk = CreationWindowParts::createOkButton(this);
    m_buttonCancel = CreationWindowParts::createCancelButton(this);
    // Ok closes with whatever is selected: the top level is a valid choice.
    connect(m_buttonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_buttonNewGroup, &QPushButton::clicked, this, &TFormGroupSelect::JvXPButtonNewGroupClick);
}

void TFormGroupSelect::layOutControls()
{
    QHBoxLayout* buttons = CreationWindowParts::buttonRow(m_buttonOk, m_buttonCancel);
    buttons->insertWidget(0, m_buttonNewGroup);

    auto* window = new QVBoxLayout(this);
    window->addWidget(m_treeViewGroups);
    window->addLayout(buttons);
    window->setSizeConstraint(QLayout::SetFixedSize);
}

QString TFormGroupSelect::rootCaption(const CaptionTable& captions)
{
    return captions.GetCaption(QStringLiteral("GroupSelectRoot"), QStringLiteral("Root"));
}

void TFormGroupSelect::ApplyGroupSelectCaptions()
{
    setWindowTitle(
        m_captions.GetCaption(QStringLiteral("GroupSelectCaption"), QStringLiteral("Parent group selecting")));
    m_buttonNewGroup->setText(
        m_captions.GetCaption(QStringLiteral("ButtonNewGroup"), QStringLiteral("Create New Group")));
    CreationWindowParts::applyButtonCaptions(m_captions, m_buttonOk, m_buttonCancel);
}

void TFormGroupSelect::prepareForUse()
{
    FillGroupTree();
    m_treeViewGroups->setFocus(Qt::OtherFocusReason);
    CreationWindowParts::centreOverParent(this);
}

void TFormGroupSelect::FillGroupTree()
{
    m_treeViewGroups->clear();
    m_nodeData.clear();

    const pugi::xml_node data = dataElement();
    // The root node stands for the top level: the data element itself.
    QTreeWidgetItem* root = addNode(nullptr, rootCaption(m_captions), Schema::RootIcon, TTreeNodeData{data, false});
    addGroups(root, data);
    root->setExpanded(true);
    preselectMainTreeGroup();
}

QTreeWidgetItem* TFormGroupSelect::addNode(QTreeWidgetItem* parentItem, const QString& caption, int icon,
                                           TTreeNodeData data)
{
    auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(m_treeViewGroups);
    item->setText(0, DocumentTreeModel::shownCaption(caption));
    item->setIcon(0, m_icons.value(icon));
    item->setData(0, NodeDataRole, static_cast<int>(m_nodeData.size()));
    m_nodeData.push_back(data);
    return item;
}

void TFormGroupSelect::addGroups(QTreeWidgetItem* rootItem, const pugi::xml_node& element)
{
    // The tree item of the last group seen at each depth, the root item
    // first: a group's parent item is the one a level above it. A walk, not a
    // recursion, so any depth of groups is shown.
    std::vector<QTreeWidgetItem*> lastAtDepth{rootItem};
    Schema::walkTree(element, [&](const pugi::xml_node& item, int depth) {
        if (!Schema::isGroup(item))
            return true;
        lastAtDepth.resize(depth + 1);
        QTreeWidgetItem* parentItem = lastAtDepth.back();
        const int icon = Schema::TypeImageIndex(qText(item.attribute("type")), false);
        lastAtDepth.push_back(addNode(parentItem, qText(item.attribute("name")), icon, TTreeNodeData{item, false}));
        return true;
    });
}

// The group of the main tree's selection: the selected group itself, or the
// group that holds the selected record.
void TFormGroupSelect::preselectMainTreeGroup()
{
    const TTreeNodeData* selected = m_mainTree.selectedNode();
    if (selected && selected->isRecord)
        selected = m_mainTree.selectedNodeParent();
    if (!selected)
        return;
    for (QTreeWidgetItemIterator it(m_treeViewGroups); *it; ++it) {
        if (m_nodeData[(*it)->data(0, NodeDataRole).toInt()].element == selected->element) {
            m_treeViewGroups->setCurrentItem(*it);
            m_treeViewGroups->scrollToItem(*it);
            return;
        }
    }
}

const TTreeNodeData* TFormGroupSelect::selectedNodeData() const
{
    const QList<QTreeWidgetItem*> selected = m_treeViewGroups->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    return &m_nodeData[selected.first()->data(0, NodeDataRole).toInt()];
}

pugi::xml_node TFormGroupSelect::dataElement() const
{
    return m_mainTree.dataElement();
}

void TFormGroupSelect::setCreateGroupButtonVisible(bool visible)
{
    m_buttonNewGroup->setVisible(visible);
}

void TFormGroupSelect::setNewGroupWindow(TFormNewGroup* newGroupWindow)
{
    m_newGroupWindow = newGroupWindow;
}

void TFormGroupSelect::JvXPButtonNewGroupClick()
{
    if (!m_newGroupWindow)
        return;
    m_newGroupWindow->PresetParentFromGroupTree(*this);
    m_newGroupWindow->setSelectGroupButtonVisible(false);
    const bool accepted = m_newGroupWindow->exec() == QDialog::Accepted;
    m_newGroupWindow->setSelectGroupButtonVisible(true);
    if (!accepted)
        return;
    if (!m_mainTree.createGroup(m_newGroupWindow->chosenParent(), m_newGroupWindow->groupName(),
                                m_newGroupWindow->iconPosition()))
        return;
    // The new group is now the main tree's selection, so the refilled tree
    // preselects it.
    FillGroupTree();
}
