#pragma once

#include "FuzzCheck.h"

#include "document/Catalogue.h"
#include "document/DataDocument.h"
#include "document/interchange/Interchange.h"

// Whatever an import reads becomes a text that loads as a document and that
// the document writes back unchanged: an import writes its new file straight
// from that text, which must be the file a save would write.
inline void checkImportedText(const QByteArray& input, Interchange::Format format)
{
    static const Catalogue* const catalogue = [] {
        auto* loaded = new Catalogue;
        require(loaded->LoadCatalogue(QStringLiteral(ZV_CATALOGUE)), "the shipped catalogue loads");
        return loaded;
    }();
    Interchange::ImportedDocument imported = Interchange::readDocument(*catalogue, format, input, QStringLiteral("in"));
    if (!imported.result.ok())
        return;
    QByteArray text;
    imported.appendText(text);
    const QByteArray written = text;
    DataDocument document;
    require(document.loadText(text), "an imported text loads as a document");
    require(document.toText() == written, "an imported text is the one the document writes");
}
