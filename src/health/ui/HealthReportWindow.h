#pragma once

#include "health/HealthReport.h"

#include <QDialog>

#include <vector>

class CaptionTable;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// Lists the report's findings, one row each: the record's path, the field,
// what is wrong and its figure. A double click or Enter on a row asks for
// its record to be selected in the main window; the window stays open beside
// it, so the user can work down the list.
class HealthReportWindow : public QDialog {
    Q_OBJECT
public:
    explicit HealthReportWindow(const CaptionTable& captions, QWidget* parent = nullptr);

    // Shows findings, replacing what was listed; note, when not empty, is
    // said under the summary.
    void showFindings(std::vector<HealthFinding> findings, const QString& note = {});
    QTreeWidget& list() const { return *m_list; }
    void applyCaptions();

signals:
    void recordChosen(const pugi::xml_node& record);

private:
    void chooseRow(QTreeWidgetItem* row);

    const CaptionTable& m_captions;
    QLabel* m_summary;
    QTreeWidget* m_list;
    std::vector<HealthFinding> m_findings;
    QString m_note;
};
