#include "app/ui/TreeCommands.h"

#include "app/ui/DeletionQuestion.h"
#include "config/CaptionTable.h"
#include "document/DataDocument.h"
#include "document/DocumentEditing.h"
#include "document/FieldFormats.h"
#include "document/Schema.h"
#include "document/ui/DocumentTreeModel.h"
#include "document/ui/FormNewField.h"
#include "document/ui/FormNewGroup.h"
#include "document/ui/FormNewRecord.h"
#include "document/ui/TreeNodeView.h"
#include "editor/FieldElements.h"
#include "platform/MessageService.h"

#include <QDateTime>
#include <QItemSelectionModel>

#include <unordered_set>

TreeCommands::TreeCommands(DocumentEditing& editing, DocumentTreeModel& model, QItemSelectionModel& selection,
                           TreeNodeView& view, const CaptionTable& captions, MessageService& messages)
    : m_editing(editing)
    , m_model(model)
    , m_selection(selection)
    , m_view(view)
    , m_captions(captions)
    , m_messages(messages)
{
    connect(&m_model, &DocumentTreeModel::captionEdited, this, &TreeCommands::rename);
    // Queued: the move rebuilds the model, which must not happen inside the view's drop handling.
    connect(&m_model, &DocumentTreeModel::moveRequested, this, &TreeCommands::move, Qt::QueuedConnection);
}

void TreeCommands::setCreationWindows(TFormNewGroup* newGroup, TFormNewRecord* newRecord, TFormNewField* newField)
{
    m_newGroupWindow = newGroup;
    m_newRecordWindow = newRecord;
    m_newFieldWindow = newField;
}

QString TreeCommands::caption(const char* key, const char* englishDefault) const
{
    return m_captions.GetCaption(QString::fromLatin1(key), QString::fromUtf8(englishDefault));
}

void TreeCommands::showAdded(const pugi::xml_node& added)
{
    if (!added)
        return;
    RebuildAndSelect(added);
}

void TreeCommands::newGroup()
{
    m_newGroupWindow->PresetParentFromTree(*this);
    if (m_newGroupWindow->exec() != QDialog::Accepted)
        return;
    createGroup(m_newGroupWindow->chosenParent(), m_newGroupWindow->groupName(), m_newGroupWindow->iconPosition());
}

void TreeCommands::newRecord()
{
    if (m_newRecordWindow->exec() != QDialog::Accepted)
        return;
    const QString typeName = m_newRecordWindow->chosenTypeName();
    showAdded(m_editing.newRecord(
        m_newRecordWindow->chosenParent(), m_newRecordWindow->catalogue().FindTemplate(typeName), typeName,
        m_newRecordWindow->recordName(), m_newRecordWindow->iconPosition(), QDateTime::currentDateTime()));
}

void TreeCommands::newField()
{
    const TTreeNodeData* data = selectedNode();
    if (!data || !data->isRecord)
        return;
    const pugi::xml_node record = data->element;
    if (m_newFieldWindow->exec() != QDialog::Accepted)
        return;
    const QString storedType = FieldTypeFromCaption(m_newFieldWindow->chosenTypeCaption(), m_captions).toUpper();
    if (!m_editing.newField(record, m_newFieldWindow->fieldName(), storedType, QDateTime::currentDateTime(),
                            m_newFieldWindow->initialValue()))
        return;
    RebuildAndSelect(record);
    emit fieldAdded();
}

void TreeCommands::deleteSelected()
{
    const QModelIndex current = m_selection.currentIndex();
    const TTreeNodeData* data = m_model.nodeData(current);
    if (!data)
        return;
    // Asked as a warning, whose default answer is No, though Undo brings the item back.
    if (m_messages.show(MessageService::Kind::Warning, DeletionQuestion::text(m_captions, data->element),
                        MessageService::Buttons::YesNo)
        != MessageService::Answer::Yes)
        return;
    // The selection goes where a tree control puts it when a node goes: the
    // next sibling, else the previous one, else the parent.
    QModelIndex neighbour = current.siblingAtRow(current.row() + 1);
    if (!neighbour.isValid())
        neighbour = current.siblingAtRow(current.row() - 1);
    if (!neighbour.isValid())
        neighbour = current.parent();
    const TTreeNodeData* neighbourData = m_model.nodeData(neighbour);
    const pugi::xml_node next = neighbourData ? neighbourData->element : pugi::xml_node();
    if (!m_editing.deleteItem(data->element))
        return;
    if (next)
        RebuildAndSelect(next);
    else
        RebuildTree();
}

void TreeCommands::deleteField(int position)
{
    const TTreeNodeData* data = selectedNode();
    if (!data || !data->element)
        return;
    pugi::xml_node record = data->element;
    // Entry k names the k-th field the editor shows; fields of other types
    // have no row and no entry, so they are passed over when counting.
    const std::vector<pugi::xml_node> shown = FieldElements::shownFieldsFrom(record.first_child());
    if (position > 0 && position <= static_cast<int>(shown.size()))
        m_editing.deleteField(shown[position - 1]);
    emit recordFieldsChanged(record);
}

void TreeCommands::rename(const QModelIndex& node, const QString& text)
{
    const TTreeNodeData* data = m_model.nodeData(node);
    if (!data || text == m_model.caption(node))
        return;
    if (data->isRecord) {
        // Clearing a name the record never had leaves its caption as it is.
        if (text.isEmpty() && Schema::ownName(data->element).isEmpty())
            return;
        if (!m_editing.renameRecord(data->element, text))
            return;
    } else if (text.isEmpty()) {
        m_messages.show(MessageService::Kind::Error, caption("MessageGroupNameNotExists", "Enter Group Name first"));
        // The box took the keyboard focus from the caption editor, which is gone.
        m_view.takeKeyboardFocus();
        return;
    } else {
        if (!m_editing.renameGroup(data->element, text))
            return;
    }
    m_model.captionChanged(node);
}

void TreeCommands::move(const pugi::xml_node& dragged, const pugi::xml_node& target)
{
    // A record takes no drop: moving refuses it.
    showAdded(m_editing.move(dragged, target));
}

void TreeCommands::RebuildTree()
{
    keepingOpenGroups([this] { m_model.RebuildTree(m_editing.document().root()); });
}

void TreeCommands::showHiddenItemsAnew()
{
    keepingOpenGroups([this] { m_model.showHiddenItemsAnew(); });
}

void TreeCommands::keepingOpenGroups(const std::function<void()>& reset)
{
    const bool hadNodes = m_model.nodeCount() > 0;
    std::unordered_set<const void*> expanded;
    for (QModelIndex node = m_model.firstNode(); node.isValid(); node = m_model.nextNode(node)) {
        const TTreeNodeData* data = m_model.nodeData(node);
        // Records never open: asking the view would only cost time.
        if (!data->isRecord && m_view.isNodeExpanded(node))
            expanded.insert(data->element.internal_object());
    }
    reset();
    if (!expanded.empty()) {
        for (QModelIndex node = m_model.firstNode(); node.isValid(); node = m_model.nextNode(node)) {
            if (expanded.count(m_model.nodeData(node)->element.internal_object()))
                m_view.expandNode(node);
        }
    }
    // Every old node went on the way, and with the last one the tree was empty.
    if (hadNodes)
        emit treeBecameEmpty();
}

void TreeCommands::RebuildAndSelect(const pugi::xml_node& element)
{
    RebuildTree();
    const QModelIndex node = FindTreeNode(element);
    if (!node.isValid())
        return;
    m_selection.setCurrentIndex(node, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view.scrollToNode(node);
}

QModelIndex TreeCommands::FindTreeNode(const pugi::xml_node& element) const
{
    return m_model.FindTreeNode(element);
}

const TTreeNodeData* TreeCommands::selectedNode() const
{
    return m_model.nodeData(m_selection.currentIndex());
}

const TTreeNodeData* TreeCommands::selectedNodeParent() const
{
    return m_model.nodeData(m_selection.currentIndex().parent());
}

pugi::xml_node TreeCommands::dataElement() const
{
    return m_editing.document().root();
}

pugi::xml_node TreeCommands::createGroup(const pugi::xml_node& parent, const QString& name, int iconPosition)
{
    const pugi::xml_node group = m_editing.newGroup(parent, name, iconPosition);
    showAdded(group);
    return group;
}

pugi::xml_node TreeCommands::addImported(const QString& groupName, QByteArrayView groupText)
{
    const pugi::xml_node added = m_editing.addImported(groupName, groupText);
    showAdded(added);
    return added;
}
