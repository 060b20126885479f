// The KeePass XML reader and writer together: any input is read or refused
// with the element or line at fault; what is read goes into groups that
// exist, written out again it reads back as the same tree of groups and
// entries, and an import's text is the one the document writes.
#include "FuzzCheck.h"
#include "ImportedText.h"

#include "document/interchange/KeePassXml.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// The tree a reader gave, kept by group: each group's name, entries and subgroups.
class TreeSink final : public EntrySink {
public:
    struct Group {
        QString name;
        std::vector<ForeignEntry> entries;
        std::vector<GroupId> children;
    };

    TreeSink() { m_groups.push_back({}); }

    GroupId addGroup(GroupId parent, const QString& name) override
    {
        require(parent >= Top && parent < GroupId(m_groups.size()), "a group goes into one that exists");
        m_groups.push_back({name, {}, {}});
        const GroupId added = GroupId(m_groups.size()) - 1;
        m_groups[std::size_t(parent)].children.push_back(added);
        return added;
    }

    bool addEntry(GroupId group, ForeignEntry& entry) override
    {
        require(group >= Top && group < GroupId(m_groups.size()), "an entry goes into a group that exists");
        m_groups[std::size_t(group)].entries.push_back(entry);
        return true;
    }

    // The tree written as an export is walked: the top group as the root group.
    void writeTo(KeePassXml::Writer& writer, GroupId group = Top) const
    {
        const Group& written = m_groups[std::size_t(group)];
        writer.beginGroup(written.name);
        for (const ForeignEntry& entry : written.entries)
            writer.entry(entry);
        for (GroupId child : written.children)
            writeTo(writer, child);
        writer.endGroup();
    }

    // Whether other holds groups of the same names and entries of the same
    // titles, in the same places.
    bool sameShape(const TreeSink& other, GroupId mine = Top, GroupId theirs = Top) const
    {
        const Group& a = m_groups[std::size_t(mine)];
        const Group& b = other.m_groups[std::size_t(theirs)];
        if ((mine != Top && a.name != b.name) || a.entries.size() != b.entries.size()
            || a.children.size() != b.children.size())
            return false;
        for (std::size_t i = 0; i < a.entries.size(); ++i) {
            if (a.entries[i].title != b.entries[i].title)
                return false;
        }
        for (std::size_t i = 0; i < a.children.size(); ++i) {
            if (!sameShape(other, a.children[i], b.children[i]))
                return false;
        }
        return true;
    }

private:
    std::vector<Group> m_groups;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkImportedText(bytes, Interchange::Format::KeePassXml);
    TreeSink read;
    QString error;
    if (!KeePassXml::read(bytes, read, &error)) {
        require(!error.isEmpty(), "a refusal says why");
        return 0;
    }

    QBuffer exported;
    exported.open(QIODevice::WriteOnly);
    KeePassXml::Writer writer(exported);
    read.writeTo(writer);
    require(writer.finish(), "the export is written");
    // A text XML cannot hold was written changed; the tree still is the same.
    const bool textsChanged = writer.replacements().texts > 0;

    TreeSink again;
    require(KeePassXml::read(exported.data(), again, &error), "the export reads back");
    require(textsChanged || read.sameShape(again), "the export reads back as the same tree");
    return 0;
}
