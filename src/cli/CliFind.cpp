// find: every caption and field that matches a keyword, as the program's search finds them.
#include "cli/CliCommand.h"
#include "cli/CliContext.h"
#include "cli/DocumentJson.h"
#include "document/DataDocument.h"
#include "document/Schema.h"
#include "search/ItemMatcher.h"

int CliCommands::find(CliContext& context, QStringList args)
{
    SearchOptions options;
    options.wholeWords = args.removeAll(QStringLiteral("--whole-words")) > 0;
    options.fieldNames = args.removeAll(QStringLiteral("--field-names")) > 0;
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    if (args.size() != 2)
        return context.usage(QStringLiteral("find takes FILE and KEYWORD"));
    options.keyword = args.at(1);
    const ItemMatcher matcher(options);
    DataDocument document;
    if (const int code = context.openDocument(args.at(0), document))
        return code;
    QJsonArray hits;
    int found = 0;
    // A hit in a field carries the field's name.
    const auto hit = [&](const ItemPath::Step& step, std::optional<QString> fieldName) {
        ++found;
        if (json) {
            QJsonObject shape = DocumentJson::item(step);
            if (fieldName)
                shape.insert(QStringLiteral("field"), *fieldName);
            hits.append(shape);
        } else if (fieldName) {
            context.out() << context.shown(step.path) << " :: " << context.shown(*fieldName) << '\n';
        } else {
            context.out() << context.shown(step.path) << '\n';
        }
    };
    ItemPath::walk(document.root(), [&](const ItemPath::Step& step) {
        if (matcher.matchCaption(step.captions.last()))
            hit(step, std::nullopt);
        if (!Schema::isRecord(step.item))
            return;
        for (const pugi::xml_node& field : Schema::recordFields(step.item))
            if (matcher.matchField(field))
                hit(step, qText(field.attribute("name")));
    });
    if (json)
        DocumentJson::print(context, hits);
    return found > 0 ? CliExit::Success : CliExit::NothingFound;
}
