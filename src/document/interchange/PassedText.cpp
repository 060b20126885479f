#include "document/interchange/PassedText.h"

#include "base/SecureWipe.h"

#include <algorithm>

#include <sys/mman.h>

namespace {

// Pages are returned a few hundred at a time, not one call each, in whole
// huge pages: returning part of one would make the system split it.
constexpr qsizetype ReturnStep = 2 * 1024 * 1024;

} // namespace

PassedText::PassedText(QByteArray& text)
    : m_text(text)
{
}

PassedText::~PassedText()
{
    // The whole allocation: the room beyond the text may hold an older one.
    wipeUpTo(m_text.capacity());
    m_text = QByteArray();
}

void PassedText::passTo(const char* at)
{
    const qsizetype end = at - m_text.constData();
    if (end < 0 || end > m_text.size() || end - m_wiped < ReturnStep)
        return;
    wipeUpTo(end);
    // Only whole steps, all of them wiped: what else shares one stays.
    const auto step = quintptr(ReturnStep);
    const auto start = quintptr(m_text.constData());
    const auto from = qsizetype(((start + quintptr(m_returned) + step - 1) & ~(step - 1)) - start);
    const auto to = qsizetype(((start + quintptr(end)) & ~(step - 1)) - start);
    if (to > from && madvise(m_text.data() + from, size_t(to - from), MADV_DONTNEED) == 0)
        m_returned = to;
}

void PassedText::wipeUpTo(qsizetype end)
{
    if (end > m_wiped)
        SecureWipe::wipe(m_text.data() + m_wiped, size_t(end - m_wiped));
    m_wiped = std::max(m_wiped, end);
}
