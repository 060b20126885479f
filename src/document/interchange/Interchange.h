#pragma once

#include "document/Schema.h"
#include "document/interchange/DocumentEntry.h"
#include "document/interchange/ForeignEntries.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QIODevice>
#include <QString>

#include <pugixml.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class Catalogue;
class DataDocument;
class GroupText;

// Import from and export to the files other password managers exchange.
namespace Interchange {

// Export writes the first two; import reads all. Their order is that of the
// file dialogs' types.
enum class Format { KeePassXml, Csv, PasswordSafeXml, BitwardenJson };

// "keepass-xml", "csv", "pwsafe-xml" or "bitwarden-json", as the command
// line names them.
std::optional<Format> formatNamed(const QString& name);
// By the content, as UTF-8: the XML document element (<passwordsafe> is
// Password Safe's, any other KeePass's), JSON, else CSV.
Format formatOf(QByteArrayView text);

// What an input is before it is read: the text a program exports, or a
// program's own file, which must be exported as XML in that program first.
enum class InputKind { Text, KeePassDatabase, Binary };

struct ImportResult {
    // What was wrong with the input; empty on success.
    QString error;
    // Anything but Text when the input was refused unread for it.
    InputKind input = InputKind::Text;
    // The stored text of the new group that holds everything imported,
    // until it joins a document (TreeEditing::appendStored); wiped when the
    // last copy of the result goes.
    std::shared_ptr<const QByteArray> groupText;
    // That group once it is at the top level of a document.
    pugi::xml_node group;
    int records = 0;
    // Groups made, the new top-level one included.
    int groups = 0;
    NotCarried notCarried;
    // The code page the input was read in, as it was not UTF-8; else empty.
    QString decodedFrom;

    bool ok() const { return error.isEmpty(); }
    // "Imported 412 records in 37 groups; 5 attachments and 120 history
    // entries were not imported.", and how the text was read where it was
    // not UTF-8.
    QString summary() const;
};

// Reads input in format (told by its content when not given) as the stored
// text of one new group named groupName, ready to join a document. Notes
// become records of the catalogue's Note type, entries with an address of its
// Web Site type, others of its Password type. A string named like a field of
// that type which got no value fills it. The input is read in place where it
// is not shared, and wiped.
ImportResult readImport(const Catalogue& catalogue, std::optional<Format> format, QByteArray input,
                        const QString& groupName, const InterchangeProgress& progress = {});

// readImport's entries as the whole of a new document, its text not yet put
// together: it goes straight into whatever is written from it, such as a new
// data file, with no document parsed from it in between.
class ImportedDocument {
public:
    ImportedDocument();
    ImportedDocument(ImportedDocument&&) noexcept;
    ~ImportedDocument();

    ImportResult result;
    // The document's text at the end of out, once, when result is ok.
    void appendText(QByteArray& out);

private:
    friend ImportedDocument readDocument(const Catalogue&, std::optional<Format>, QByteArray, const QString&,
                                         const InterchangeProgress&);
    std::unique_ptr<GroupText> m_text;
};

ImportedDocument readDocument(const Catalogue& catalogue, std::optional<Format> format, QByteArray input,
                              const QString& groupName, const InterchangeProgress& progress = {});

// readImport, then the new group added at the top level of document, after
// everything there (result.group); nothing there before is changed. On any
// error the document is left as it was.
ImportResult importInto(DataDocument& document, const Catalogue& catalogue, std::optional<Format> format,
                        QByteArray input, const QString& groupName, const InterchangeProgress& progress = {});

struct ExportResult {
    // False when the device refused to be written.
    bool written = false;
    // Texts in which characters the format cannot hold were replaced (KeePass
    // XML: those XML 1.0 forbids, as U+FFFD), and the record or group of the
    // first.
    int textsChanged = 0;
    QString firstChangedIn;

    // English, for the command line: empty when nothing was changed, else
    // which texts were and how.
    QString changesNote() const;
};

// Writes the whole document in format, the top level as a group named
// rootName where the format has one.
ExportResult exportDocument(const DataDocument& document, Format format, QIODevice& device, const QString& rootName,
                            const InterchangeProgress& progress = {});

// Turns records into entries: the caption as the title; the first login
// field, secret field, address field and notes field as the usual strings;
// every other field as an extra named after it (a repeated name gets " (2)"),
// Date and Time values in ISO form, one-time-code seeds as "otp". What a field name stands for is worked
// out once per name, as an export meets the same few names again and again.
class EntryMaker {
public:
    ForeignEntry entryOf(const pugi::xml_node& record);
    // The same strings in UTF-8, as the document holds them where they are
    // written unchanged.
    // The texts an export changes are left for makeChangedTexts, so that
    // the thread that writes the entry can make them.
    DocumentEntry documentEntryOf(const pugi::xml_node& record);
    static void makeChangedTexts(DocumentEntry& entry);
    // The names entryOf gives the record's extras, without their values.
    QStringList extraNamesOf(const pugi::xml_node& record);

private:
    enum class Role { Login, Secret, Address, Notes, OneTimeCode, Other };
    // A field name as text, what it stands for, and whether an extra of
    // its name would take the name of a usual string.
    struct FieldName {
        QString text;
        Role role;
        bool namesUsualString;
    };
    // The name of the field at position among its record's fields.
    const FieldName& nameOf(const char* utf8, qsizetype position);
    // Tells place each of a record's fields: its role where it is the first of
    // a usual one, else Other and its name made unique among the extras
    // (renamed when that is not the field's own name).
    using FieldPlace = std::function<void(Role, const QString& name, bool renamed, const Schema::StoredField& field)>;
    void placeFields(const Schema::StoredFields& fields, const FieldPlace& place);

    // By the names' UTF-8, as the document holds them; an entry never moves,
    // so m_namesByPlace may point at it.
    std::unordered_map<QByteArray, FieldName> m_names;
    // The name last met at each position, and what it stands for.
    std::vector<std::pair<const char*, const FieldName*>> m_namesByPlace;
};

} // namespace Interchange
