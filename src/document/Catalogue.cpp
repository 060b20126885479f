#include "document/Catalogue.h"

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
    m_document.reset();
    m_entries.clear();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError
        || !m_document.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()))) {
        m_document.reset();
        return false;
    }

    for (const pugi::xml_node& entry : entryLevel().children()) {
        if (entry.type() != pugi::node_element)
            continue;
        const int icon = Schema::TypeImageIndex(qText(entry.attribute("type")), true)
                         - Schema::FirstRecordIcon;
        m_entries.append(Entry{qText(entry.attribute("name")), TNumber{icon}});
    }
    return true;
}

pugi::xml_node Catalogue::FindTemplate(const QString& displayName) const
{
    const QByteArray name = displayName.toUtf8();
    for (const pugi::xml_node& entry : entryLevel().children()) {
        if (entry.type() == pugi::node_element
            && std::strcmp(entry.name(), Schema::RecordElement) != 0
            && name == entry.attribute("name").value()) {
            return entry;
        }
    }
    return {};
}

pugi::xml_node Catalogue::entryLevel() const
{
    // Comments and declarations are not kept by the parser, so the first node
    // is the document element.
    const pugi::xml_node level = m_document.first_child().first_child();
    return level.type() == pugi::node_element ? level : pugi::xml_node();
}
