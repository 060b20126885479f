#include "document/ui/FormNewRecord.h"

#include "config/CaptionTable.h"
#include "config/ProgramPaths.h"
#include "config/ui/CreationWindowParts.h"
#include "document/Schema.h"
#include "document/ui/ParentGroupChoice.h"
#include "platform/MessageService.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace CreationWindowParts;

namespace {

// Each type entry carries its TNumber value: the icon position it proposes.
constexpr int TypeIconRole = Qt::UserRole;

} // namespace

TFormNewRecord::TFormNewRecord(const CaptionTable& captions, MessageService& messages, MainTreeSelection& mainTree,
                               const QList<QIcon>& icons, QWidget* parent)
    : TrackedDialog(parent)
    , m_captions(captions)
    , m_messages(messages)
    , m_mainTree(mainTree)
    , m_labelName(createLabel(QStringLiteral("LabelName"), this))
    , m_editName(createEdit(QStringLiteral("EditName"), this))
    , m_comboBoxExIcons(createIconList(icons, Schema::FirstRecordIcon, Schema::RecordIconCount, this))
    , m_labelType(createLabel(QStringLiteral("LabelType"), this))
    , m_comboBoxTypes(new QComboBox(this))
    , m_labelGroup(createLabel(QStringLiteral("LabelGroup"), this))
    , m_parentChoice(new ParentGroupChoice(captions, this))
    , m_buttonOk(createOkButton(this))
    , m_buttonCancel(createCancelButton(this))
{
    setDialogFrame(this);
    m_comboBoxTypes->setObjectName(QStringLiteral("ComboBoxTypes"));
    connect(m_comboBoxTypes, &QComboBox::currentIndexChanged, this, &TFormNewRecord::ComboBoxTypesChange);
    connect(m_buttonOk, &QPushButton::clicked, this, &TFormNewRecord::JvXPButtonOkClick);
    layOutControls();
    applyCaptions();
}

void TFormNewRecord::layOutControls()
{
    auto* fields = new QGridLayout;
    fields->addWidget(m_labelName, 0, 0);
    fields->addWidget(m_editName, 0, 1);
    fields->addWidget(m_comboBoxExIcons, 0, 2);
    fields->addWidget(m_labelType, 1, 0);
    fields->addWidget(m_comboBoxTypes, 1, 1, 1, 2);
    fields->addWidget(m_labelGroup, 2, 0);
    fields->addWidget(m_parentChoice->parentGroupEdit(), 2, 1);
    fields->addWidget(m_parentChoice->selectGroupButton(), 2, 2);

    auto* window = new QVBoxLayout(this);
    window->addLayout(fields);
    window->addLayout(buttonRow(m_buttonOk, m_buttonCancel));
    window->setSizeConstraint(QLayout::SetFixedSize);
}

bool TFormNewRecord::ApplyNewRecordCaptions(const ProgramPaths& paths, const QString& language)
{
    applyCaptions();
    return LoadCatalogue(paths, language);
}

void TFormNewRecord::applyCaptions()
{
    setWindowTitle(m_captions.GetCaption(QStringLiteral("NewRecordCaption"), QStringLiteral("New Record")));
    m_labelName->setText(labelCaption(m_captions, "NewRecordLabelName", "Record Name"));
    m_labelType->setText(labelCaption(m_captions, "NewRecordLabelType", "Record Type"));
    m_labelGroup->setText(labelCaption(m_captions, "NewRecordLabelGroup", "Parent Group"));
    applyButtonCaptions(m_captions, m_buttonOk, m_buttonCancel);
}

bool TFormNewRecord::LoadCatalogue(const ProgramPaths& paths, const QString& language)
{
    const std::optional<QString> file = findCatalogueFile(paths, language);
    if (!file) {
        m_messages.show(MessageService::Kind::Error, m_captions.GetCaption(QLatin1String(MessageConfigNotFoundKey),
                                                                           QLatin1String(MessageConfigNotFoundText)));
        return false;
    }
    // A catalogue that cannot be read lists no types: no record can be made,
    // but the rest of the program still works.
    m_catalogue.LoadCatalogue(*file);
    fillTypeList();
    return true;
}

const Catalogue& TFormNewRecord::catalogue() const
{
    return m_catalogue;
}

// Refilling forgets the icon choices made since the last load.
void TFormNewRecord::fillTypeList()
{
    m_comboBoxTypes->clear();
    for (const Catalogue::Entry& entry : m_catalogue.entries())
        m_comboBoxTypes->addItem(entry.name, entry.icon.value);
}

void TFormNewRecord::prepareForUse()
{
    m_editName->clear();
    m_editName->setFocus(Qt::OtherFocusReason);
    selectFirst(m_comboBoxExIcons);
    m_parentChoice->PresetParentFromTree(m_mainTree);
    // Selecting the first type only signals a change when another was chosen.
    selectFirst(m_comboBoxTypes);
    ComboBoxTypesChange();
    centreOverParent(this);
}

// Choosing a type proposes its icon.
void TFormNewRecord::ComboBoxTypesChange()
{
    const int type = m_comboBoxTypes->currentIndex();
    if (type >= 0)
        m_comboBoxExIcons->setCurrentIndex(m_comboBoxTypes->itemData(type, TypeIconRole).toInt());
}

void TFormNewRecord::JvXPButtonOkClick()
{
    const int type = m_comboBoxTypes->currentIndex();
    if (type >= 0)
        m_comboBoxTypes->setItemData(type, iconPosition(), TypeIconRole);
    accept();
}

QString TFormNewRecord::recordName() const
{
    return m_editName->text();
}

int TFormNewRecord::iconPosition() const
{
    return m_comboBoxExIcons->currentIndex();
}

QString TFormNewRecord::chosenTypeName() const
{
    return m_comboBoxTypes->currentIndex() >= 0 ? m_comboBoxTypes->currentText() : QString();
}

pugi::xml_node TFormNewRecord::chosenParent() const
{
    return m_parentChoice->chosenParent();
}

void TFormNewRecord::setGroupSelectWindow(TFormGroupSelect* groupSelect)
{
    m_parentChoice->setGroupSelectWindow(groupSelect, true);
}
