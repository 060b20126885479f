#include "platform/ui/PlainToolTip.h"

namespace PlainToolTip {

QString markup(const QString& text)
{
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped());
}

} // namespace PlainToolTip
