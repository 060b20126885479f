#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

// Overwrites secrets (passwords, keys, deciphered text) before their memory
// goes back to the allocator, where a later crash dump, swap or a reused
// allocation could show them. The compiler may not drop these writes.
namespace SecureWipe {

void wipe(void* data, std::size_t size);

// Zeroes the whole allocation and empties the array, which keeps the zeroed
// allocation until it goes. An allocation shared with another copy is only
// released: its other owner still uses it.
void wipe(QByteArray& bytes);
void wipe(QString& text);

// Zeroes the stack just below the caller's frame, where the functions it
// called kept their locals: a library may leave a copy of a key there.
void wipeStack();

// A copy that shares no allocation with text, so that wiping one leaves the
// other intact.
QString deepCopy(const QString& text);

// Wipes a secret (a QString or QByteArray) when the scope that holds it
// ends, on every way out.
template <typename Secret>
class WipeOnExit {
public:
    explicit WipeOnExit(Secret& secret)
        : m_secret(secret)
    {
    }
    ~WipeOnExit() { wipe(m_secret); }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

private:
    Secret& m_secret;
};

} // namespace SecureWipe
