#include "datafile/FileTypes.h"

#include "config/CaptionTable.h"

namespace {

QString pattern(DataFile::Format format)
{
    return QStringLiteral("*.") + FileTypes::suffix(format);
}

QString filterOf(DataFile::Format format, const CaptionTable& captions)
{
    // The older type keeps the filter name its files have always had.
    const QString name =
        format == DataFile::Format::Protected
            ? captions.GetCaption(QStringLiteral("FilterProtectedFiles"), QStringLiteral("Zantrove protected files"))
            : QStringLiteral("ZV Files");
    return QStringLiteral("%1 (%2)").arg(name, pattern(format));
}

} // namespace

namespace FileTypes {

QString suffix(DataFile::Format format)
{
    return format == DataFile::Format::Protected ? QStringLiteral("zvx") : QStringLiteral("zv");
}

QString description(DataFile::Format format, const CaptionTable& captions)
{
    if (format == DataFile::Format::Protected)
        return captions.GetCaption(QStringLiteral("FileTypeProtected"), QStringLiteral("Zantrove protected file"));
    return captions.GetCaption(QStringLiteral("FileTypePlain"), QStringLiteral("Zantrove data file"));
}

QString openFilter(const CaptionTable& captions)
{
    const QString both =
        QStringLiteral("%1 (%2 %3)")
            .arg(captions.GetCaption(QStringLiteral("FilterAllDataFiles"), QStringLiteral("All data files")),
                 pattern(DataFile::Format::Plain), pattern(DataFile::Format::Protected));
    return (QStringList{both} + saveFilters(captions)).join(QStringLiteral(";;"));
}

QStringList saveFilters(const CaptionTable& captions)
{
    return {filterOf(DataFile::Format::Plain, captions), filterOf(DataFile::Format::Protected, captions)};
}

} // namespace FileTypes
