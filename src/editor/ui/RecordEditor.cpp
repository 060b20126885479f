#include "editor/ui/RecordEditor.h"

#include "document/DataDocument.h"
#include "document/DocumentEditing.h"
#include "document/FieldRoles.h"
#include "editor/FieldElements.h"
#include "editor/ui/FieldControl.h"
#include "editor/ui/FieldLineEdit.h"
#include "editor/ui/OneTimeCodeDisplay.h"
#include "platform/ui/TextBoxWipe.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QColor PanelColour(189, 222, 242);
constexpr int ScrollStep = 38;

} // namespace

RecordEditor::RecordEditor(const CaptionTable& captions, DocumentEditing& editing, QWidget* parent)
    : QScrollArea(parent)
    , m_captions(captions)
    , m_editing(editing)
    , m_panel(new QWidget)
    , m_rows(new QVBoxLayout(m_panel))
{
    setObjectName(QStringLiteral("ScrollBox"));
    // The panel itself takes no focus: Tab from the tree goes straight to the first field.
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(ScrollStep);

    m_panel->setObjectName(QStringLiteral("PanelScroll"));
    QPalette colours = m_panel->palette();
    colours.setColor(QPalette::Window, PanelColour);
    m_panel->setPalette(colours);
    m_panel->setAutoFillBackground(true);
    m_rows->setContentsMargins(PanelBorder, PanelBorder, PanelBorder, PanelBorder);
    m_rows->setSpacing(0);
    setWidget(m_panel);

    connect(qApp, &QApplication::focusChanged, this, &RecordEditor::PanelScrollEnter);
}

RecordEditor::~RecordEditor()
{
    // Focus moves while the controls are destroyed; this object is gone by then.
    disconnect(qApp, nullptr, this, nullptr);
}

void RecordEditor::ClearRecordEditor()
{
    // A control losing the focus while it is destroyed reports it here.
    m_typingIn = nullptr;
    // The values shown may be secrets; they should not outlive their controls.
    for (auto entry = m_controls.crbegin(); entry != m_controls.crend(); ++entry) {
        TextBoxWipe::wipeQuietly(**entry);
        delete panelChild(*entry);
    }
    m_controls.clear();
    while (QLayoutItem* spacing = m_rows->takeAt(0))
        delete spacing;
    m_nextRowTop = PanelBorder;
    m_record = pugi::xml_node();
}

void RecordEditor::FillRecordEditor(const pugi::xml_node& firstNode)
{
    m_record = firstNode.parent();
    for (const pugi::xml_node& field : FieldElements::shownFieldsFrom(firstNode)) {
        const FieldType type = *FieldElements::shownFieldType(field);
        appendRow(qText(field.attribute("name")), createFieldControl(type, qText(field.text()), m_panel));
    }
    // The rows keep their heights; the room below them stays empty.
    m_rows->addStretch(1);
    // The rows were made hidden, so the panel is laid out once, now; at once,
    // so a control can be scrolled into view right after the fill.
    for (QWidget* entry : std::as_const(m_controls))
        panelChild(entry)->show();
    QEvent layoutRequest(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(this, &layoutRequest);
}

void RecordEditor::appendRow(const QString& name, FieldControl* control)
{
    auto* label = new QLabel(m_panel);
    label->setTextFormat(Qt::PlainText);
    label->setText(name);
    appendToPanel(label, label, GapAfterLabel);
    const bool oneTimeCode = FieldRoles::isOneTimeCodeField(name, control->shownText());
    auto* row = new FieldRow(control, FieldRoles::isHiddenField(name, control->shownText()), bool(m_passwordSource),
                             m_captions, m_buttonIcons, m_panel);
    if (oneTimeCode)
        row->showOneTimeCode(m_clock);
    connect(row, &FieldRow::copyRequested, this, &RecordEditor::copyRequested);
    connect(row, &FieldRow::generateRequested, this, [this, control] { putGeneratedPassword(control); });
    appendToPanel(row, control->widget(), GapAfterControl);
    // Attached only now that the value is set: showing a record changes nothing.
    if (control->fieldType() == FieldType::Date)
        control->onValueChanged([this, control] { DateValueChanged(control); });
    else
        control->onValueChanged([this, control] { FieldValueChanged(control); });
}

void RecordEditor::appendToPanel(QWidget* shown, QWidget* entry, int gapBelow)
{
    m_rows->addWidget(shown);
    m_rows->addSpacing(gapBelow);
    m_controls.append(entry);
    const int height = std::clamp(shown->sizeHint().height(), shown->minimumHeight(), shown->maximumHeight());
    m_nextRowTop += height + gapBelow;
}

void RecordEditor::writeField(FieldControl* control)
{
    if (!m_record)
        return;
    // The rows were made from exactly these fields, in this order.
    const std::vector<pugi::xml_node> fields = FieldElements::shownFieldsFrom(m_record.first_child());
    const qsizetype entry = m_controls.indexOf(control->widget());
    const qsizetype row = entry / 2;
    if (entry < 0 || row >= qsizetype(fields.size()))
        return;
    const auto* label = static_cast<const QLabel*>(m_controls.at(2 * row));
    m_editing.editField(fields[row], label->text(), storedTypeName(control->fieldType()), control->storedText(),
                        control == m_typingIn);
    m_typingIn = control;
}

void RecordEditor::FieldValueChanged(FieldControl* sender)
{
    writeField(sender);
    emit captionRefreshNeeded();
    if (auto* edit = dynamic_cast<FieldLineEdit*>(sender))
        edit->showAddressValidity();
}

// A date change is stored, but the record's caption in the tree is left as it
// is until the next other change or the next rebuild of the tree.
void RecordEditor::DateValueChanged(FieldControl* sender)
{
    writeField(sender);
}

void RecordEditor::FocusHitControl(int fieldCounter)
{
    const qsizetype entry = 2 * qsizetype(fieldCounter) - 1;
    if (entry < 0 || entry >= m_controls.size())
        return;
    QWidget* control = m_controls.at(entry);
    if (!dynamic_cast<FieldControl*>(control))
        return;
    if (auto* row = qobject_cast<FieldRow*>(control->parentWidget()))
        row->hideSecret();
    control->setFocus(Qt::OtherFocusReason);
    ensureWidgetVisible(control);
}

void RecordEditor::focusLastField()
{
    FocusHitControl(static_cast<int>(m_controls.size() / 2));
}

QWidget* RecordEditor::panelChild(QWidget* entry) const
{
    QWidget* row = entry->parentWidget();
    return row != m_panel ? row : entry;
}

QList<FieldRow*> RecordEditor::fieldRows() const
{
    QList<FieldRow*> rows;
    for (qsizetype entry = 1; entry < m_controls.size(); entry += 2)
        rows.append(qobject_cast<FieldRow*>(m_controls.at(entry)->parentWidget()));
    return rows;
}

void RecordEditor::hideSecrets()
{
    for (FieldRow* row : fieldRows())
        row->hideSecret();
}

bool RecordEditor::copyFirstSecret()
{
    return copyFirstFieldWhere(&FieldRoles::isSecretFieldName);
}

bool RecordEditor::copyFirstLogin()
{
    return copyFirstFieldWhere(&FieldRoles::isLoginFieldName);
}

bool RecordEditor::copyFirstCode()
{
    for (const FieldRow* row : fieldRows()) {
        if (const OneTimeCodeDisplay* code = row->oneTimeCode(); code && !code->currentCode().isEmpty()) {
            emit copyRequested(code->currentCode());
            return true;
        }
    }
    return false;
}

bool RecordEditor::copyFirstFieldWhere(bool (*hasRole)(const QString& name))
{
    for (qsizetype entry = 0; entry + 1 < m_controls.size(); entry += 2) {
        const auto* label = static_cast<const QLabel*>(m_controls.at(entry));
        // A seed is secret too, but Ctrl+C stands for the password.
        const auto* row = qobject_cast<const FieldRow*>(m_controls.at(entry + 1)->parentWidget());
        if (hasRole(label->text()) && !(row && row->oneTimeCode())) {
            emit copyRequested(dynamic_cast<const FieldControl*>(m_controls.at(entry + 1))->shownText());
            return true;
        }
    }
    return false;
}

void RecordEditor::setPasswordSource(PasswordSource source)
{
    m_passwordSource = std::move(source);
}

// Set as if typed, so the document is marked modified and the record written back.
void RecordEditor::putGeneratedPassword(FieldControl* control)
{
    auto* edit = dynamic_cast<FieldLineEdit*>(control);
    if (!edit || !m_passwordSource)
        return;
    if (const std::optional<QString> password = m_passwordSource(this))
        edit->setText(*password);
}

void RecordEditor::PanelScrollEnter(QWidget* previous, QWidget* current)
{
    // Another field chosen: what is typed there is a step of its own.
    if (m_typingIn && current != m_typingIn->widget() && !m_typingIn->widget()->isAncestorOf(current))
        m_typingIn = nullptr;
    if (holds(current) && !holds(previous))
        emit panelEntered();
}

bool RecordEditor::holds(QWidget* widget) const
{
    return widget && (widget == this || isAncestorOf(widget));
}
