#pragma once

#include "config/NameValueList.h"

#include <QString>

// The texts of the chosen language, looked up by key at the moment of use,
// with the built-in English text as the fallback for every key.
class CaptionTable {
public:
    // Empties the table, then reads the language file if it exists. A missing
    // file leaves the table empty: every text is then its English default.
    void load(const QString& languageFilePath);
    void clear() { m_lines.clear(); }
    void setLines(NameValueList lines) { m_lines = std::move(lines); }

    // The default, or the table's value for key when it has one (even an empty
    // one); then "#13" becomes CR and "#10" becomes LF.
    QString GetCaption(const QString& key, const QString& englishDefault) const;

private:
    NameValueList m_lines;
};
