#pragma once

#include "document/ui/MainTreeSelection.h"

#include <QModelIndex>
#include <QObject>
#include <QString>

#include <functional>

#include <pugixml.hpp>

class CaptionTable;
class DocumentEditing;
class DocumentTreeModel;
class MessageService;
class QItemSelectionModel;
class TFormNewField;
class TFormNewGroup;
class TFormNewRecord;
class TreeNodeView;

// The tree's editing commands: new groups, records and fields, deleting an
// item or a field, renaming in place and moving by drag and drop. Each one
// changes the document, rebuilds the tree from it and selects what the user
// would look at next; what the window must show in turn it learns from the
// signals. It is also what the creation windows see of the tree. The
// changes go through the document's editing, so each can be undone.
class TreeCommands : public QObject, public MainTreeSelection {
    Q_OBJECT
public:
    // selection: the current node's model, the view's own; view: the rest of
    // what the commands need of the view.
    TreeCommands(DocumentEditing& editing, DocumentTreeModel& model, QItemSelectionModel& selection, TreeNodeView& view,
                 const CaptionTable& captions, MessageService& messages);

    // The windows that ask for a new item; they are made after the tree.
    void setCreationWindows(TFormNewGroup* newGroup, TFormNewRecord* newRecord, TFormNewField* newField);

    void newGroup();
    void newRecord();
    // A field appended to the selected record.
    void newField();
    // The selected item with everything under it, once the user confirms.
    void deleteSelected();
    // The position-th field the editor shows of the selected record (from 1).
    void deleteField(int position);
    // The user's new caption for node: a record's name, or a group's name,
    // which may not be empty. The caption confirmed as it stands changes
    // nothing, so a record named after its fields goes on following them.
    void rename(const QModelIndex& node, const QString& text);
    // dragged to the end of target's items; a null target is the top level.
    void move(const pugi::xml_node& dragged, const pugi::xml_node& target);

    // Builds the tree again from the document; the groups the user had
    // opened stay open.
    void RebuildTree();
    // Shows again what the model's hidden-items function leaves, without
    // rebuilding; the groups the user had opened stay open.
    void showHiddenItemsAnew();
    // Rebuilds and makes element's node the current one, in sight.
    void RebuildAndSelect(const pugi::xml_node& element);
    QModelIndex FindTreeNode(const pugi::xml_node& element) const;

    const TTreeNodeData* selectedNode() const override;
    const TTreeNodeData* selectedNodeParent() const override;
    pugi::xml_node dataElement() const override;
    pugi::xml_node createGroup(const pugi::xml_node& parent, const QString& name, int iconPosition) override;
    // The group an import made of another file (its stored text), added at
    // the top level and selected.
    pugi::xml_node addImported(const QString& groupName, QByteArrayView groupText);

signals:
    // The tree's old nodes are gone, the current one with them.
    void treeBecameEmpty();
    // A new field was added to the selected record, which shows it last.
    void fieldAdded();
    // record lost a field; what shows it has to be refilled.
    void recordFieldsChanged(const pugi::xml_node& record);

private:
    QString caption(const char* key, const char* englishDefault) const;
    // Runs reset, which resets the model; the groups open before stay open.
    void keepingOpenGroups(const std::function<void()>& reset);
    // Rebuilds and selects added, when there is such an item.
    void showAdded(const pugi::xml_node& added);

    DocumentEditing& m_editing;
    DocumentTreeModel& m_model;
    QItemSelectionModel& m_selection;
    TreeNodeView& m_view;
    const CaptionTable& m_captions;
    MessageService& m_messages;
    TFormNewGroup* m_newGroupWindow = nullptr;
    TFormNewRecord* m_newRecordWindow = nullptr;
    TFormNewField* m_newFieldWindow = nullptr;
};
