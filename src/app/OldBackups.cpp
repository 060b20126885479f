#include "app/OldBackups.h"

#include "config/CaptionTable.h"
#include "datafile/Backups.h"
#include "platform/MessageService.h"

#include <QFileInfo>

void offerToRemoveOldBackups(MessageService& messages, const CaptionTable& captions, const QString& dataFile)
{
    // Backups sit beside the file a link leads to, where the save put them.
    const QString savedFile = QFileInfo(dataFile).canonicalFilePath();
    if (savedFile.isEmpty() || Backups::existingBackups(savedFile).isEmpty())
        return;
    const QString question =
        captions.GetCaption(QStringLiteral("MessageRemoveOldBackups"),
                            QStringLiteral("The backups of this file still open with the old password. Remove them"))
        + QLatin1Char('?');
    if (messages.show(MessageService::Kind::Confirm, question, MessageService::Buttons::YesNo)
        == MessageService::Answer::Yes)
        Backups::removeBackups(savedFile);
}
