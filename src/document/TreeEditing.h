#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <pugixml.hpp>

// The changes of the document's structure that the tree's commands make:
// new groups, records and fields, names, field values, and moving an item by
// drag and drop. New and moved items always go last under their parent.
// Each operation either completes or leaves the document as it was; a null
// node means nothing was changed. None of them nests elements deeper than
// DataDocument::MaxNesting.
namespace TreeEditing {

// A group named name under parent (a group or the `data` element), with the
// group type key at iconPosition.
pugi::xml_node appendGroup(pugi::xml_node parent, const QString& name, int iconPosition);

// A record of the type typeName made from a catalogue entry: its label takes
// the entry's caption links and, when recordName is not empty, that name; it
// gets one field per `field` of the entry, Date and Time fields holding now.
// Refused without a template (a null node or an entry named `record`).
pugi::xml_node appendRecord(pugi::xml_node parent, const pugi::xml_node& templateEntry, const QString& typeName,
                            const QString& recordName, int iconPosition, const QDateTime& now);

// The value a new field of storedType starts with: now in the stored form
// of Date and Time fields, else empty.
QString initialValue(const QString& storedType, const QDateTime& now);

// The one group or record whose stored text is text, parsed and added last
// under parent. The text is the program's own (an import's): its nesting is
// not measured again. A null node, with parent as it was, when text is not
// one whole item.
pugi::xml_node appendStored(pugi::xml_node parent, QByteArrayView text);

// A field appended last to record, holding value; without one, Date and
// Time fields start with now in their stored forms, all others empty.
pugi::xml_node appendField(pugi::xml_node record, const QString& name, const QString& storedType, const QDateTime& now,
                           const QString& value = {});

// Gives record its own name, the text of its `label`. A record without a
// label (made by hand or by another program) gets one as its first child, so
// the name never lands in a field. False, with nothing changed, when the
// record cannot take it.
bool nameRecord(pugi::xml_node record, const QString& name);

// Gives group the name, its `name` attribute. A group element without one
// (made by hand or by another program) gets it first. False, with nothing
// changed, when the element is no group.
bool nameGroup(pugi::xml_node group, const QString& name);

// Gives a field element exactly the attributes `name` and `basic_type`, in
// this order, and value as its text. The element keeps its place among its
// siblings, and handles to it stay valid.
bool rewriteField(pugi::xml_node field, const QString& name, const QString& storedType, const QString& value);

// Whether rewriteField with these would leave field exactly as it is.
bool fieldReads(const pugi::xml_node& field, const QString& name, const QString& storedType, const QString& value);

// Whether dragged (a group or record) may be dropped on target: a group or
// record, or null (or the `data` element) for the empty area below the
// tree's nodes, which stands for the top level. A record never takes a drop;
// an item is never dropped on itself, on its own parent or into its subtree.
bool acceptsDrop(const pugi::xml_node& dragged, const pugi::xml_node& target);

// Moves dragged with everything under it to the end of destination's
// children (of the `data` element when destination is null). Returns the
// item at its new place; handles to it and its contents stay valid. Null,
// with nothing changed, when acceptsDrop refuses.
pugi::xml_node moveElement(pugi::xml_node dragged, pugi::xml_node destination);

} // namespace TreeEditing
