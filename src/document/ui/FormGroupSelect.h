#pragma once

#include "document/ui/DocumentTreeModel.h"
#include "platform/ui/TrackedDialog.h"

#include <QIcon>
#include <QList>

#include <pugixml.hpp>

#include <vector>

class CaptionTable;
class MainTreeSelection;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TFormNewGroup;

// The parent group selection window: the document's groups under a root
// node ("Root" in English), for the new group and new record windows to
// choose where a new item goes. Its "Create New Group" button adds a group to the document at once.
// The tree is rebuilt from the document on every showing, but not when the
// automatic lock gives the window back, so the choice made in it stays.
class TFormGroupSelect : public TrackedDialog {
    Q_OBJECT
public:
    // The name of the top level, above every group, in the chosen language.
    static QString rootCaption(const CaptionTable& captions);

    // icons: the 27 tree icons, by image index.
    TFormGroupSelect(const CaptionTable& captions, MainTreeSelection& mainTree, const QList<QIcon>& icons,
                     QWidget* parent = nullptr);

    void FillGroupTree();
    // The selected node's data; nullptr when nothing is selected. Valid until
    // the tree is filled again.
    const TTreeNodeData* selectedNodeData() const;
    pugi::xml_node dataElement() const;

    void setCreateGroupButtonVisible(bool visible);
    // The window that "Create New Group" asks for the new group's name and icon.
    void setNewGroupWindow(TFormNewGroup* newGroupWindow);
    void ApplyGroupSelectCaptions();

protected:
    void prepareForUse() override;

private:
    void buildControls();
    void layOutControls();
    QTreeWidgetItem* addNode(QTreeWidgetItem* parentItem, const QString& caption, int icon, TTreeNodeData data);
    void addGroups(QTreeWidgetItem* rootItem, const pugi::xml_node& element);
    void preselectMainTreeGroup();
    void JvXPButtonNewGroupClick();

    const CaptionTable& m_captions;
    MainTreeSelection& m_mainTree;
    QList<QIcon> m_icons;
    TFormNewGroup* m_newGroupWindow = nullptr;
    // Node data by the index each tree item carries.
    std::vector<TTreeNodeData> m_nodeData;

    QTreeWidget* m_treeViewGroups = nullptr;
    QPushButton* m_buttonNewGroup = nullptr;
    QPushButton* m_buttonOk = nullptr;
    QPushButton* m_buttonCancel = nullptr;
};
