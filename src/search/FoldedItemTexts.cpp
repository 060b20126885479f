#include "search/FoldedItemTexts.h"

#include "document/DataDocument.h"
#include "document/Schema.h"
#include "editor/FieldFormats.h"

#include <algorithm>
#include <cstring>

#include <string.h>

namespace {

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Upper-casing maps an ASCII text to ASCII, letter by letter, as toUpper() would.
char upperAscii(char16_t c)
{
    return static_cast<char>(c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c);
}

} // namespace

FoldedItemTexts::FoldedItemTexts(const pugi::xml_node& root)
{
    Schema::walkTree(root, [this](const pugi::xml_node& item, int depth) {
        addItem(item, depth);
        return true;
    });
    m_starts.push_back(m_texts.size());
    // The display texts point into the document, which may change from now on.
    m_dateDisplay.clear();
    m_timeDisplay.clear();
}

QByteArray FoldedItemTexts::foldKeyword(const QString& keyword)
{
    // No text holds a zero or half a surrogate pair.
    if (keyword.contains(QChar(0)) || !keyword.isValidUtf16())
        return {};
    return keyword.toUpper().toUtf8();
}

int FoldedItemTexts::position(const pugi::xml_node& element) const
{
    const auto found = m_positions.find(element.internal_object());
    return found == m_positions.end() ? -1 : static_cast<int>(found->second);
}

bool FoldedItemTexts::holds(std::uint32_t item, std::string_view foldedKeyword) const
{
    const std::size_t start = m_starts[item];
    return !foldedKeyword.empty()
           && memmem(m_texts.data() + start, m_starts[item + 1] - start, foldedKeyword.data(), foldedKeyword.size());
}

void FoldedItemTexts::findAll(std::string_view foldedKeyword, std::vector<std::uint32_t>& found) const
{
    found.clear();
    if (foldedKeyword.empty())
        return;
    // One search through all texts; after a hit it goes on with the next item.
    const char* const begin = m_texts.data();
    const char* const end = begin + m_texts.size();
    for (const char* from = begin; from < end;) {
        const auto* hit = static_cast<const char*>(
            memmem(from, static_cast<std::size_t>(end - from), foldedKeyword.data(), foldedKeyword.size()));
        if (!hit)
            return;
        const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), static_cast<std::size_t>(hit - begin));
        found.push_back(static_cast<std::uint32_t>(next - m_starts.begin() - 1));
        from = begin + *next;
    }
}

void FoldedItemTexts::addItem(const pugi::xml_node& element, int depth)
{
    const bool record = Schema::isRecord(element);
    m_positions.emplace(element.internal_object(), static_cast<std::uint32_t>(m_items.size()));
    m_items.push_back({element, depth, record});
    m_starts.push_back(m_texts.size());
    addText(Schema::itemCaption(element));
    if (!record)
        return;
    // The fields follow the label.
    for (pugi::xml_node field = element.first_child().next_sibling(); field; field = field.next_sibling()) {
        if (field.type() != pugi::node_element)
            continue;
        const char* type = field.attribute("basic_type").value();
        const bool isDate = std::strcmp(type, "DATE") == 0;
        if (isDate || std::strcmp(type, "TIME") == 0)
            m_texts += foldedDisplay(field.text().get(), isDate);
        else
            addText(field.text().get());
        addText(field.attribute("name").value());
    }
}

void FoldedItemTexts::addText(const QString& text)
{
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii) {
        for (QChar c : text)
            m_texts += upperAscii(c.unicode());
    } else {
        m_texts += text.toUpper().toUtf8().toStdString();
    }
    m_texts += '\0';
}

void FoldedItemTexts::addText(const char* utf8)
{
    const std::string_view text(utf8);
    if (isAscii(text)) {
        for (char c : text)
            m_texts += upperAscii(static_cast<char16_t>(c));
        m_texts += '\0';
    } else {
        addText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
}

const std::string& FoldedItemTexts::foldedDisplay(const char* stored, bool isDate)
{
    auto& cache = isDate ? m_dateDisplay : m_timeDisplay;
    auto known = cache.find(stored);
    if (known == cache.end()) {
        const QString text = QString::fromUtf8(stored);
        const QByteArray display = (isDate ? dateDisplayText(text) : timeDisplayText(text)).toUpper().toUtf8();
        known = cache.emplace(stored, display.toStdString() + '\0').first;
    }
    return known->second;
}
