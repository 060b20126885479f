#pragma once

#include "platform/MessageService.h"

#include <QString>

class CaptionTable;

namespace MessageBoxTitles {

// The title of a message box of kind in the chosen language: "Error",
// "Information", "Confirm" or "Warning" in English.
QString title(const CaptionTable& captions, MessageService::Kind kind);

} // namespace MessageBoxTitles
