#pragma once

#include <QByteArray>
#include <QFile>

// Large buffers filled at the speed of copying. A fresh buffer gets its
// memory one page fault at a time as it is first written, which costs about
// as much as the copy itself; its pages are made in one call first instead.
namespace FilledBuffer {

// Makes the whole pages inside [data, data + size) ready to be written.
void preparePages(char* data, qsizetype size);

// At most size bytes of file from where it stands: fewer when it ends
// sooner, none when reading fails (file.error() says why).
QByteArray readFile(QFile& file, qint64 size);

} // namespace FilledBuffer
