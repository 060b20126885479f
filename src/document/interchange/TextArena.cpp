#include "document/interchange/TextArena.h"

#include "base/SecureWipe.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <new>

namespace {

constexpr qsizetype BlockSize = 1024 * 1024;

} // namespace

TextArena::~TextArena()
{
    for (Block& block : m_blocks)
        giveBack(block);
}

TextArena::Run TextArena::start(qsizetype size)
{
    if (m_blocks.empty() || !m_blocks.back().base || m_blocks.back().capacity - m_blocks.back().used < size) {
        // A run larger than a block gets one of its own.
        const qsizetype page = sysconf(_SC_PAGESIZE);
        const qsizetype capacity = std::max(BlockSize, (size + page - 1) / page * page);
        // Filled from start to end: its pages are all made at once, not
        // one fault at a time.
        void* base =
            mmap(nullptr, size_t(capacity), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (base == MAP_FAILED)
            throw std::bad_alloc();
        m_blocks.push_back({static_cast<char*>(base), capacity, 0, 0});
    }
    Block& block = m_blocks.back();
    const Run run{block.base + block.used, size, int(m_blocks.size()) - 1};
    block.used += size;
    block.live += size;
    return run;
}

bool TextArena::extend(Run& run, qsizetype size)
{
    Block& block = m_blocks[size_t(run.block)];
    if (run.data + run.size != block.base + block.used || block.capacity - block.used < size)
        return false;
    block.used += size;
    block.live += size;
    run.size += size;
    return true;
}

void TextArena::release(Run& run)
{
    if (run.block < 0)
        return;
    Block& block = m_blocks[size_t(run.block)];
    block.live -= run.size;
    if (block.live == 0)
        giveBack(block);
    run = {};
}

void TextArena::giveBack(Block& block)
{
    if (!block.base)
        return;
    SecureWipe::wipe(block.base, size_t(block.used));
    munmap(block.base, size_t(block.capacity));
    block = {};
}
