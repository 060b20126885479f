#pragma once

#include "document/interchange/DocumentEntry.h"
#include "document/interchange/ForeignEntries.h"
#include "document/interchange/ForeignWriter.h"

#include <QByteArray>
#include <QIODevice>

#include <memory>

// The unencrypted XML export of KeePass 2 and compatible managers:
// `KeePassFile` > `Root` > `Group`, each `Group` with `Name`, `Entry` and
// nested `Group`, each `Entry` with `String` pairs of `Key` and `Value`.
namespace KeePassXml {

// The root group's entries and groups go into the sink's top group. Title,
// UserName, Password, URL and Notes are the usual strings; any other is an
// extra, named as a secret where its value is marked protected; KeePass's
// TimeOtp strings become one "otp" seed. The recycle bin is left out.
// Counted as not carried: attachments, history entries, custom icons, expiry
// dates, tags, auto-type settings, colours and times of entries, notes and
// custom icons of groups, and the recycle bin's entries. False, with error
// naming the element or line, for text that is not KeePass XML.
bool read(QByteArray text, EntrySink& sink, QString* error);

// What the writer changed so that the file stays XML: a text with a
// character XML 1.0 forbids (a control character other than tab, LF and CR,
// a lone surrogate, U+FFFE, U+FFFF) has each such character written as
// U+FFFD, as no XML reader accepts the file otherwise.
struct Replacements {
    // Texts changed: values, keys and group names.
    int texts = 0;
    // The title of the entry, or the name of the group, of the first one.
    QString firstPlace;
};

class XmlStream;

// Writes the same shape as it is handed over, the first group as the root
// group; replacements() tells what was changed.
class Writer : public ForeignWriter {
public:
    explicit Writer(QIODevice& device);
    ~Writer() override;
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void beginGroup(const QString& name) override;
    void entry(const ForeignEntry& entry) override;
    // The same for a document's record, its UTF-8 written as it stands.
    void entry(const DocumentEntry& entry);
    void endGroup() override;
    bool finish() override;
    const Replacements& replacements() const;

private:
    std::unique_ptr<XmlStream> m_out;
    int m_depth = 0;
};

} // namespace KeePassXml
