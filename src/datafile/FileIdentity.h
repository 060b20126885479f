#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// One state of a file on disk: which file it is (device and inode), its
// size and modification time, and a hash of its bytes. Taken when the
// program reads or writes a data file, it tells later whether another
// program (a sync tool, say) changed or replaced the file since.
class FileIdentity {
public:
    // The identity of the file at path as it is now; nullopt when it cannot be
    // read or is larger than a data file may be (DataFile::MaxFileSize).
    static std::optional<FileIdentity> of(const QString& path);

    // Whether the file at path still holds what it held when this identity
    // was taken. The same file untouched is told by its metadata alone; a
    // file touched or replaced since is the same when its bytes are, so a
    // rewrite with the same content is no change. False when it is gone.
    bool matches(const QString& path) const;

private:
    struct Metadata {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modifiedNs = 0;
        bool operator==(const Metadata&) const = default;
    };
    using Hash = std::array<unsigned char, 32>;

    static std::optional<Metadata> metadataOf(const QString& path);
    // One pass over the bytes as they are on disk.
    static std::optional<Hash> hashOf(const QString& path);

    Metadata m_metadata;
    Hash m_hash{};
};
