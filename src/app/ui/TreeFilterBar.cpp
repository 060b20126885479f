#include "app/ui/TreeFilterBar.h"

#include "app/ui/TreeCommands.h"
#include "document/DataDocument.h"
#include "document/ui/DocumentTreeModel.h"
#include "document/ui/DocumentTreeView.h"

#include <QKeyEvent>

namespace {

// The most records for which filtering opens every group.
constexpr int OpenAllUpTo = 2000;

} // namespace

TreeFilterBar::TreeFilterBar(DataDocument& document, DocumentTreeModel& model, DocumentTreeView& view,
                             TreeCommands& commands, QWidget* parent)
    : QLineEdit(parent)
    , m_document(document)
    , m_model(model)
    , m_view(view)
    , m_commands(commands)
{
    setObjectName(QStringLiteral("EditFilter"));
    setClearButtonEnabled(true);
    // Reached by typing, Ctrl+E or a click: Tab still goes from the tree to
    // the record's first field.
    setFocusPolicy(Qt::ClickFocus);
    m_model.setHiddenItems([this](const pugi::xml_node& item) { return m_filter.hides(item); });
    connect(this, &QLineEdit::textChanged, this, &TreeFilterBar::filterBy);
}

void TreeFilterBar::start(const QString& typed)
{
    setFocus(Qt::ShortcutFocusReason);
    if (typed.isEmpty())
        selectAll();
    else
        // Typing on in the filtered tree goes on with the keyword.
        setText(text() + typed);
}

void TreeFilterBar::end()
{
    // Through the text, so the box and the tree agree.
    clear();
}

void TreeFilterBar::forget()
{
    const QSignalBlocker quiet(this);
    clear();
    m_filter.clear();
    m_openBefore.clear();
}

void TreeFilterBar::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        end();
        m_view.setFocus(Qt::ShortcutFocusReason);
        return;
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // On to the matches.
        m_view.setFocus(Qt::ShortcutFocusReason);
        return;
    default: QLineEdit::keyPressEvent(event);
    }
}

void TreeFilterBar::filterBy(const QString& keyword)
{
    const bool wasFiltering = m_filter.isActive();
    // The window's focus, whether or not it is the active window.
    const bool typing = window()->focusWidget() == this;
    const TTreeNodeData* selected = m_commands.selectedNode();
    const pugi::xml_node kept = selected ? selected->element : pugi::xml_node();
    if (!wasFiltering && !keyword.isEmpty())
        rememberOpenGroups();
    m_filter.apply(m_document.root(), keyword);
    if (!m_filter.isActive() && !wasFiltering)
        return;
    m_commands.showHiddenItemsAnew();
    if (m_filter.isActive()) {
        // Laying out every group of a large file open would cost more than
        // the filtering; the first match's groups open in any case.
        if (m_filter.keptRecords() <= OpenAllUpTo)
            m_view.expandAll();
        selectElement(m_filter.firstMatch());
    } else {
        reopenGroups();
        selectElement(kept);
    }
    // Selecting a record hands the keyboard to the tree; typing goes on here.
    if (typing)
        setFocus(Qt::OtherFocusReason);
}

void TreeFilterBar::selectElement(const pugi::xml_node& element)
{
    const QModelIndex node = element ? m_model.FindTreeNode(element) : QModelIndex();
    if (!node.isValid())
        return;
    for (QModelIndex group = node.parent(); group.isValid(); group = group.parent())
        m_view.expand(group);
    m_view.selectionModel()->setCurrentIndex(node, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view.scrollTo(node);
}

void TreeFilterBar::rememberOpenGroups()
{
    m_openBefore.clear();
    for (QModelIndex node = m_model.firstNode(); node.isValid(); node = m_model.nextNode(node)) {
        if (m_view.isExpanded(node))
            m_openBefore.insert(m_model.nodeData(node)->element.internal_object());
    }
}

void TreeFilterBar::reopenGroups()
{
    m_view.collapseAll();
    for (QModelIndex node = m_model.firstNode(); node.isValid(); node = m_model.nextNode(node)) {
        if (m_openBefore.count(m_model.nodeData(node)->element.internal_object()))
            m_view.expand(node);
    }
    m_openBefore.clear();
}
