#include "document/ui/ParentGroupChoice.h"

#include "config/ui/CreationWindowParts.h"
#include "document/DataDocument.h"
#include "document/ui/FormGroupSelect.h"
#include "document/ui/MainTreeSelection.h"

#include <QLineEdit>
#include <QPushButton>

ParentGroupChoice::ParentGroupChoice(const CaptionTable& captions, QWidget* window)
    : QObject(window)
    , m_captions(captions)
    , m_editParentGroup(CreationWindowParts::createEdit(QStringLiteral("EditParentGroup"), window))
    , m_buttonSelectGroup(CreationWindowParts::createButton(QStringLiteral("JvXPButtonSelectGroup"), window))
{
    m_editParentGroup->setReadOnly(true);
    m_buttonSelectGroup->setText(QStringLiteral("..."));
    m_buttonSelectGroup->setAutoDefault(false);
    connect(m_buttonSelectGroup, &QPushButton::clicked, this, &ParentGroupChoice::JvXPButtonSelectGroupClick);
    chooseTopLevel();
}

void ParentGroupChoice::PresetParentFromTree(const MainTreeSelection& mainTree)
{
    const TTreeNodeData* selected = mainTree.selectedNode();
    if (!selected) {
        chooseTopLevel();
    } else if (selected->isRecord) {
        const TTreeNodeData* group = mainTree.selectedNodeParent();
        if (group)
            chooseGroup(group->element, selected->parentCaption());
        else
            chooseTopLevel();
    } else {
        chooseGroup(selected->element, qText(selected->element.attribute("name")));
    }
}

void ParentGroupChoice::PresetParentFromGroupTree(const TFormGroupSelect& groupSelect)
{
    const TTreeNodeData* selected = groupSelect.selectedNodeData();
    if (selected && selected->element != groupSelect.dataElement())
        chooseGroup(selected->element, qText(selected->element.attribute("name")));
    else
        chooseTopLevel();
}

void ParentGroupChoice::TakeChosenGroup(const TFormGroupSelect& groupSelect)
{
    const TTreeNodeData* selected = groupSelect.selectedNodeData();
    if (selected && selected->element != groupSelect.dataElement())
        chooseGroup(selected->element, qText(selected->element.attribute("name")));
    else
        chooseTopLevel();
}

void ParentGroupChoice::setGroupSelectWindow(TFormGroupSelect* groupSelect, bool offerCreateGroup)
{
    m_groupSelect = groupSelect;
    m_offerCreateGroup = offerCreateGroup;
}

void ParentGroupChoice::JvXPButtonSelectGroupClick()
{
    if (!m_groupSelect)
        return;
    m_groupSelect->setCreateGroupButtonVisible(m_offerCreateGroup);
    const bool accepted = m_groupSelect->exec() == QDialog::Accepted;
    m_groupSelect->setCreateGroupButtonVisible(true);
    if (accepted)
        TakeChosenGroup(*m_groupSelect);
}

void ParentGroupChoice::chooseGroup(const pugi::xml_node& group, const QString& caption)
{
    m_chosenParent = group;
    m_editParentGroup->setText(caption);
}

void ParentGroupChoice::chooseTopLevel()
{
    chooseGroup(pugi::xml_node(), TFormGroupSelect::rootCaption(m_captions));
}
