#include "base/SecureWipe.h"

#include <cstring>
#include <type_traits>

namespace SecureWipe {

void wipe(void* data, std::size_t size)
{
    if (data && size > 0)
        explicit_bzero(data, size);
}

// isDetached() is false for shared data and for literals, which are
// read-only and hold nothing of ours: those are only released.
template <typename Array>
void wipeArray(Array& array)
{
    if (!array.isDetached()) {
        array.clear();
        return;
    }
    // The whole allocation: removing from the front only moves the start of
    // the data within it, and capacity() counts from the allocation's start.
    using Unit = std::remove_reference_t<decltype(*array.data())>;
    auto& storage = array.data_ptr();
    Unit* allocation = array.data() - storage.freeSpaceAtBegin();
    wipe(allocation, static_cast<std::size_t>(storage.constAllocatedCapacity()) * sizeof(Unit));
    array.truncate(0);
}

void wipe(QByteArray& bytes)
{
    wipeArray(bytes);
}

void wipe(QString& text)
{
    wipeArray(text);
}

// Deeper than any derivation or cipher call goes on the stack, and far
// within the smallest stack a thread of ours has.
constexpr std::size_t StackWipeBytes = 32 * 1024;

[[gnu::noinline]] void wipeStack()
{
    unsigned char below[StackWipeBytes];
    wipe(below, sizeof below);
}

QString deepCopy(const QString& text)
{
    return QString(text.constData(), text.size());
}

} // namespace SecureWipe
