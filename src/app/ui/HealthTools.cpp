#include "app/ui/HealthTools.h"

#include "config/CaptionTable.h"
#include "config/PluralCaption.h"
#include "config/SettingsStore.h"
#include "document/DataDocument.h"
#include "health/BreachList.h"
#include "health/HealthReport.h"
#include "health/ui/HealthReportWindow.h"

#include <QDate>
#include <QLabel>
#include <QStatusBar>

namespace {

constexpr int ReportSoonDays = 30;

} // namespace

HealthTools::HealthTools(const DataDocument& document, const SettingsStore& settings, const CaptionTable& captions,
                         QStatusBar& statusBar, QWidget* windowParent)
    : QObject(windowParent)
    , m_document(document)
    , m_settings(settings)
    , m_captions(captions)
    , m_window(new HealthReportWindow(captions, windowParent))
    , m_reminder(new QLabel(&statusBar))
{
    m_reminder->setObjectName(QStringLiteral("LabelExpiryReminder"));
    m_reminder->setTextFormat(Qt::RichText);
    m_reminder->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_reminder->hide();
    statusBar.addWidget(m_reminder);
    connect(m_reminder, &QLabel::linkActivated, this, &HealthTools::showExpiring);
    connect(m_window, &HealthReportWindow::recordChosen, this, &HealthTools::recordChosen);
}

int HealthTools::reminderDays() const
{
    return expiryReminderDaysFrom(m_settings.GetSetting(SettingKey::ExpiryReminderDays));
}

void HealthTools::showReport()
{
    BreachList breaches;
    HealthOptions options{QDate::currentDate(), ReportSoonDays, nullptr};
    QString note;
    const QString list = m_settings.GetSetting(SettingKey::BreachesFile);
    if (!list.isEmpty() && breaches.open(list))
        options.breaches = &breaches;
    else if (!list.isEmpty())
        note = m_captions
                   .GetCaption(QStringLiteral("HealthBreachesUnreadable"),
                               QStringLiteral("The list of breached passwords could not be read: %1"))
                   .arg(list);
    m_window->showFindings(HealthReport::analyse(m_document.root(), options), note);
    present();
}

void HealthTools::showExpiring()
{
    m_window->showFindings(HealthReport::expiring(m_document.root(), QDate::currentDate(), reminderDays()));
    present();
}

void HealthTools::present()
{
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void HealthTools::remindOfExpiry()
{
    const int days = reminderDays();
    m_expiringRecords =
        days > 0 ? static_cast<int>(
            HealthReport::recordsOf(HealthReport::expiring(m_document.root(), QDate::currentDate(), days)).size())
                 : 0;
    applyCaptions();
}

void HealthTools::forget()
{
    m_window->hide();
    m_window->showFindings({});
    m_expiringRecords = 0;
    applyCaptions();
}

void HealthTools::applyCaptions()
{
    m_window->applyCaptions();
    m_reminder->setVisible(m_expiringRecords > 0);
    if (m_expiringRecords == 0)
        return;
    const QString text =
        PluralCaption::caption(m_captions, QStringLiteral("ExpiryReminder"), m_expiringRecords,
                               QStringLiteral("%1 record expires soon"), QStringLiteral("%1 records expire soon"));
    m_reminder->setText(QStringLiteral("<a href=\"#expiring\">%1</a>").arg(text.toHtmlEscaped()));
}
