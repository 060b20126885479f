#pragma once

#include <QtGlobal>

#include <vector>

// Memory for a text written in many runs that is put together once at the
// end. It comes from the system in large blocks, not from the heap, and each
// block goes back, wiped, as soon as every run in it is let go: putting the
// text together gives it back as it goes, rather than leaving the runs behind
// in the heap beside the whole.
class TextArena {
public:
    struct Run {
        char* data = nullptr;
        qsizetype size = 0;
        int block = -1;
    };

    TextArena() = default;
    // Every block still held is wiped and given back.
    ~TextArena();
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;

    // A new run of size bytes.
    Run start(qsizetype size);
    // Adds size bytes to the end of run where nothing follows it in its
    // block; false, run unchanged, where something does or there is no room.
    bool extend(Run& run, qsizetype size);
    // The run's bytes are no longer needed.
    void release(Run& run);

private:
    struct Block {
        char* base = nullptr;
        qsizetype capacity = 0;
        qsizetype used = 0;
        // Bytes of runs not let go yet.
        qsizetype live = 0;
    };

    static void giveBack(Block& block);

    std::vector<Block> m_blocks;
};
