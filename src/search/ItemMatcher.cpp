#include "search/ItemMatcher.h"

#include "document/DataDocument.h"
#include "document/FieldFormats.h"

#include <cstring>

ItemMatcher::ItemMatcher(SearchOptions options)
    : m_options(std::move(options))
    , m_lowered(lowerAscii(m_options.keyword), m_options.wholeWords)
    , m_asTyped(m_options.keyword, m_options.wholeWords)
{
}

bool ItemMatcher::matchLowered(QString text) const
{
    // Upper-casing makes lower-casing irrelevant when case is ignored anyway.
    return m_lowered.matches(m_options.wholeWords ? lowerAscii(std::move(text)) : std::move(text));
}

bool ItemMatcher::matchLowered(const char* utf8) const
{
    return m_options.wholeWords ? matchLowered(qText(utf8)) : m_lowered.matchesUtf8(utf8);
}

const QString& ItemMatcher::displayText(const char* storedText, bool isDate) const
{
    auto& cache = isDate ? m_dateDisplay : m_timeDisplay;
    const QByteArray key(storedText);
    auto it = cache.constFind(key);
    if (it == cache.constEnd()) {
        const QString stored = QString::fromUtf8(key);
        it = cache.insert(key, isDate ? dateDisplayText(stored) : timeDisplayText(stored));
    }
    return *it;
}

bool ItemMatcher::matchCaption(const QString& caption) const
{
    return matchLowered(caption);
}

bool ItemMatcher::matchField(const pugi::xml_node& field) const
{
    // Date and Time values are compared as displayed and as typed, case and all.
    const char* type = field.attribute("basic_type").value();
    const bool isDate = std::strcmp(type, "DATE") == 0;
    bool matched;
    if (isDate || std::strcmp(type, "TIME") == 0)
        matched = m_asTyped.matches(displayText(field.text().get(), isDate));
    else
        matched = matchLowered(field.text().get());
    return matched || (m_options.fieldNames && matchLowered(field.attribute("name").value()));
}
