#pragma once

#include "platform/MessageService.h"

#include <QString>

class CaptionTable;

// The title of a message box of kind in the chosen language: "Error",
// "Information", "Confirm" or "Warning" in English.
QString messageBoxTitle(const CaptionTable& captions, MessageService::Kind kind);
