#pragma once

#include <QDate>
#include <QString>

#include <pugixml.hpp>

#include <vector>

class BreachList;

// One thing wrong with one field of a record.
struct HealthFinding {
    enum class Kind { WeakPassword, ReusedPassword, BreachedPassword, Expired, ExpiresSoon };

    Kind kind = Kind::WeakPassword;
    pugi::xml_node record;
    QString path; // the captions from the top level down, joined by "/"
    QString fieldName;
    // Weak: the estimated bits; reused: the records sharing the password;
    // breached: how often the list saw it; expiry: days from today to the
    // date (negative once past).
    qint64 amount = 0;
    QDate date; // expiry findings only
};

// What the report looks for beyond the passwords' strength and reuse.
struct HealthOptions {
    QDate today;
    // Dates up to this many days ahead count as expiring soon.
    int soonDays = 30;
    // Passwords are looked up here when given.
    BreachList* breaches = nullptr;
};

// The health of every record under a data element, in tree order: weak,
// reused and breached passwords (fields named as passwords, not empty) and
// expired or soon expiring dates. The document is only read.
namespace HealthReport {

std::vector<HealthFinding> analyse(const pugi::xml_node& root, const HealthOptions& options);

// The expiry findings alone, without weighing any password: cheap enough to
// run whenever a file opens.
std::vector<HealthFinding> expiring(const pugi::xml_node& root, const QDate& today, int soonDays);

// The distinct records the findings are about, in their order.
std::vector<pugi::xml_node> recordsOf(const std::vector<HealthFinding>& findings);

} // namespace HealthReport
