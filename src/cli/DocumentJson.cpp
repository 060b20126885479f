#include "cli/DocumentJson.h"

#include "cli/CliContext.h"
#include "cli/TerminalText.h"

#include "document/DataDocument.h"
#include "document/FieldRoles.h"
#include "document/Schema.h"

#include <QJsonDocument>

namespace DocumentJson {

namespace {

void write(CliContext& context, const QJsonDocument& document)
{
    const QString text = QString::fromUtf8(document.toJson(QJsonDocument::Indented));
    if (!context.outIsTerminal()) {
        context.out() << text;
        return;
    }
    // JSON escapes C0 controls in its strings, but not C1 nor the marks that reorder a line.
    TerminalText::DocumentFilter filter;
    context.out() << filter(text) << filter.finish();
}

} // namespace

QJsonObject item(const ItemPath::Step& step)
{
    const bool record = Schema::isRecord(step.item);
    return {
        {QStringLiteral("path"), QJsonArray::fromStringList(step.captions)},
        {QStringLiteral("ref"), step.path},
        {QStringLiteral("number"), step.number},
        {QStringLiteral("kind"), record ? QStringLiteral("record") : QStringLiteral("group")},
        {QStringLiteral("type"), qText(step.item.attribute("type"))},
    };
}

QJsonObject item(const pugi::xml_node& node)
{
    return item(
        ItemPath::Step{node, ItemPath::captions(node), ItemPath::namesakeNumber(node), {}, ItemPath::text(node)});
}

QJsonObject record(const pugi::xml_node& record)
{
    QJsonObject shape = item(record);
    shape.insert(QStringLiteral("typeName"), qText(record.attribute("parent_type")));
    QJsonArray fields;
    for (const pugi::xml_node& field : Schema::recordFields(record)) {
        const QString name = qText(field.attribute("name"));
        const QString value = qText(field.text());
        fields.append(QJsonObject{
            {QStringLiteral("name"), name},
            {QStringLiteral("type"), qText(field.attribute("basic_type"))},
            {QStringLiteral("value"), value},
            {QStringLiteral("secret"), FieldRoles::isHiddenField(name, value)},
        });
    }
    shape.insert(QStringLiteral("fields"), fields);
    return shape;
}

void print(CliContext& context, const QJsonArray& array)
{
    write(context, QJsonDocument(array));
}

void print(CliContext& context, const QJsonObject& object)
{
    write(context, QJsonDocument(object));
}

} // namespace DocumentJson
