#pragma once

#include "cli/ItemPath.h"

#include <QJsonArray>
#include <QJsonObject>

class CliContext;

// The shapes of --json output, the same for every command: an item is
// {"path": [captions], "ref": "the PATH that names it", "number": N among
// its namesakes, "kind": "group" or "record", "type": its type key}; a record
// adds "typeName" (its catalogue type) and "fields": [{"name", "type" (the
// stored type: TEXT, LONG TEXT, E-MAIL, NUMBER, DATE, TIME, PHONE), "value"
// (as stored), "secret": true or false}].
namespace DocumentJson {

QJsonObject item(const ItemPath::Step& step);
QJsonObject item(const pugi::xml_node& item);
QJsonObject record(const pugi::xml_node& record);
// One document and a line break, on a terminal without the control
// characters a file's text may bring.
void print(CliContext& context, const QJsonArray& array);
void print(CliContext& context, const QJsonObject& object);

} // namespace DocumentJson
