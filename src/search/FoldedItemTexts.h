#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// The texts a filter keyword is looked for in, for every group and record
// under a root in tree order, upper-cased once so that each keystroke is a
// plain byte search: a group's caption; a record's caption, its fields'
// values (Date and Time values as displayed) and names. The texts are held in
// UTF-8, where a string holds a keyword exactly when its bytes hold the
// keyword's, each followed by a zero byte, which no text holds, so no match
// spans two texts. Built for one state of the document: an edit outdates it.
class FoldedItemTexts {
public:
    struct Item {
        pugi::xml_node element;
        int depth;
        bool record;
    };

    explicit FoldedItemTexts(const pugi::xml_node& root);
    ~FoldedItemTexts();
    FoldedItemTexts(const FoldedItemTexts&) = delete;
    FoldedItemTexts& operator=(const FoldedItemTexts&) = delete;

    // keyword as the searches below take it; empty when no text can hold it.
    static QByteArray foldKeyword(const QString& keyword);

    const std::vector<Item>& items() const { return m_items; }
    // The item's position in items(); -1 for an item the texts do not know.
    int position(const pugi::xml_node& element) const;
    bool holds(std::uint32_t item, std::string_view foldedKeyword) const;
    // The positions of every item whose texts hold foldedKeyword, ascending.
    void findAll(std::string_view foldedKeyword, std::vector<std::uint32_t>& found) const;

private:
    void addItem(const pugi::xml_node& element, int depth);
    // Appends text upper-cased; endText() ends the text it is part of.
    void addFolded(std::string_view utf8);
    void endText() { append(std::string_view("\0", 1)); }
    void makeRoom(std::size_t more);
    void append(std::string_view text);
    const std::string& foldedDisplay(const char* stored, bool isDate);

    std::vector<Item> m_items;
    // Each item's position, by the address of its element, ascending.
    std::vector<std::pair<const void*, std::uint32_t>> m_positions;
    // Where each item's texts start in m_texts, and the end after the last.
    std::vector<std::size_t> m_starts;
    std::string m_texts;
    // A file holds few distinct dates and times: each is shown once.
    std::unordered_map<std::string_view, std::string> m_dateDisplay;
    std::unordered_map<std::string_view, std::string> m_timeDisplay;
};
