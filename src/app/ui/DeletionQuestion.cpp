#include "app/ui/DeletionQuestion.h"

#include "config/CaptionTable.h"
#include "document/Schema.h"

namespace {

// A name of thousands of characters would push the buttons off the screen.
constexpr qsizetype MaxQuotedName = 80;

QString quotedName(const QString& name)
{
    return name.size() <= MaxQuotedName ? name : name.left(MaxQuotedName) + QChar(0x2026);
}

int recordsUnder(const pugi::xml_node& group)
{
    int records = 0;
    Schema::walkTree(group, [&records](const pugi::xml_node& item, int) {
        records += Schema::isRecord(item) ? 1 : 0;
        return true;
    });
    return records;
}

} // namespace

namespace DeletionQuestion {

QString text(const CaptionTable& captions, const pugi::xml_node& item)
{
    const QString name = quotedName(Schema::itemCaption(item));
    const auto caption = [&captions](const char* key, const char* englishDefault) {
        return captions.GetCaption(QLatin1String(key), QString::fromUtf8(englishDefault));
    };
    QString question;
    if (Schema::isRecord(item)) {
        question = caption("MessageDeleteRecord", "Delete the record “%1”").arg(name);
    } else {
        // One record and none have texts of their own; a language whose
        // plural changes further with the number can put the count aside.
        switch (const int records = recordsUnder(item)) {
        case 0:
            question = caption("MessageDeleteEmptyGroup", "Delete the group “%1”, which holds no records").arg(name);
            break;
        case 1:
            question =
                caption("MessageDeleteGroupOneRecord", "Delete the group “%1” with the one record in it").arg(name);
            break;
        default:
            question = caption("MessageDeleteGroup", "Delete the group “%1” with its %2 records")
                           .arg(name, QString::number(records));
        }
    }
    return question + QLatin1Char('?') + QLatin1Char('\n')
           + caption("MessageDeleteUndoable", "Edit ▸ Undo brings it back.");
}

} // namespace DeletionQuestion
