#include "document/Catalogue.h"

#include "base/TextEncoding.h"
#include "config/ProgramPaths.h"
#include "document/DataDocument.h"
#include "document/Schema.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace {

const char CatalogueFileName[] = "config.xml";

bool isFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace

std::optional<QString> findCatalogueFile(const ProgramPaths& paths, const QString& language)
{
    const QString languageFolder = paths.languageFolder(language);
    if (!languageFolder.isEmpty() && isFile(languageFolder + CatalogueFileName))
        return languageFolder + CatalogueFileName;
    if (isFile(paths.folder() + CatalogueFileName))
        return paths.folder() + CatalogueFileName;
    return std::nullopt;
}

bool Catalogue::LoadCatalogue(const QString& path)
{
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    const QByteArray bytes = opened ? file.readAll() : QByteArray();
    if (!opened || file.error() != QFileDevice::NoError) {
        clear();
        return false;
    }
    return loadFromBytes(bytes);
}

bool Catalogue::loadFromBytes(const QByteArray& bytes)
{
    clear();
    // A byte order mark or a declared encoding is honoured. Text that names
    // neither and is not UTF-8 is in the code page of older files, as every
    // other 8-bit file the program reads; taken as UTF-8 its names would not survive the way
    // through the type list back to FindTemplate.
    pugi::xml_parse_result result = m_document.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (result.encoding == pugi::encoding_utf8 && !TextEncoding::isValidUtf8(bytes)) {
        const QByteArray utf8 = TextEncoding::toUtf8(bytes);
        result = m_document.load_buffer(utf8.constData(), static_cast<size_t>(utf8.size()), pugi::parse_default,
                                        pugi::encoding_utf8);
    }
    if (!result) {
        m_document.reset();
        return false;
    }

    for (const pugi::xml_node& entry : entryLevel().children()) {
        if (entry.type() != pugi::node_element)
            continue;
        const int icon = Schema::TypeImageIndex(qText(entry.attribute("type")), true) - Schema::FirstRecordIcon;
        m_entries.append(Entry{qText(entry.attribute("name")), TNumber{icon}});
    }
    return true;
}

pugi::xml_node Catalogue::FindTemplate(const QString& displayName) const
{
    const QByteArray name = displayName.toUtf8();
    for (const pugi::xml_node& entry : entryLevel().children()) {
        if (entry.type() == pugi::node_element && std::strcmp(entry.name(), Schema::RecordElement) != 0
            && name == entry.attribute("name").value()) {
            return entry;
        }
    }
    return {};
}

void Catalogue::clear()
{
    m_document.reset();
    m_entries.clear();
}

pugi::xml_node Catalogue::entryLevel() const
{
    // Comments and declarations are not kept by the parser, so the first node
    // is the document element.
    const pugi::xml_node level = m_document.first_child().first_child();
    return level.type() == pugi::node_element ? level : pugi::xml_node();
}
