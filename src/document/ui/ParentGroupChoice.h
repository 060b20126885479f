#pragma once

#include <QObject>

#include <pugixml.hpp>

class CaptionTable;
class MainTreeSelection;
class QLineEdit;
class QPushButton;
class QWidget;
class TFormGroupSelect;

// The group that receives a new item, as the new group and new record windows
// keep it: the element itself (null for the top level), so the choice stays
// valid while either tree is rebuilt, and its name in EditParentGroup. The
// "..." button beside it lets the user pick another group.
class ParentGroupChoice : public QObject {
    Q_OBJECT
public:
    ParentGroupChoice(const CaptionTable& captions, QWidget* window);

    QLineEdit* parentGroupEdit() const { return m_editParentGroup; }
    QPushButton* selectGroupButton() const { return m_buttonSelectGroup; }

    pugi::xml_node chosenParent() const { return m_chosenParent; }

    void PresetParentFromTree(const MainTreeSelection& mainTree);
    void PresetParentFromGroupTree(const TFormGroupSelect& groupSelect);
    void TakeChosenGroup(const TFormGroupSelect& groupSelect);

    // The window that "..." shows, and whether it offers "Create New Group".
    void setGroupSelectWindow(TFormGroupSelect* groupSelect, bool offerCreateGroup);

private:
    void JvXPButtonSelectGroupClick();
    void chooseGroup(const pugi::xml_node& group, const QString& caption);
    void chooseTopLevel();

    const CaptionTable& m_captions;
    pugi::xml_node m_chosenParent;
    QLineEdit* m_editParentGroup = nullptr;
    QPushButton* m_buttonSelectGroup = nullptr;
    TFormGroupSelect* m_groupSelect = nullptr;
    bool m_offerCreateGroup = false;
};
