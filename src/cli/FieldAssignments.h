#pragma once

#include <QList>
#include <QStringList>

#include <optional>

#include <pugixml.hpp>

class DocumentEditing;

// The field values a command line sets: "--field NAME=VALUE", each applied
// to a record as the record editor applies a typed value.
class FieldAssignments {
public:
    ~FieldAssignments();

    // Takes every --field option out of args; the problem when one is not NAME=VALUE.
    std::optional<QString> take(QStringList& args);
    void set(const QString& name, const QString& value);
    bool isEmpty() const { return m_values.isEmpty(); }

    // Writes each value into the record's field of that name, keeping its
    // type, or into a new Text field when it has none; false when a change
    // could not be made.
    bool applyTo(DocumentEditing& editing, const pugi::xml_node& record) const;

private:
    QList<std::pair<QString, QString>> m_values;
};
