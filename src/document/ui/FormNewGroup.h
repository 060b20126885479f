#pragma once

#include "platform/ui/TrackedDialog.h"

#include <QIcon>
#include <QList>
#include <QString>

#include <pugixml.hpp>

class CaptionTable;
class MainTreeSelection;
class MessageService;
class ParentGroupChoice;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TFormGroupSelect;

// Asks for a new group's name, icon and parent group. The caller presets the
// parent; every showing starts with an empty name and the first icon. The
// window never changes the document itself.
class TFormNewGroup : public TrackedDialog {
    Q_OBJECT
public:
    // icons: the 27 tree icons, by image index.
    TFormNewGroup(const CaptionTable& captions, MessageService& messages, const QList<QIcon>& icons,
                  QWidget* parent = nullptr);

    // The group that receives the new group; null for the top level.
    pugi::xml_node chosenParent() const;
    void PresetParentFromTree(const MainTreeSelection& mainTree);
    void PresetParentFromGroupTree(const TFormGroupSelect& groupSelect);
    void TakeChosenGroup(const TFormGroupSelect& groupSelect);

    QString groupName() const;
    // Position in the group type table; -1 when no icon is chosen.
    int iconPosition() const;

    // Hidden while the selection window itself asks for a group, which must
    // not open that window again.
    void setSelectGroupButtonVisible(bool visible);
    // The window that "..." shows, without its "Create New Group" button.
    void setGroupSelectWindow(TFormGroupSelect* groupSelect);
    void ApplyNewGroupCaptions();

protected:
    void prepareForUse() override;

private:
    void layOutControls();
    void JvXPButtonOkClick();

    const CaptionTable& m_captions;
    MessageService& m_messages;

    QLabel* m_labelName = nullptr;
    QLineEdit* m_editName = nullptr;
    QComboBox* m_comboBoxExIcons = nullptr;
    QLabel* m_labelGroup = nullptr;
    ParentGroupChoice* m_parentChoice = nullptr;
    QPushButton* m_buttonOk = nullptr;
    QPushButton* m_buttonCancel = nullptr;
};
