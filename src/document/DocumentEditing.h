#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <pugixml.hpp>

class CaptionTable;
class DataDocument;
class DocumentCommand;
class DocumentHistory;

// The one way the windows (and anything else outside this folder) change the
// open document: each change is made as a command through the history, so it
// can be undone and made again, and is named after what it did, in the
// chosen language. A change that cannot be made leaves the document and the
// history as they were: a null node or false.
class DocumentEditing {
public:
    DocumentEditing(DataDocument& document, DocumentHistory& history, const CaptionTable& captions);

    const DataDocument& document() const { return m_document; }

    // A null parent stands for the top level throughout.
    pugi::xml_node newGroup(const pugi::xml_node& parent, const QString& name, int iconPosition);
    pugi::xml_node newRecord(const pugi::xml_node& parent, const pugi::xml_node& templateEntry, const QString& typeName,
                             const QString& recordName, int iconPosition, const QDateTime& now);
    pugi::xml_node newField(const pugi::xml_node& record, const QString& name, const QString& storedType,
                            const QDateTime& now, const QString& value = {});
    // The group named groupName whose stored text an import made
    // (Interchange::readImport), parsed straight into the document and added
    // last at the top level.
    pugi::xml_node addImported(const QString& groupName, QByteArrayView groupText);

    // An item with everything under it.
    bool deleteItem(const pugi::xml_node& item);
    bool deleteField(const pugi::xml_node& field);
    bool renameRecord(const pugi::xml_node& record, const QString& name);
    bool renameGroup(const pugi::xml_node& group, const QString& name);
    // item to the end of destination's items; the item at its new place.
    pugi::xml_node move(const pugi::xml_node& item, const pugi::xml_node& destination);
    // A field as the record editor shows it, with the value typed into it.
    // Typing on in the same field (continuesTyping) is undone in one step
    // with what was typed there before. Writing what the field holds
    // already changes nothing and is no step.
    bool editField(const pugi::xml_node& field, const QString& name, const QString& storedType, const QString& value,
                   bool continuesTyping);

private:
    QString describe(const char* key, const char* englishDefault, const QString& name) const;
    pugi::xml_node orTopLevel(const pugi::xml_node& parent) const;
    bool push(std::unique_ptr<DocumentCommand> command);

    DataDocument& m_document;
    DocumentHistory& m_history;
    const CaptionTable& m_captions;
};
