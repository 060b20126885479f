#include "app/DerivationConsent.h"

#include "config/CaptionTable.h"
#include "datafile/DerivationBudget.h"
#include "platform/MessageService.h"

#include <cmath>

DerivationConsent::DerivationConsent(MessageService& messages, const CaptionTable& captions)
    : m_messages(messages)
    , m_captions(captions)
{
}

std::optional<DataFile::SlowDerivation> DerivationConsent::ask(const DataFile::Sealing& sealing)
{
    if (sealing.format != DataFile::Format::Protected)
        return DataFile::SlowDerivation::Refuse;
    const DerivationBudget::Estimate estimate = DerivationBudget::estimate(sealing.cost);
    switch (estimate.verdict) {
    case DerivationBudget::Verdict::Affordable: return DataFile::SlowDerivation::Refuse;
    case DerivationBudget::Verdict::BeyondMemory:
        m_messages.show(MessageService::Kind::Error,
                        m_captions
                            .GetCaption(QStringLiteral("MessageDerivationBeyondMemory"),
                                        QStringLiteral("Opening this file takes %1 MiB of memory to derive its key, "
                                                       "more than this computer can give. It is not opened."))
                            .arg(estimate.memoryMiB));
        return std::nullopt;
    case DerivationBudget::Verdict::Slow: break;
    }
    const QString question =
        m_captions
            .GetCaption(QStringLiteral("MessageDerivationSlow"),
                        QStringLiteral("Opening this file derives its key with %1 passes over %2 MiB, which takes "
                                       "about %3 seconds on this computer. Open it"))
            .arg(sealing.cost.passes)
            .arg(estimate.memoryMiB)
            .arg(std::lround(estimate.seconds))
        + QLatin1Char('?');
    if (m_messages.show(MessageService::Kind::Confirm, question, MessageService::Buttons::YesNo)
        != MessageService::Answer::Yes)
        return std::nullopt;
    return DataFile::SlowDerivation::Allow;
}
