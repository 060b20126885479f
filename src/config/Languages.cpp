#include "config/Languages.h"

#include <QDir>

#include <algorithm>
#include <map>

namespace Languages {

QStringList ListLanguages(const QString& languagesFolder)
{
    QStringList languages;
    // An empty path would mean the working folder to QDir; it names no folder here.
    if (!languagesFolder.isEmpty())
        languages = QDir(languagesFolder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    languages.removeOne(QLatin1String(EnglishLanguage));
    // The file system's own order is arbitrary; names that differ only in
    // letter case still come in a fixed order.
    std::sort(languages.begin(), languages.end(), [](const QString& a, const QString& b) {
        const int caseless = a.compare(b, Qt::CaseInsensitive);
        return caseless != 0 ? caseless < 0 : a < b;
    });
    languages.prepend(QLatin1String(EnglishLanguage));
    return languages;
}

QLocale LanguageLocale(const QString& language)
{
    for (int value = QLocale::C + 1; value <= QLocale::LastLanguage; ++value) {
        const auto candidate = static_cast<QLocale::Language>(value);
        const QLocale locale(candidate);
        // Languages without locale data give the C locale.
        if (locale.language() != candidate)
            continue;
        if (language.compare(locale.nativeLanguageName(), Qt::CaseInsensitive) == 0
            || language.compare(QLocale::languageToString(candidate), Qt::CaseInsensitive) == 0)
            return locale;
    }
    return QLocale(QLocale::English);
}

CodePage DefaultCodePage(const QString& language)
{
    static const std::map<QLocale::Language, int> AnsiCodePages = {
        {QLocale::Albanian, 1250},    {QLocale::Croatian, 1250},   {QLocale::Czech, 1250},
        {QLocale::Hungarian, 1250},   {QLocale::Polish, 1250},     {QLocale::Romanian, 1250},
        {QLocale::Slovak, 1250},      {QLocale::Slovenian, 1250},  {QLocale::Belarusian, 1251},
        {QLocale::Bulgarian, 1251},   {QLocale::Kazakh, 1251},     {QLocale::Macedonian, 1251},
        {QLocale::Mongolian, 1251},   {QLocale::Russian, 1251},    {QLocale::Serbian, 1251},
        {QLocale::Ukrainian, 1251},   {QLocale::Greek, 1253},      {QLocale::Turkish, 1254},
        {QLocale::Azerbaijani, 1254}, {QLocale::Hebrew, 1255},     {QLocale::Arabic, 1256},
        {QLocale::Persian, 1256},     {QLocale::Urdu, 1256},       {QLocale::Estonian, 1257},
        {QLocale::Latvian, 1257},     {QLocale::Lithuanian, 1257}, {QLocale::Vietnamese, 1258},
        {QLocale::Thai, 874},
    };
    const auto found = AnsiCodePages.find(LanguageLocale(language).language());
    const std::optional<CodePage> codePage =
        found != AnsiCodePages.end() ? CodePage::fromNumber(found->second) : std::nullopt;
    return codePage.value_or(CodePage::windows1252());
}

} // namespace Languages
