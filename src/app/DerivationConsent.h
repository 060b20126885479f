#pragma once

#include "datafile/DataFile.h"

#include <optional>

class CaptionTable;
class MessageService;

// Before a protected file's key is derived for reading: a derivation that
// would take more memory than the machine can give is refused, and one
// estimated to take long runs only once the user agreed (DerivationBudget).
class DerivationConsent {
public:
    DerivationConsent(MessageService& messages, const CaptionTable& captions);

    // What reading a file sealed as sealing may do; nullopt when the user
    // was told that it is refused, or said no.
    std::optional<DataFile::SlowDerivation> ask(const DataFile::Sealing& sealing);

private:
    MessageService& m_messages;
    const CaptionTable& m_captions;
};
