#include "config/MessageBoxTitles.h"

#include "config/CaptionTable.h"

namespace MessageBoxTitles {

QString title(const CaptionTable& captions, MessageService::Kind kind)
{
    const auto caption = [&captions](const char* key, const char* englishDefault) {
        return captions.GetCaption(QLatin1String(key), QLatin1String(englishDefault));
    };
    switch (kind) {
    case MessageService::Kind::Error: return caption("MessageTitleError", "Error");
    case MessageService::Kind::Information: return caption("MessageTitleInformation", "Information");
    case MessageService::Kind::Confirm: return caption("MessageTitleConfirm", "Confirm");
    case MessageService::Kind::Warning: return caption("MessageTitleWarning", "Warning");
    }
    return {};
}

} // namespace MessageBoxTitles
