#include "platform/MessageService.h"

QString MessageService::title(Kind kind)
{
    switch (kind) {
    case Kind::Error:
        return QStringLiteral("Error");
    case Kind::Information:
        return QStringLiteral("Information");
    case Kind::Confirm:
        return QStringLiteral("Confirm");
    case Kind::Warning:
        return QStringLiteral("Warning");
    }
    return {};
}
