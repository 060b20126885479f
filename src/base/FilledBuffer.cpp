#include "base/FilledBuffer.h"

#include <algorithm>

#include <sys/mman.h>
#include <unistd.h>

namespace FilledBuffer {

void preparePages(char* data, qsizetype size)
{
    const auto page = qsizetype(sysconf(_SC_PAGESIZE));
    const qsizetype firstPage = (page - qsizetype(quintptr(data) % quintptr(page))) % page;
    const qsizetype wholePages = (size - firstPage) / page * page;
    // Only a speed-up: where the kernel cannot, the pages still come as
    // written. Huge pages, where the system gives them on request, take far
    // fewer faults and mappings than small ones for a buffer this large.
    if (wholePages > 0) {
        madvise(data + firstPage, std::size_t(wholePages), MADV_HUGEPAGE);
        madvise(data + firstPage, std::size_t(wholePages), MADV_POPULATE_WRITE);
    }
}

QByteArray readFile(QFile& file, qint64 size)
{
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    preparePages(bytes.data(), bytes.size());
    bytes.truncate(qsizetype(std::max<qint64>(file.read(bytes.data(), size), 0)));
    return bytes;
}

} // namespace FilledBuffer
