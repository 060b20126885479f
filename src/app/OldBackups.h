#pragma once

#include <QString>

class CaptionTable;
class MessageService;

// After a password change the backups still open with the old password. When
// dataFile has any, asks whether to remove them, and does so on Yes.
void offerToRemoveOldBackups(MessageService& messages, const CaptionTable& captions, const QString& dataFile);
