#include "search/ui/FormSearch.h"

#include "config/CaptionTable.h"
#include "config/ui/CreationWindowParts.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

using namespace CreationWindowParts;

namespace {

const QColor CheckBoxBackground(166, 202, 240);

QCheckBox* createCheckBox(const QString& objectName, QWidget* parent)
{
    auto* box = new QCheckBox(parent);
    box->setObjectName(objectName);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, CheckBoxBackground);
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    return box;
}

QLabel* createBoxLabel(const QString& objectName, QWidget* parent)
{
    QLabel* label = createLabel(objectName, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QHBoxLayout* boxRow(QCheckBox* box, QLabel* label)
{
    auto* row = new QHBoxLayout;
    row->addWidget(box);
    row->addWidget(label, 1);
    return row;
}

} // namespace

TFormSearch::TFormSearch(const CaptionTable& captions, QWidget* parent)
    : QDialog(parent)
    , m_captions(captions)
    , m_labelKeyword(createLabel(QStringLiteral("LabelKeyword"), this))
    , m_editKeyword(createEdit(QStringLiteral("EditKeyword"), this))
    , m_checkBoxWhole(createCheckBox(QStringLiteral("CheckBoxWhole"), this))
    , m_labelWhole(createBoxLabel(QStringLiteral("LabelWhole"), this))
    , m_checkBoxFieldNames(createCheckBox(QStringLiteral("CheckBoxFieldNames"), this))
    , m_labelFieldNames(createBoxLabel(QStringLiteral("LabelFieldNames"), this))
    , m_panelLine(new QFrame(this))
    , m_buttonSearch(createButton(QStringLiteral("JvXPButtonSearch"), this))
    , m_buttonCancel(createButton(QStringLiteral("JvXPButtonCancel"), this))
{
    setDialogFrame(this);
    m_panelLine->setObjectName(QStringLiteral("PanelLine"));
    m_panelLine->setFrameShape(QFrame::HLine);
    m_panelLine->setFrameShadow(QFrame::Sunken);
    m_buttonSearch->setDefault(true);
    connect(m_buttonSearch, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_buttonCancel, &QPushButton::clicked, this, &QDialog::reject);
    m_labelWhole->installEventFilter(this);
    m_labelFieldNames->installEventFilter(this);
    layOutControls();
    ApplySearchCaptions();
}

void TFormSearch::layOutControls()
{
    auto* window = new QVBoxLayout(this);
    window->addWidget(m_labelKeyword);
    window->addWidget(m_editKeyword);
    window->addLayout(boxRow(m_checkBoxWhole, m_labelWhole));
    window->addLayout(boxRow(m_checkBoxFieldNames, m_labelFieldNames));
    window->addWidget(m_panelLine);
    window->addLayout(buttonRow(m_buttonSearch, m_buttonCancel));
    window->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_editKeyword, m_buttonSearch);
    setTabOrder(m_buttonSearch, m_buttonCancel);
    setTabOrder(m_buttonCancel, m_checkBoxFieldNames);
    setTabOrder(m_checkBoxFieldNames, m_checkBoxWhole);
}

void TFormSearch::ApplySearchCaptions()
{
    setWindowTitle(m_captions.GetCaption(QStringLiteral("SearchCaption"), QStringLiteral("Search")));
    m_labelKeyword->setText(labelCaption(m_captions, "SearchLabelKeyword", "Search keyword"));
    m_labelWhole->setText(
        m_captions.GetCaption(QStringLiteral("SearchCheckBoxWhole"), QStringLiteral("Whole words only")));
    m_labelFieldNames->setText(
        m_captions.GetCaption(QStringLiteral("SearchCheckBoxFieldNames"), QStringLiteral("Search in field names")));
    m_buttonSearch->setText(m_captions.GetCaption(QStringLiteral("SearchButtonSearch"), QStringLiteral("Search")));
    m_buttonCancel->setText(m_captions.GetCaption(QStringLiteral("ButtonCancel"), QStringLiteral("Cancel")));
}

QString TFormSearch::keyword() const
{
    return m_editKeyword->text();
}

bool TFormSearch::wholeWords() const
{
    return m_checkBoxWhole->isChecked();
}

bool TFormSearch::fieldNames() const
{
    return m_checkBoxFieldNames->isChecked();
}

SearchOptions TFormSearch::options() const
{
    return SearchOptions{keyword(), wholeWords(), fieldNames()};
}

void TFormSearch::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

// The last keyword stays, selected, so typing replaces it and Enter repeats it.
void TFormSearch::FormShow()
{
    m_editKeyword->setFocus(Qt::OtherFocusReason);
    m_editKeyword->selectAll();
    centreOverParent(this);
}

bool TFormSearch::eventFilter(QObject* watched, QEvent* event)
{
    const bool boxLabel = watched == m_labelWhole || watched == m_labelFieldNames;
    if (boxLabel && event->type() == QEvent::MouseButtonRelease) {
        // The release counts only over the label, as a click does.
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (static_cast<QWidget*>(watched)->rect().contains(at)) {
            if (watched == m_labelWhole)
                LabelWholeMouseUp();
            else
                LabelFieldNamesMouseUp();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormSearch::LabelWholeMouseUp()
{
    toggleFromLabel(m_checkBoxWhole);
}

void TFormSearch::LabelFieldNamesMouseUp()
{
    toggleFromLabel(m_checkBoxFieldNames);
}

void TFormSearch::toggleFromLabel(QCheckBox* box)
{
    box->toggle();
    box->setFocus(Qt::MouseFocusReason);
}
