#include "document/interchange/CsvCells.h"

#include "base/SecureWipe.h"
#include "document/interchange/BitwardenJson.h"
#include "document/interchange/CsvReader.h"
#include "document/interchange/SecretStrings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>

#include <algorithm>

namespace CsvCells {

namespace {

QString hiddenIf(bool secret, const QString& name)
{
    return secret ? SecretStrings::hiddenName(name) : name;
}

QJsonDocument parsed(const QString& cell)
{
    QByteArray utf8 = cell.toUtf8();
    const SecureWipe::WipeOnExit forget(utf8);
    return QJsonDocument::fromJson(utf8);
}

void addListedFields(const QJsonArray& list, QList<Field>& fields)
{
    for (const QJsonValue listed : list) {
        const QJsonValue section = listed[QLatin1String("sectionFields")];
        if (section.isArray()) {
            addListedFields(section.toArray(), fields);
            continue;
        }
        const QString content = listed[QLatin1String("data")][QLatin1String("content")].toString();
        if (!content.isEmpty())
            fields.append({hiddenIf(listed[QLatin1String("type")].toString() == QLatin1String("hidden"),
                                    listed[QLatin1String("fieldName")].toString()),
                           content});
    }
}

} // namespace

QString labelOf(const QString& columnName)
{
    static const QRegularExpression heading(QStringLiteral("^SECTION \\d+: "));
    static const QRegularExpression numbered(QStringLiteral("^(?:\\S+ )?\\d+: (.+)$"));
    static const QRegularExpression keyed(QStringLiteral("^(.*\\S)\\([A-Za-z_]\\w*\\)$"));
    if (heading.match(columnName).hasMatch())
        return {};
    for (const QRegularExpression* packed : {&numbered, &keyed}) {
        const QRegularExpressionMatch match = packed->match(columnName);
        if (match.hasMatch())
            return hiddenIf(SecretStrings::isSecret(columnName, {}), match.captured(1));
    }
    return columnName;
}

std::optional<Field> roboFormField(const QString& cell)
{
    static const QRegularExpression nameEnd(QStringLiteral("\\$[,:]"));
    const QRegularExpressionMatch end = nameEnd.match(cell);
    if (!end.hasMatch() || end.capturedStart() == 0)
        return std::nullopt;
    const QString name = cell.first(end.capturedStart());
    const QString rest = cell.sliced(end.capturedEnd());
    if (cell.at(end.capturedStart() + 1) == u':')
        return Field{hiddenIf(rest.section(u':', 0, 0) == QLatin1String("pwd"), name), rest.section(u':', 1)};
    // The id, a part left empty, the type, then the value, quoted as CSV.
    QByteArray utf8 = rest.toUtf8();
    const SecureWipe::WipeOnExit forget(utf8);
    CsvReader reader(utf8);
    std::optional<QStringList> parts = reader.nextRow();
    if (!parts || parts->size() < 4)
        return std::nullopt;
    Field field{hiddenIf(parts->at(2) == QLatin1String("pwd"), name), parts->sliced(3).join(u',')};
    for (QString& part : *parts)
        SecureWipe::wipe(part);
    return field;
}

std::optional<QList<Field>> jsonFields(const QString& cell)
{
    const QJsonDocument document = parsed(cell);
    if (!document.isArray())
        return std::nullopt;
    QList<Field> fields;
    for (const QJsonValue field : document.array()) {
        const bool hidden = field[QLatin1String("type")].toString() == QLatin1String("hidden");
        fields.append(
            {hiddenIf(hidden, field[QLatin1String("label")].toString()), field[QLatin1String("value")].toString()});
    }
    return fields;
}

std::optional<QStringList> jsonTexts(const QString& cell)
{
    const QJsonDocument document = parsed(cell);
    if (!document.isArray())
        return std::nullopt;
    QStringList texts;
    for (const QJsonValue text : document.array()) {
        if (!text.toString().isEmpty())
            texts.append(text.toString());
    }
    return texts;
}

std::optional<JsonItem> jsonItem(const QString& cell)
{
    const QJsonDocument document = parsed(cell);
    if (!document.isObject())
        return std::nullopt;
    JsonItem item;
    const QJsonObject values = document.object();
    for (auto value = values.constBegin(); value != values.constEnd(); ++value) {
        if (value.key() == QLatin1String("note"))
            item.notes = value->toString();
        else if (value->isArray())
            addListedFields(value->toArray(), item.fields);
        else if (!value->toString().isEmpty())
            item.fields.append({BitwardenJson::spelledOut(value.key()), value->toString()});
    }
    return item;
}

QStringList addresses(const QString& cell)
{
    const QStringList parts = cell.split(QStringLiteral(", "));
    const bool listed = parts.size() > 1 && std::all_of(parts.cbegin(), parts.cend(), [](const QString& part) {
                            return part.contains(QLatin1String("://"));
                        });
    return listed ? parts : QStringList{cell};
}

} // namespace CsvCells
