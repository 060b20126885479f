#pragma once

#include "document/interchange/ForeignEntries.h"
#include "document/interchange/ForeignWriter.h"

#include <QByteArray>
#include <QIODevice>

#include <memory>

// The unencrypted XML export of KeePass 2 and compatible managers:
// `KeePassFile` > `Root` > `Group`, each `Group` with `Name`, `Entry` and
// nested `Group`, each `Entry` with `String` pairs of `Key` and `Value`.
namespace KeePassXml {

// The root group's entries and groups become root's. Title, UserName,
// Password, URL and Notes are the usual strings; any other is an extra.
// Counted as not carried: `Binary` attachments, `History` entries, custom
// icons, expiry dates and tags of entries, custom icons of groups. False,
// with error naming the element (or the line of a syntax error), for text
// that is not KeePass XML.
bool read(const QByteArray& text, ForeignGroup& root, NotCarried& notCarried, QString* error);

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
    void endGroup() override;
    bool finish() override;
    const Replacements& replacements() const;

private:
    std::unique_ptr<XmlStream> m_out;
    int m_depth = 0;
};

} // namespace KeePassXml
