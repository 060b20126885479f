#pragma once

#include <QStringList>

#include <pugixml.hpp>

#include <functional>

// Paths of groups and records on the command line: the captions from the
// top level down, joined by "/". Of several items at one level that share a
// caption (namesakes), "CAPTION#N" names the Nth in tree order; a step that
// is the whole caption of an item is taken as it stands, "#" and all, and a
// caption may hold "/" itself (a web address).
namespace ItemPath {

enum class Kind { Group, Record, Either };

struct Lookup {
    // Null when nothing, or more than one item, fits.
    pugi::xml_node item;
    // The paths of the items that fit when there are several.
    QStringList candidates;
};

// The item at path under root; its steps before the last are groups, its
// last of kind. An empty path, or "/", is root itself when kind allows groups.
Lookup find(const pugi::xml_node& root, const QString& path, Kind kind);

// The item's captions from the top level down.
QStringList captions(const pugi::xml_node& item);
// 1 for an item without namesakes, else its place among them, from 1.
int namesakeNumber(const pugi::xml_node& item);
// The path that find takes back to item: "#N" after every caption that
// namesakes share.
QString text(const pugi::xml_node& item);

// An item met on a walk, with what its path is made of.
struct Step {
    pugi::xml_node item;
    QStringList captions;
    int number = 1; // namesakeNumber
    QString name;   // the last step of the path: the caption, and "#N" with namesakes
    QString path;   // text
};

// Visits every group and record in tree order, as Schema::walkTree does,
// working out the namesakes once per level.
void walk(const pugi::xml_node& root, const std::function<void(const Step&)>& visit);

} // namespace ItemPath
