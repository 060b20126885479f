#include "document/ui/FormNewField.h"

#include "config/CaptionTable.h"
#include "config/ui/CreationWindowParts.h"
#include "document/FieldFormats.h"
#include "document/OneTimeCode.h"
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
    , m_labelSeed(createLabel(QStringLiteral("LabelSeed"), this))
    , m_editSeed(createEdit(QStringLiteral("EditSeed"), this))
    , m_labelFirstCode(createLabel(QStringLiteral("LabelFirstCode"), this))
    , m_buttonOk(createOkButton(this))
    , m_buttonCancel(createCancelButton(this))
{
    setDialogFrame(this);
    m_comboBoxTypes->setObjectName(QStringLiteral("ComboBoxTypes"));
    connect(m_buttonOk, &QPushButton::clicked, this, &TFormNewField::JvXPButtonOkClick);
    connect(m_comboBoxTypes, &QComboBox::currentIndexChanged, this, &TFormNewField::followTypeChoice);
    connect(m_editSeed, &QLineEdit::textChanged, this, &TFormNewField::showFirstCode);
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
    fields->addWidget(m_labelSeed, 2, 0);
    fields->addWidget(m_editSeed, 2, 1);
    fields->addWidget(m_labelFirstCode, 3, 1);

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
    m_labelSeed->setText(labelCaption(m_captions, "NewFieldLabelSeed", "Address or secret"));
    applyButtonCaptions(m_captions, m_buttonOk, m_buttonCancel);
    fillTypeList();
}

void TFormNewField::fillTypeList()
{
    m_comboBoxTypes->clear();
    for (const FieldType type : allFieldTypes())
        m_comboBoxTypes->addItem(m_captions.GetCaption(typeCaptionKey(type), englishTypeName(type)));
    m_comboBoxTypes->addItem(
        m_captions.GetCaption(QStringLiteral("NewFieldTypeOneTimeCode"), QStringLiteral("One-time code")));
    selectFirst(m_comboBoxTypes);
    followTypeChoice();
}

bool TFormNewField::oneTimeCodeChosen() const
{
    return m_comboBoxTypes->currentIndex() == allFieldTypes().size();
}

void TFormNewField::followTypeChoice()
{
    const bool code = oneTimeCodeChosen();
    m_labelSeed->setVisible(code);
    m_editSeed->setVisible(code);
    m_labelFirstCode->setVisible(code);
    if (code && m_editField->text().isEmpty())
        m_editField->setText(m_comboBoxTypes->currentText());
    showFirstCode();
}

void TFormNewField::showFirstCode()
{
    const std::optional<OneTimeCode> generator = OneTimeCode::fromText(m_editSeed->text());
    m_labelFirstCode->setText(
        generator ? m_captions.GetCaption(QStringLiteral("NewFieldTextFirstCode"), QStringLiteral("Code now: %1"))
                        .arg(generator->codeAt(systemUnixClock()()))
                  : QString());
}

void TFormNewField::prepareForUse()
{
    m_editField->clear();
    m_editSeed->clear();
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
    if (oneTimeCodeChosen() && !OneTimeCode::fromText(m_editSeed->text())) {
        m_messages.show(MessageService::Kind::Information,
                        m_captions.GetCaption(QStringLiteral("MessageNoOneTimeCodeSeed"),
                                              QStringLiteral("Paste an otpauth:// address or a Base32 secret")));
        m_editSeed->setFocus(Qt::OtherFocusReason);
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
    // A one-time code is stored as a Text field, which older versions show as text.
    return oneTimeCodeChosen() ? m_comboBoxTypes->itemText(allFieldTypes().indexOf(FieldType::Text))
                               : m_comboBoxTypes->currentText();
}

QString TFormNewField::initialValue() const
{
    return oneTimeCodeChosen() ? OneTimeCode::storedForm(m_editSeed->text(), fieldName()) : QString();
}
