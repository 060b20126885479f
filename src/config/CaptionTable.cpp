#include "config/CaptionTable.h"

#include <QFile>

void CaptionTable::load(const QString& languageFilePath)
{
    m_lines.clear();
    if (languageFilePath.isEmpty())
        return;
    QFile file(languageFilePath);
    if (file.open(QIODevice::ReadOnly))
        m_lines = NameValueList::fromBytes(file.readAll());
}

QString CaptionTable::GetCaption(const QString& key, const QString& englishDefault) const
{
    QString text = m_lines.contains(key) ? m_lines.value(key) : englishDefault;
    text.replace(QLatin1String("#13"), QLatin1String("\r"));
    text.replace(QLatin1String("#10"), QLatin1String("\n"));
    return text;
}
