// A data file as the program opens it: the magic, the deciphered body without
// its declaration, the document parsed, then the tree and the record editor's
// view of every item, and Find with Find Next through every hit.
#include "FuzzCheck.h"

#include "datafile/DataFile.h"
#include "datafile/RC4.h"
#include "document/DataDocument.h"
#include "document/Schema.h"
#include "editor/FieldElements.h"
#include "search/TreeSearch.h"

#include <cstddef>
#include <cstdint>

namespace {

const DataFile::FileKey& fuzzKey()
{
    static const DataFile::FileKey key = *DataFile::MakeFileKey(QStringLiteral("fuzz"));
    return key;
}

// The input is a data file whose body is written in clear, so that mutations
// act on the document text; it is enciphered here as a saved file would be.
QByteArray fileBytesOf(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (bytes.size() > DataFile::Magic.size()) {
        RC4State state;
        RC4KeySchedule(state, fuzzKey().data(), DataFile::KeyLength);
        auto* body = reinterpret_cast<std::uint8_t*>(bytes.data()) + DataFile::Magic.size();
        RC4Apply(state, body, body, bytes.size() - DataFile::Magic.size());
    }
    return bytes;
}

// The number of places a search can stop at: every item's caption and every
// field of every record.
int showEveryItem(const DataDocument& document)
{
    int places = 0;
    Schema::walkTree(document.root(), [&](const pugi::xml_node& item, int) {
        Schema::itemCaption(item);
        ++places;
        if (Schema::isRecord(item)) {
            const std::vector<pugi::xml_node> fields = Schema::recordFields(item);
            places += static_cast<int>(fields.size());
            if (!fields.empty())
                FieldElements::shownFieldsFrom(fields.front());
        }
        return true;
    });
    return places;
}

// Find, then Find Next from each hit, as the search window does; every hit
// is a new place, so the search ends after at most places hits.
void findEveryHit(const DataDocument& document, int places)
{
    TreeSearch search;
    int hits = 0;
    for (bool hit = search.SearchFromTop(document.root(), SearchOptions{QStringLiteral("e"), false, true}); hit;
         hit = search.SearchBelow(document.root())) {
        require(++hits <= places, "Find Next comes to an end");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<QByteArray> text = DataFile::unseal(fileBytesOf(data, size), fuzzKey());
    if (!text)
        return 0;
    DataDocument document;
    if (!document.loadText(*text))
        return 0;
    findEveryHit(document, showEveryItem(document));

    // Whatever opens must save, and the saved file must open as the same document.
    const QByteArray written = document.toText();
    const std::optional<QByteArray> unsealed = DataFile::unseal(DataFile::seal(written, fuzzKey()), fuzzKey());
    require(unsealed == written, "a sealed document text unseals unchanged");
    DataDocument reread;
    require(reread.loadText(written), "a saved document opens again");
    require(reread.toText() == written, "a saved document opens as the same document");
    return 0;
}
