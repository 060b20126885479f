// The protected container's header and sealed body as the reader meets them,
// with the key derivation replaced by a cheap function: the fuzzer spends its
// time on the container, not on Argon2id.
#include "FuzzCheck.h"

#include "base/ProtectedContainer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

using namespace ProtectedContainer;

bool cheapDerive(const QString&, const Salt& salt, const DerivationCost&, Key& key)
{
    key.fill(0x5a);
    std::copy(salt.begin(), salt.end(), key.begin());
    return true;
}

const QString Password = QStringLiteral("fuzz");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // As a file: whatever the header refuses, opening refuses the same way,
    // and nothing is given out without a matching tag.
    Header header;
    const Status headerStatus = readHeader(input, header);
    QByteArray text = "unset";
    const Status opened = open(input, Password, text, cheapDerive);
    require(headerStatus == Status::Ok || opened == headerStatus, "open refuses what the header refuses");
    require(opened == Status::Ok || text == "unset", "a refused file gives no text");

    // As a document text: sealed, it opens to exactly itself, and any byte
    // changed after the magic is refused.
    QByteArray file;
    require(seal(input, Password, {1, DerivationCost::MinMemoryKiB}, file, cheapDerive) == Status::Ok, "sealing works");
    require(open(file, Password, text, cheapDerive) == Status::Ok && text == input, "a sealed text opens to itself");
    if (size > 0) {
        const qsizetype at = Magic.size() + data[0] % (file.size() - Magic.size());
        file[at] = char(file[at] ^ 0x01);
        require(open(file, Password, text, cheapDerive) != Status::Ok, "a changed byte is refused");
    }
    return 0;
}
