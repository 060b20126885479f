#pragma once

#include <QLocale>
#include <QString>

class CaptionTable;

// A caption that names a number, in the form the language uses for it. The
// table holds up to three forms under key + "One", "Few" and "Many"; English,
// German and French use One and Many, Russian all three (1 and 21 "One",
// 2 to 4 and 22 "Few", 5 to 20 "Many"). "%1" in the form stands for count.
namespace PluralCaption {

enum class Form { One, Few, Many };

Form formOf(qint64 count, QLocale::Language language);

// englishOne and englishMany are the defaults; Few defaults to Many.
QString caption(const CaptionTable& captions, const QString& key, qint64 count, const QString& englishOne,
                const QString& englishMany, QLocale::Language language = QLocale().language());

} // namespace PluralCaption
