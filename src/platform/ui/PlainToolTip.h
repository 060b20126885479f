#pragma once

#include <QString>

namespace PlainToolTip {

// A tooltip has no plain-text mode: text that looks like markup would be
// drawn as markup (bold, fonts, pictures from local files). This is text as
// markup that shows it as written, line breaks and runs of blanks kept.
QString markup(const QString& text);

} // namespace PlainToolTip
