#include "editor/ui/FieldRow.h"

#include "config/CaptionTable.h"
#include "editor/ui/FieldControl.h"
#include "editor/ui/OneTimeCodeDisplay.h"
#include "editor/ui/SecretFieldCopy.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolButton>

#include <algorithm>
#include <memory>

namespace {

constexpr int ButtonGap = 2;

QString caption(const CaptionTable& captions, const char* key, const char* englishDefault)
{
    return captions.GetCaption(QLatin1String(key), QString::fromUtf8(englishDefault));
}

QAction* createAction(QObject* parent, const char* objectName, const QString& text, const QIcon& icon)
{
    auto* action = new QAction(icon, text, parent);
    action->setObjectName(QLatin1String(objectName));
    action->setToolTip(text);
    return action;
}

// The box's own menu (undo, cut, copy of the selection, paste...), where it has one.
QMenu* standardMenu(QWidget* control)
{
    if (auto* line = qobject_cast<QLineEdit*>(control))
        return line->createStandardContextMenu();
    if (auto* box = qobject_cast<QPlainTextEdit*>(control))
        return box->createStandardContextMenu();
    return new QMenu;
}

} // namespace

FieldRow::FieldRow(FieldControl* control, bool secret, bool canGenerate, const CaptionTable& captions,
                   const FieldButtonIcons& icons, QWidget* parent)
    : QWidget(parent)
    , m_control(control)
    , m_copy(createAction(this, "ActionCopyField", caption(captions, "EditorCopyField", "Copy"), icons.copy))
{
    QWidget* input = control->widget();
    input->setParent(this);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(ButtonGap);
    row->addWidget(input, 1);
    // Square buttons as high as a single-line edit, at the top of taller boxes.
    const int side = std::min(input->sizeHint().height(), QLineEdit().sizeHint().height());

    auto* line = qobject_cast<QLineEdit*>(input);
    const bool hidden =
        secret && line && (control->fieldType() == FieldType::Text || control->fieldType() == FieldType::Number);
    if (hidden) {
        m_reveal = createAction(this, "ActionRevealField",
                                caption(captions, "EditorRevealField", "Show or hide the value"), icons.reveal);
        m_reveal->setCheckable(true);
        m_reveal->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
        m_reveal->setShortcutContext(Qt::WidgetShortcut);
        input->addAction(m_reveal);
        connect(m_reveal, &QAction::toggled, line,
                [line](bool shown) { line->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password); });
        line->setEchoMode(QLineEdit::Password);
        m_secretCopy = new SecretFieldCopy(*line);
        connect(m_secretCopy, &SecretFieldCopy::copyRequested, this, &FieldRow::copyRequested);
    }
    connect(m_copy, &QAction::triggered, this,
            [this] { emit copyRequested(m_oneTimeCode ? m_oneTimeCode->currentCode() : m_control->shownText()); });
    if (canGenerate && control->fieldType() == FieldType::Text) {
        m_generate = createAction(this, "ActionGenerateField",
                                  caption(captions, "EditorGenerateField", "Generate password…"), icons.generate);
        connect(m_generate, &QAction::triggered, this, &FieldRow::generateRequested);
    }

    // Each kind of button has its column, kept free in a row without it, so
    // that all controls are as wide and the buttons line up.
    // Tab goes from the field through its buttons to the next field.
    QWidget* tabbedLast = input;
    const auto addButtonColumn = [this, row, side, &tabbedLast](QAction* action, const char* objectName) {
        if (!action) { // a box layout puts no gap beside a spacing
            row->addSpacing(side + ButtonGap);
            return;
        }
        QToolButton* button = addToolButton(action, objectName, side);
        row->addWidget(button, 0, Qt::AlignTop);
        setTabOrder(tabbedLast, button);
        tabbedLast = button;
    };
    addButtonColumn(m_reveal, "ButtonRevealField");
    addButtonColumn(m_copy, "ButtonCopyField");
    // Beside secrets only; other Text fields offer it in their context menu.
    if (canGenerate)
        addButtonColumn(hidden ? m_generate : nullptr, "ButtonGenerateField");

    input->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(input, &QWidget::customContextMenuRequested, this, &FieldRow::showContextMenu);
}

QToolButton* FieldRow::addToolButton(QAction* action, const char* objectName, int side)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QLatin1String(objectName));
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setFixedSize(side, side);
    // Reached with Tab; a click leaves the keyboard in the field.
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

void FieldRow::hideSecret()
{
    if (m_reveal)
        m_reveal->setChecked(false);
}

void FieldRow::showOneTimeCode(const UnixClock& clock)
{
    if (m_oneTimeCode)
        return;
    m_oneTimeCode = new OneTimeCodeDisplay([control = m_control] { return control->shownText(); }, clock, this);
    // A seed comes from the site, never from the generator; its button's
    // place stays empty, so the rows' buttons still line up.
    if (auto* button = findChild<QToolButton*>(QStringLiteral("ButtonGenerateField"))) {
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
        button->hide();
    }
    m_generate = nullptr;
    // Right after the value, before the buttons.
    static_cast<QHBoxLayout*>(layout())->insertWidget(1, m_oneTimeCode, 0, Qt::AlignTop);
}

void FieldRow::showContextMenu(const QPoint& position)
{
    QWidget* input = m_control->widget();
    const std::unique_ptr<QMenu> menu(standardMenu(input));
    if (m_secretCopy)
        m_secretCopy->adaptMenu(*menu);
    QAction* first = menu->actions().value(0);
    menu->insertAction(first, m_copy);
    if (m_generate)
        menu->insertAction(first, m_generate);
    if (first)
        menu->insertSeparator(first);
    menu->exec(input->mapToGlobal(position));
}
