#include "health/FindingText.h"

#include "config/CaptionTable.h"
#include "document/FieldFormats.h"

namespace {

QString caption(const CaptionTable& captions, const char* key, const char* englishDefault)
{
    return captions.GetCaption(QString::fromLatin1(key), QString::fromUtf8(englishDefault));
}

} // namespace

namespace FindingText {

QString problem(const HealthFinding& finding, const CaptionTable& captions)
{
    switch (finding.kind) {
    case HealthFinding::Kind::WeakPassword: return caption(captions, "HealthWeakPassword", "Weak password");
    case HealthFinding::Kind::ReusedPassword: return caption(captions, "HealthReusedPassword", "Reused password");
    case HealthFinding::Kind::BreachedPassword: return caption(captions, "HealthBreachedPassword", "Breached password");
    case HealthFinding::Kind::Expired: return caption(captions, "HealthExpired", "Expired");
    case HealthFinding::Kind::ExpiresSoon: return caption(captions, "HealthExpiresSoon", "Expires soon");
    }
    return {};
}

QString detail(const HealthFinding& finding, const CaptionTable& captions)
{
    switch (finding.kind) {
    case HealthFinding::Kind::WeakPassword:
        return caption(captions, "HealthDetailBits", "Strength: %1 bits").arg(finding.amount);
    case HealthFinding::Kind::ReusedPassword:
        return caption(captions, "HealthDetailRecords", "Records with it: %1").arg(finding.amount);
    case HealthFinding::Kind::BreachedPassword:
        return caption(captions, "HealthDetailSeen", "Times seen in breaches: %1").arg(finding.amount);
    case HealthFinding::Kind::Expired:
    case HealthFinding::Kind::ExpiresSoon:
        // The date as the editor shows it.
        return dateDisplayText(FormatStoredDate(finding.date));
    }
    return {};
}

} // namespace FindingText
