#include "health/HealthReport.h"

#include "document/DataDocument.h"
#include "document/FieldRoles.h"
#include "document/Schema.h"
#include "health/BreachList.h"
#include "health/ExpiryDates.h"
#include "health/PasswordStrength.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <cmath>

namespace {

struct PasswordField {
    pugi::xml_node record;
    QString path;
    QString fieldName;
    QString value;
};

// Visits every record with its path.
template <typename Visit>
void walkRecords(const pugi::xml_node& root, Visit visit)
{
    QStringList captions;
    Schema::walkTree(root, [&](const pugi::xml_node& item, int depth) {
        captions.resize(depth);
        captions << Schema::itemCaption(item);
        if (Schema::isRecord(item))
            visit(item, captions.join(QLatin1Char('/')));
        return true;
    });
}

void addExpiry(std::vector<HealthFinding>& findings, const pugi::xml_node& record, const QString& path,
               const QDate& today, int soonDays)
{
    for (const pugi::xml_node& field : Schema::recordFields(record)) {
        const std::optional<QDate> date = ExpiryDates::expiryDate(field);
        if (!date)
            continue;
        const qint64 days = today.daysTo(*date);
        if (days > soonDays)
            continue;
        findings.push_back({days < 0 ? HealthFinding::Kind::Expired : HealthFinding::Kind::ExpiresSoon, record, path,
                            qText(field.attribute("name")), days, *date});
    }
}

std::vector<PasswordField> passwordFields(const pugi::xml_node& record, const QString& path)
{
    std::vector<PasswordField> found;
    for (const pugi::xml_node& field : Schema::recordFields(record)) {
        const QString name = qText(field.attribute("name"));
        if (!FieldRoles::isPasswordFieldName(name))
            continue;
        QString value = qText(field.text());
        if (!value.isEmpty())
            found.push_back({record, path, name, std::move(value)});
    }
    return found;
}

// How many distinct records hold each password.
QHash<QString, qint64> recordsPerPassword(const std::vector<PasswordField>& fields)
{
    QHash<QString, QSet<const void*>> holders;
    for (const PasswordField& field : fields)
        holders[field.value].insert(field.record.internal_object());
    QHash<QString, qint64> counts;
    for (auto it = holders.cbegin(); it != holders.cend(); ++it)
        counts.insert(it.key(), it.value().size());
    return counts;
}

} // namespace

namespace HealthReport {

std::vector<HealthFinding> analyse(const pugi::xml_node& root, const HealthOptions& options)
{
    std::vector<HealthFinding> findings;
    std::vector<PasswordField> passwords;
    walkRecords(root, [&](const pugi::xml_node& record, const QString& path) {
        std::vector<PasswordField> own = passwordFields(record, path);
        passwords.insert(passwords.end(), own.begin(), own.end());
    });
    const QHash<QString, qint64> holders = recordsPerPassword(passwords);
    // A password shared by many records is weighed and looked up once.
    QHash<QString, double> bits;
    QHash<QString, std::optional<quint64>> seen;
    std::size_t next = 0;
    walkRecords(root, [&](const pugi::xml_node& record, const QString& path) {
        for (; next < passwords.size() && passwords[next].record == record; ++next) {
            const PasswordField& field = passwords[next];
            auto weighed = bits.constFind(field.value);
            if (weighed == bits.constEnd())
                weighed = bits.insert(field.value, PasswordStrength::estimatedBits(field.value));
            if (*weighed < PasswordStrength::WeakBelowBits)
                findings.push_back({HealthFinding::Kind::WeakPassword,
                                    record,
                                    path,
                                    field.fieldName,
                                    static_cast<qint64>(std::floor(*weighed)),
                                    {}});
            if (const qint64 count = holders.value(field.value); count > 1)
                findings.push_back({HealthFinding::Kind::ReusedPassword, record, path, field.fieldName, count, {}});
            if (options.breaches) {
                auto looked = seen.constFind(field.value);
                if (looked == seen.constEnd())
                    looked = seen.insert(field.value, options.breaches->timesSeen(field.value));
                if (*looked)
                    findings.push_back({HealthFinding::Kind::BreachedPassword,
                                        record,
                                        path,
                                        field.fieldName,
                                        static_cast<qint64>(**looked),
                                        {}});
            }
        }
        addExpiry(findings, record, path, options.today, options.soonDays);
    });
    return findings;
}

std::vector<HealthFinding> expiring(const pugi::xml_node& root, const QDate& today, int soonDays)
{
    std::vector<HealthFinding> findings;
    walkRecords(root, [&](const pugi::xml_node& record, const QString& path) {
        addExpiry(findings, record, path, today, soonDays);
    });
    return findings;
}

std::vector<pugi::xml_node> recordsOf(const std::vector<HealthFinding>& findings)
{
    std::vector<pugi::xml_node> records;
    for (const HealthFinding& finding : findings) {
        if (records.empty() || records.back() != finding.record)
            records.push_back(finding.record);
    }
    return records;
}

} // namespace HealthReport
