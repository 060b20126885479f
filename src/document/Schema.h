#pragma once

#include <QString>
#include <QStringList>
#include <QVarLengthArray>

#include <pugixml.hpp>

#include <functional>
#include <vector>

// Names and rules of the data document: groups (`folder`) and records
// (`record`, a `label` then its `field`s), the type keys that choose icons,
// a record's caption and the order in which the tree shows items.
namespace Schema {

inline constexpr char DataElement[] = "data";
inline constexpr char GroupElement[] = "folder";
inline constexpr char RecordElement[] = "record";
inline constexpr char LabelElement[] = "label";
inline constexpr char FieldElement[] = "field";

// Fixed, language-independent codes; a key's position chooses the icon.
const QStringList& groupTypeKeys();  // 8 keys, "AUTO" .. "VIP"
const QStringList& recordTypeKeys(); // 18 keys, "DEFAULT" .. "WEB SITE"

inline constexpr int GroupIconCount = 8;
inline constexpr int RecordIconCount = 18;
inline constexpr int FirstRecordIcon = GroupIconCount;            // 8
inline constexpr int RootIcon = GroupIconCount + RecordIconCount; // 26
inline constexpr int DefaultGroupIcon = 4;                        // "NOTYPE"

// Icon of a type key: a group's position (unknown: 4, "NOTYPE"), or 8 plus a
// record's position (unknown: 8, "DEFAULT"). Keys compare exactly.
int TypeImageIndex(const QString& key, bool isRecord);

// The key at a position of the group (0..7) or record (0..17) table; empty
// outside the table.
QString TypeKeyForIndex(int position, bool isRecord);

bool isGroup(const pugi::xml_node& node);
bool isRecord(const pugi::xml_node& node);

// A record's own name, its label's text; empty for a record named after its fields.
QString ownName(const pugi::xml_node& record);

// The caption of a record: its label's own text; else the values of the fields
// named by the label's `link` and `link2` (the last field of a name wins),
// joined by a blank; else its `parent_type`. With maxLength (not negative),
// its first maxLength characters only, read without converting the rest: a
// hostile file's caption may run to millions of characters.
QString RecordCaption(const pugi::xml_node& record, qsizetype maxLength = -1);
// The same caption as the UTF-8 texts it is made of: first, then, unless
// second is empty, a blank and second. Both point into the document.
struct CaptionParts {
    const char* first = "";
    const char* second = "";
};
CaptionParts recordCaptionParts(const pugi::xml_node& record);

// A record's `field` with its `name` and `basic_type`, each attribute
// looked at once ("" where one is missing).
struct StoredField {
    pugi::xml_node node;
    const char* name;
    const char* type;
};
using StoredFields = QVarLengthArray<StoredField, 16>;
StoredFields storedFields(const pugi::xml_node& record);
// The same caption from fields, the record's storedFields: a reader that
// needs both looks at the fields once.
CaptionParts recordCaptionParts(const pugi::xml_node& record, const StoredFields& fields);

// The caption a tree node shows: a group's `name`, a record's RecordCaption;
// maxLength as there.
QString itemCaption(const pugi::xml_node& item, qsizetype maxLength = -1);

// The items under an element as the tree shows them: all records, then all
// groups, each in document order. Other children are passed over.
std::vector<pugi::xml_node> treeChildren(const pugi::xml_node& element);

// Visits every group and record under root in tree order (an item, then its
// descendants, then its next sibling), with its depth from 0. Returning false
// from the visitor ends the walk.
void walkTree(const pugi::xml_node& root, const std::function<bool(const pugi::xml_node&, int depth)>& visit);

// The fields of a record: the children after its first child (the label).
std::vector<pugi::xml_node> recordFields(const pugi::xml_node& record);

// Stepping through the items in the order of walkTree, one at a time: the first
// item under root, and the item after item (null at the end of the document).
pugi::xml_node firstInTreeOrder(const pugi::xml_node& root);
pugi::xml_node nextInTreeOrder(const pugi::xml_node& item);

} // namespace Schema
