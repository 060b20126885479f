#include "datafile/FileIdentity.h"

#include "datafile/DataFile.h"

#include <QFile>

#include <sodium.h>
#include <sys/stat.h>

#include <vector>

std::optional<FileIdentity> FileIdentity::of(const QString& path)
{
    const std::optional<Metadata> metadata = metadataOf(path);
    // A file larger than any data file is refused unread, so it is not read
    // through for a hash either: that alone would take seconds.
    if (!metadata || metadata->size > DataFile::MaxFileSize)
        return std::nullopt;
    const std::optional<Hash> hash = hashOf(path);
    if (!hash)
        return std::nullopt;
    FileIdentity identity;
    identity.m_metadata = *metadata;
    identity.m_hash = *hash;
    return identity;
}

bool FileIdentity::matches(const QString& path) const
{
    const std::optional<Metadata> metadata = metadataOf(path);
    if (!metadata)
        return false;
    if (*metadata == m_metadata)
        return true;
    // Bytes of another length are other bytes: no need to read them.
    return metadata->size == m_metadata.size && hashOf(path) == m_hash;
}

std::optional<FileIdentity::Metadata> FileIdentity::metadataOf(const QString& path)
{
    struct stat status { };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return Metadata{std::uint64_t(status.st_dev), std::uint64_t(status.st_ino), std::int64_t(status.st_size),
                    std::int64_t(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

std::optional<FileIdentity::Hash> FileIdentity::hashOf(const QString& path)
{
    static const bool ready = sodium_init() >= 0;
    QFile file(path);
    if (!ready || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, sizeof(Hash));
    std::vector<unsigned char> chunk(1 << 20);
    for (;;) {
        const qint64 read = file.read(reinterpret_cast<char*>(chunk.data()), qint64(chunk.size()));
        if (read < 0)
            return std::nullopt;
        if (read == 0)
            break;
        crypto_generichash_update(&state, chunk.data(), std::size_t(read));
    }
    Hash hash;
    crypto_generichash_final(&state, hash.data(), hash.size());
    return hash;
}
