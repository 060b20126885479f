#include "document/interchange/DocumentEntry.h"

#include "base/SecureWipe.h"

namespace {

void wipe(DocumentEntry::Text& text)
{
    if (text.made)
        SecureWipe::wipe(*text.made);
}

} // namespace

DocumentEntry::~DocumentEntry()
{
    for (Text* text : {&title, &userName, &password, &url, &notes})
        wipe(*text);
    for (auto& [name, value] : extras) {
        wipe(name);
        wipe(value);
    }
    SecureWipe::wipe(joinedTitle);
}
