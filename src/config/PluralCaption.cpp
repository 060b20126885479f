#include "config/PluralCaption.h"

#include "config/CaptionTable.h"

namespace PluralCaption {

Form formOf(qint64 count, QLocale::Language language)
{
    switch (language) {
    case QLocale::Russian: {
        const qint64 lastTwo = count % 100;
        const qint64 last = count % 10;
        if (last == 1 && lastTwo != 11)
            return Form::One;
        if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14))
            return Form::Few;
        return Form::Many;
    }
    case QLocale::French:
        // Zero takes the singular in French.
        return count <= 1 ? Form::One : Form::Many;
    default: return count == 1 ? Form::One : Form::Many;
    }
}

QString caption(const CaptionTable& captions, const QString& key, qint64 count, const QString& englishOne,
                const QString& englishMany, QLocale::Language language)
{
    const QString many = captions.GetCaption(key + QLatin1String("Many"), englishMany);
    QString text;
    switch (formOf(count, language)) {
    case Form::One: text = captions.GetCaption(key + QLatin1String("One"), englishOne); break;
    case Form::Few: text = captions.GetCaption(key + QLatin1String("Few"), many); break;
    case Form::Many: text = many; break;
    }
    return text.arg(count);
}

} // namespace PluralCaption
