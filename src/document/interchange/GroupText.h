#pragma once

#include "document/interchange/TextArena.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

#include <vector>

// The stored text of one new group and everything under it, written as an
// import reads its source: items may go into any group made so far, in any
// order, and each group keeps its items in the order they came. Parsing the
// whole text once, in its own buffer, is far cheaper in time and memory than
// making the nodes one value at a time. Every piece of text is wiped when it
// is let go: none is left behind in freed memory.
class GroupText {
public:
    using Id = int;
    static constexpr Id Top = 0;

    // openingTag: the top group's start tag, as openingTagOf writes it.
    explicit GroupText(QByteArrayView openingTag);
    ~GroupText();
    GroupText(const GroupText&) = delete;
    GroupText& operator=(const GroupText&) = delete;

    // A group below parent, opened by openingTag; it comes after what
    // parent holds so far.
    Id addGroup(Id parent, QByteArrayView openingTag);
    // How many groups deep group lies: TopLevel for the top group.
    int levelOf(Id group) const { return m_groups.at(size_t(group)).level; }
    static constexpr int TopLevel = 1;
    // Whether a document can take a group below one at level, and an entry
    // (a record, its fields below it) in one.
    static bool groupFitsBelow(int level);
    static bool entryFitsIn(int level);
    int groupCount() const { return int(m_groups.size()); }

    // Where an escaped value stands: its text differs as the document writes it.
    enum class Place { Text, Attribute };

    // Text written at the end of what group holds so far: markup as it
    // stands, an element's text escaped. The text, still in UTF-16, is
    // encoded and escaped in one pass straight into the group's text, with no
    // UTF-8 copy of it in between.
    void write(Id group, QByteArrayView markup);
    void writeEscaped(Id group, QStringView text);

    // The whole text, each group closed, between before and after; the
    // pieces are let go on the way.
    QByteArray take(QByteArrayView before = {}, QByteArrayView after = {});
    // The same at the end of out, such as the buffer a file is written from.
    void appendTo(QByteArray& out, QByteArrayView before = {}, QByteArrayView after = {});

    // <folder name="NAME" type="TYPE">, the name escaped.
    static QByteArray openingTagOf(QByteArrayView name, QByteArrayView type);
    // utf8 as an element's text or an attribute's value, escaped as the
    // document writes it, so that it reads back exactly and the text is the
    // one saving the document would write.
    static void appendEscaped(QByteArray& out, QByteArrayView utf8, Place place);

private:
    // A run of text, or (child >= 0) a subgroup at this place.
    struct Part {
        TextArena::Run text;
        Id child = -1;
    };
    struct Group {
        QByteArray openingTag;
        std::vector<Part> parts;
        int level = 1;
    };

    // Where size more bytes go at the end of what group holds.
    char* roomAtEnd(Id group, qsizetype size);
    void assemble(Id group, QByteArray& out);
    static qsizetype escapedSize(QStringView text);

    std::vector<Group> m_groups;
    TextArena m_arena;
};
