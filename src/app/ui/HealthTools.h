#pragma once

#include <QObject>

#include <pugixml.hpp>

class CaptionTable;
class DataDocument;
class HealthReportWindow;
class QLabel;
class QStatusBar;
class SettingsStore;

// The health report and the expiry reminder of the main window. The report
// covers the whole document, its passwords looked up in the list of breached
// passwords the settings name. The reminder, at open and unlock, says in the
// status bar how many records expire within the chosen days, with a link to
// the report on just their dates.
class HealthTools : public QObject {
    Q_OBJECT
public:
    HealthTools(const DataDocument& document, const SettingsStore& settings, const CaptionTable& captions,
                QStatusBar& statusBar, QWidget* windowParent);

    void showReport();
    void remindOfExpiry();
    // The document went: what was said of the old one goes too.
    void forget();
    void applyCaptions();

    HealthReportWindow& window() const { return *m_window; }
    QLabel& reminder() const { return *m_reminder; }

signals:
    // A row of the report was chosen.
    void recordChosen(const pugi::xml_node& record);

private:
    int reminderDays() const;
    void showExpiring();
    void present();

    const DataDocument& m_document;
    const SettingsStore& m_settings;
    const CaptionTable& m_captions;
    HealthReportWindow* m_window;
    QLabel* m_reminder;
    int m_expiringRecords = 0;
};
