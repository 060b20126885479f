#pragma once

#include "document/Catalogue.h"
#include "platform/ui/TrackedDialog.h"

#include <QIcon>
#include <QList>
#include <QString>

#include <pugixml.hpp>

class CaptionTable;
class MainTreeSelection;
class MessageService;
class ParentGroupChoice;
class ProgramPaths;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TFormGroupSelect;

// Asks for a new record's name, icon, record type and parent group. It holds
// the record-type catalogue; each type in the list carries the icon it
// proposes, which becomes the user's last icon choice for that type until the
// catalogue is read again. Every showing starts from the main tree's
// selection as parent and the first type with its icon.
class TFormNewRecord : public TrackedDialog {
    Q_OBJECT
public:
    // icons: the 27 tree icons, by image index.
    TFormNewRecord(const CaptionTable& captions, MessageService& messages, MainTreeSelection& mainTree,
                   const QList<QIcon>& icons, QWidget* parent = nullptr);

    // Reads the catalogue of the language (else the one beside the program)
    // and lists its types. Without any catalogue it says so and gives false:
    // no record can be made and the program has to end.
    bool LoadCatalogue(const ProgramPaths& paths, const QString& language);
    const Catalogue& catalogue() const;

    QString recordName() const;
    // Position in the record type table; -1 when no icon is chosen.
    int iconPosition() const;
    // The chosen type's display name; empty when the list offers none.
    QString chosenTypeName() const;
    // The group that receives the new record; null for the top level.
    pugi::xml_node chosenParent() const;

    // The window that "..." shows, with its "Create New Group" button.
    void setGroupSelectWindow(TFormGroupSelect* groupSelect);
    // Sets the captions and reads the catalogue again; false as LoadCatalogue.
    bool ApplyNewRecordCaptions(const ProgramPaths& paths, const QString& language);

protected:
    void prepareForUse() override;

private:
    void layOutControls();
    void applyCaptions();
    void fillTypeList();
    void ComboBoxTypesChange();
    void JvXPButtonOkClick();

    const CaptionTable& m_captions;
    MessageService& m_messages;
    MainTreeSelection& m_mainTree;
    Catalogue m_catalogue;

    QLabel* m_labelName = nullptr;
    QLineEdit* m_editName = nullptr;
    QComboBox* m_comboBoxExIcons = nullptr;
    QLabel* m_labelType = nullptr;
    QComboBox* m_comboBoxTypes = nullptr;
    QLabel* m_labelGroup = nullptr;
    ParentGroupChoice* m_parentChoice = nullptr;
    QPushButton* m_buttonOk = nullptr;
    QPushButton* m_buttonCancel = nullptr;
};
