#include "document/ui/FormNewGroup.h"

#include "config/CaptionTable.h"
#include "config/ui/CreationWindowParts.h"
#include "document/Schema.h"
#include "document/ui/ParentGroupChoice.h"
#include "platform/MessageService.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace CreationWindowParts;

TFormNewGroup::TFormNewGroup(const CaptionTable& captions, MessageService& messages, const QList<QIcon>& icons,
                             QWidget* parent)
    : TrackedDialog(parent)
    , m_captions(captions)
    , m_messages(messages)
    , m_labelName(createLabel(QStringLiteral("LabelName"), this))
    , m_editName(createEdit(QStringLiteral("EditName"), this))
    , m_comboBoxExIcons(createIconList(icons, 0, Schema::GroupIconCount, this))
    , m_labelGroup(createLabel(QStringLiteral("LabelGroup"), this))
    , m_parentChoice(new ParentGroupChoice(captions, this))
    , m_buttonOk(createOkButton(this))
    , m_buttonCancel(createCancelButton(this))
{
    setDialogFrame(this);
    connect(m_buttonOk, &QPushButton::clicked, this, &TFormNewGroup::JvXPButtonOkClick);
    layOutControls();
    ApplyNewGroupCaptions();
}

void TFormNewGroup::layOutControls()
{
    auto* fields = new QGridLayout;
    fields->addWidget(m_labelName, 0, 0);
    fields->addWidget(m_editName, 0, 1);
    fields->addWidget(m_comboBoxExIcons, 0, 2);
    fields->addWidget(m_labelGroup, 1, 0);
    fields->addWidget(m_parentChoice->parentGroupEdit(), 1, 1);
    fields->addWidget(m_parentChoice->selectGroupButton(), 1, 2);

    auto* window = new QVBoxLayout(this);
    window->addLayout(fields);
    window->addLayout(buttonRow(m_buttonOk, m_buttonCancel));
    window->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormNewGroup::ApplyNewGroupCaptions()
{
    setWindowTitle(m_captions.GetCaption(QStringLiteral("NewGroupCaption"), QStringLiteral("New Group")));
    m_labelName->setText(labelCaption(m_captions, "NewGroupLabelName", "Group Name"));
    m_labelGroup->setText(labelCaption(m_captions, "NewRecordLabelGroup", "Parent Group"));
    applyButtonCaptions(m_captions, m_buttonOk, m_buttonCancel);
}

void TFormNewGroup::prepareForUse()
{
    m_editName->clear();
    m_editName->setFocus(Qt::OtherFocusReason);
    selectFirst(m_comboBoxExIcons);
    centreOverParent(this);
}

void TFormNewGroup::JvXPButtonOkClick()
{
    if (m_editName->text().isEmpty()) {
        m_messages.show(MessageService::Kind::Error, m_captions.GetCaption(QStringLiteral("MessageGroupNameNotExists"),
                                                                           QStringLiteral("Enter Group Name first")));
        m_editName->setFocus(Qt::OtherFocusReason);
        return;
    }
    accept();
}

pugi::xml_node TFormNewGroup::chosenParent() const
{
    return m_parentChoice->chosenParent();
}

void TFormNewGroup::PresetParentFromTree(const MainTreeSelection& mainTree)
{
    m_parentChoice->PresetParentFromTree(mainTree);
}

void TFormNewGroup::PresetParentFromGroupTree(const TFormGroupSelect& groupSelect)
{
    m_parentChoice->PresetParentFromGroupTree(groupSelect);
}

void TFormNewGroup::TakeChosenGroup(const TFormGroupSelect& groupSelect)
{
    m_parentChoice->TakeChosenGroup(groupSelect);
}

QString TFormNewGroup::groupName() const
{
    return m_editName->text();
}

int TFormNewGroup::iconPosition() const
{
    return m_comboBoxExIcons->currentIndex();
}

void TFormNewGroup::setSelectGroupButtonVisible(bool visible)
{
    m_parentChoice->selectGroupButton()->setVisible(visible);
}

void TFormNewGroup::setGroupSelectWindow(TFormGroupSelect* groupSelect)
{
    m_parentChoice->setGroupSelectWindow(groupSelect, false);
}
