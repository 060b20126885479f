#include "health/ui/HealthReportWindow.h"

#include "config/CaptionTable.h"
#include "config/PluralCaption.h"
#include "health/FindingText.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The finding's position in the list, kept on its row.
constexpr int FindingRole = Qt::UserRole;

} // namespace

HealthReportWindow::HealthReportWindow(const CaptionTable& captions, QWidget* parent)
    : QDialog(parent)
    , m_captions(captions)
    , m_summary(new QLabel(this))
    , m_list(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("HealthReportWindow"));
    m_summary->setObjectName(QStringLiteral("LabelSummary"));
    m_list->setObjectName(QStringLiteral("ListFindings"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setColumnCount(4);
    // In tree order until the user sorts by a column.
    m_list->header()->setSortIndicator(-1, Qt::AscendingOrder);
    m_list->setSortingEnabled(true);
    m_list->header()->setSectionResizeMode(QHeaderView::Interactive);
    connect(m_list, &QTreeWidget::itemActivated, this, &HealthReportWindow::chooseRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(760, 420);
    applyCaptions();
}

void HealthReportWindow::applyCaptions()
{
    const auto caption = [this](const char* key, const char* english) {
        return m_captions.GetCaption(QString::fromLatin1(key), QString::fromUtf8(english));
    };
    setWindowTitle(caption("HealthCaption", "Health report"));
    m_list->setHeaderLabels({caption("HealthColumnRecord", "Record"), caption("HealthColumnField", "Field"),
                             caption("HealthColumnProblem", "Problem"), caption("HealthColumnDetail", "Detail")});
    if (auto* close = findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close))
        close->setText(caption("HealthButtonClose", "Close"));
    m_summary->setText(m_findings.empty()
                           ? caption("HealthNothingFound", "No weak, reused, breached or expiring entries found.")
                           : PluralCaption::caption(m_captions, QStringLiteral("HealthFindings"),
                                                    static_cast<qint64>(m_findings.size()),
                                                    QStringLiteral("%1 finding"), QStringLiteral("%1 findings"))
                                 + (m_note.isEmpty() ? QString() : QLatin1Char('\n') + m_note));
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_list->topLevelItem(row);
        const HealthFinding& finding = m_findings.at(item->data(0, FindingRole).toULongLong());
        item->setText(2, FindingText::problem(finding, m_captions));
        item->setText(3, FindingText::detail(finding, m_captions));
    }
}

void HealthReportWindow::showFindings(std::vector<HealthFinding> findings, const QString& note)
{
    m_findings = std::move(findings);
    m_note = note;
    m_list->clear();
    for (size_t n = 0; n < m_findings.size(); ++n) {
        auto* row = new QTreeWidgetItem(m_list, {m_findings[n].path, m_findings[n].fieldName, QString(), QString()});
        row->setData(0, FindingRole, static_cast<qulonglong>(n));
    }
    applyCaptions();
    for (int column = 0; column < 3; ++column)
        m_list->resizeColumnToContents(column);
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    m_list->setFocus();
}

void HealthReportWindow::chooseRow(QTreeWidgetItem* row)
{
    if (row)
        emit recordChosen(m_findings.at(row->data(0, FindingRole).toULongLong()).record);
}
