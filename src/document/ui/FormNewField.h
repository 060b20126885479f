#pragma once

#include "platform/ui/TrackedDialog.h"

#include <QString>

class CaptionTable;
class MessageService;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks for a new field's name and type. The types are listed by their
// captions in the current language; every showing starts with an empty name
// and the first type, Text. Last comes "One-time code": a Text field whose
// value the user pastes, an otpauth:// URI or a Base32 secret, checked and
// shown with its first code before Ok.
class TFormNewField : public TrackedDialog {
    Q_OBJECT
public:
    TFormNewField(const CaptionTable& captions, MessageService& messages, QWidget* parent = nullptr);

    QString fieldName() const;
    // The chosen type's caption in the current language.
    QString chosenTypeCaption() const;
    // The new field's value: empty, or for a one-time code its seed as a URI.
    QString initialValue() const;
    // Also lists the type captions again and chooses the first.
    void ApplyNewFieldCaptions();

protected:
    void prepareForUse() override;

private:
    void layOutControls();
    void fillTypeList();
    void JvXPButtonOkClick();
    bool oneTimeCodeChosen() const;
    void followTypeChoice();
    void showFirstCode();

    const CaptionTable& m_captions;
    MessageService& m_messages;

    QLabel* m_labelName = nullptr;
    QLineEdit* m_editField = nullptr;
    QLabel* m_labelType = nullptr;
    QComboBox* m_comboBoxTypes = nullptr;
    QLabel* m_labelSeed = nullptr;
    QLineEdit* m_editSeed = nullptr;
    QLabel* m_labelFirstCode = nullptr;
    QPushButton* m_buttonOk = nullptr;
    QPushButton* m_buttonCancel = nullptr;
};
