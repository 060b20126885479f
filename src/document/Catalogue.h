#pragma once

#include <QList>
#include <QString>

#include <pugixml.hpp>

#include <optional>

class ProgramPaths;

// An icon position in the record type table, 0 to 17.
struct TNumber {
    int value;
};

// Caption key and English text of the message shown when no catalogue exists;
// the program cannot make records without one and ends.
inline constexpr char MessageConfigNotFoundKey[] = "MessageConfigNotFound";
inline constexpr char MessageConfigNotFoundText[] = "Config file not found";

// The catalogue of the language when its folder holds one, else the one
// beside the program, else none.
std::optional<QString> findCatalogueFile(const ProgramPaths& paths, const QString& language);

// The record types that new records are made from. The file's first element,
// then that element's first child, holds the entries; each entry names a type
// (`name`), proposes an icon (`type`) and lists the fields of a new record.
class Catalogue {
public:
    struct Entry {
        QString name;
        TNumber icon;
    };

    // Replaces whatever was loaded before. A file that cannot be read or is
    // not well-formed XML leaves the catalogue empty and gives false; a file
    // of another shape simply has no entries.
    bool LoadCatalogue(const QString& path);
    // The same for the file's content.
    bool loadFromBytes(const QByteArray& bytes);

    // One per entry element, in file order, duplicates included.
    const QList<Entry>& entries() const { return m_entries; }

    // The first entry named displayName exactly, passing over entries named
    // `record`; a null node when there is none. Valid until the next load.
    pugi::xml_node FindTemplate(const QString& displayName) const;

private:
    void clear();
    pugi::xml_node entryLevel() const;

    pugi::xml_document m_document;
    QList<Entry> m_entries;
};
