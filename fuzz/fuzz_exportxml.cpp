// The readers of KeePass XML and Password Safe XML: any input is read or
// refused with the element or line at fault, and what is read goes into
// groups that exist.
#include "CheckingSink.h"

#include "document/interchange/KeePassXml.h"
#include "document/interchange/PasswordSafeXml.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const auto read : {&KeePassXml::read, &PasswordSafeXml::read}) {
        CheckingSink sink;
        QString error;
        if (!read(bytes, sink, &error))
            require(!error.isEmpty(), "a refusal says why");
    }
    return 0;
}
