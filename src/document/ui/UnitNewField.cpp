#include "document/ui/UnitNewField.h"

#include "config/CaptionTable.h"
#include "document/ui/CreationWindowParts.h"
#include "editor/FieldFormats.h"
#include "platform/MessageService.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace CreationWindowParts;

TFormNewField::TFormNewField(const CaptionTable& captions, MessageService& messages, QWidget* parent)
    : TrackedDialog(parent)
    , m_captions(captions)
    , m_messages(messages)
    , m_labelName(createLabel(QStringLiteral("LabelName"), this))
    , m_editField(createEdit(QStringLiteral("EditField"), this))
    , m_labelType(createLabel(QStringLiteral("LabelType"), this))
    , m_comboBoxTypes(new QComboBox(this))
    , m_buttonOk(createOkButton(this))
    , m_buttonCancel(createCancelButton(this))
{
    setDialogFrame(this);
    m_comboBoxTypes->setObjectName(QStringLiteral("ComboBoxTypes"));
    connect(m_buttonOk, &QPushButton::clicked, this, &TFormNewField::JvXPButtonOkClick);
    layOutControls();
    ApplyNewFieldCaptions();
}

void TFormNewField::layOutControls()
{
    auto* fields = new QGridLayout;
    fields->addWidget(m_labelName, 0, 0);
    fields->addWidget(m_editField, 0, 1);
    fields->addWidget(m_labelType, 1, 0);
    fields->addWidget(m_comboBoxTypes, 1, 1);

    auto* window = new QVBoxLayout(this);
    window->addLayout(fields);
    window->addLayout(buttonRow(m_buttonOk, m_buttonCancel));
    window->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormNewField::ApplyNewFieldCaptions()
{
    setWindowTitle(m_captions.GetCaption(QStringLiteral("NewFieldCaption"), QStringLiteral("New Field")));
    m_labelName->setText(labelCaption(m_captions, "NewFieldLabelName", "Field Name"));
    m_labelType->setText(labelCaption(m_captions, "NewFieldLabelType", "Field Type"));
    applyButtonCaptions(m_captions, m_buttonOk, m_buttonCancel);
    fillTypeList();
}

void TFormNewField::fillTypeList()
{
    m_comboBoxTypes->clear();
    for (const FieldType type : allFieldTypes())
        m_comboBoxTypes->addItem(m_captions.GetCaption(typeCaptionKey(type), englishTypeName(type)));
    selectFirst(m_comboBoxTypes);
}

void TFormNewField::prepareForUse()
{
    m_editField->clear();
    m_editField->setFocus(Qt::OtherFocusReason);
    selectFirst(m_comboBoxTypes);
    centreOverParent(this);
}

void TFormNewField::JvXPButtonOkClick()
{
    if (m_editField->text().isEmpty()) {
        m_messages.show(MessageService::Kind::Information,
                        m_captions.GetCaption(QStringLiteral("MessageFieldNameNotExists"),
                                              QStringLiteral("Enter Field Name first")));
        m_editField->setFocus(Qt::OtherFocusReason);
        return;
    }
    accept();
}

QString TFormNewField::fieldName() const
{
    return m_editField->text();
}

QString TFormNewField::chosenTypeCaption() const
{
    return m_comboBoxTypes->currentText();
}
