#include "document/interchange/ForeignEntries.h"

#include "base/SecureWipe.h"

void wipe(ForeignEntry& entry)
{
    for (QString* text : {&entry.title, &entry.userName, &entry.password, &entry.url, &entry.notes})
        SecureWipe::wipe(*text);
    for (auto& [name, value] : entry.extras) {
        SecureWipe::wipe(name);
        SecureWipe::wipe(value);
    }
}
