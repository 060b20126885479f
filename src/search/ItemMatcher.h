#pragma once

#include "search/KeywordPattern.h"

#include <QHash>
#include <QString>

#include <pugixml.hpp>

// What the user searches for.
struct SearchOptions {
    QString keyword;
    bool wholeWords = false;
    bool fieldNames = false;
};

// Tests captions and fields against one search. Made once per search: the
// keyword is prepared once and the display text of each distinct stored date
// or time is worked out once, which keeps a search over every field of a large
// file fast.
class ItemMatcher {
public:
    explicit ItemMatcher(SearchOptions options);

    // A group's or record's caption as the tree shows it.
    bool matchCaption(const QString& caption) const;

    // A field of a record: its value as the user sees it (Date and Time values
    // in their display text, never their stored digits), then, with the
    // fieldNames option, its name.
    bool matchField(const pugi::xml_node& field) const;

    const SearchOptions& options() const { return m_options; }

private:
    bool matchLowered(QString text) const;
    bool matchLowered(const char* utf8) const;
    const QString& displayText(const char* storedText, bool isDate) const;

    SearchOptions m_options;
    KeywordPattern m_lowered; // for texts that are lower-cased first
    KeywordPattern m_asTyped; // for date and time display texts
    mutable QHash<QByteArray, QString> m_dateDisplay;
    mutable QHash<QByteArray, QString> m_timeDisplay;
};
