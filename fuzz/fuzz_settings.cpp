// The settings file and the language files: name=value lines read from 8-bit
// text, looked up by name, and the settings list written back.
#include "FuzzCheck.h"

#include "config/CaptionTable.h"
#include "config/NameValueList.h"

#include <cstddef>
#include <cstdint>

namespace {

// The ten settings and a few caption keys, each also as the fuzzer may spell it.
const QStringList& knownNames()
{
    static const QStringList names = {
        "language",     "systray",      "hidden",   "assotiate",       "openlast",   "autosave", "backups",
        "autoblocking", "blockingtime", "lastfile", "MessageNotSaved", "FieldEMail", "",
    };
    return names;
}

// Names the first lines carry, so that lookups hit as well as miss. A few are
// enough: every lookup walks all lines.
QStringList namesIn(const NameValueList& list)
{
    QStringList names;
    for (const QString& line : list.lines().mid(0, 16))
        names.append(line.section(QLatin1Char('='), 0, 0));
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const NameValueList list =
        NameValueList::fromBytes(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    CaptionTable captions;
    captions.setLines(list);
    for (const QString& name : knownNames() + namesIn(list)) {
        const QString value = list.value(name);
        require(list.contains(name) || value.isEmpty(), "a name no line carries reads as the empty text");
        captions.GetCaption(name, QStringLiteral("English #13#10 default"));
    }

    // The settings file the program writes at the end reads back as the same list.
    require(NameValueList::fromBytes(list.toBytes()).lines() == list.lines(), "a written list reads back unchanged");

    NameValueList edited = list;
    edited.set(QStringLiteral("language"), QStringLiteral("Deutsch"));
    require(edited.value(QStringLiteral("LANGUAGE")) == QLatin1String("Deutsch"), "a set value is the one read");
    edited.set(QStringLiteral("language"), QString());
    return 0;
}
