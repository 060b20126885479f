#include "search/FoldedItemTexts.h"

#include "base/SecureWipe.h"
#include "document/FieldFormats.h"
#include "document/Schema.h"

#include <algorithm>
#include <cstring>

#include <string.h> // memmem

FoldedItemTexts::FoldedItemTexts(const pugi::xml_node& root)
{
    Schema::walkTree(root, [this](const pugi::xml_node& item, int depth) {
        addItem(item, depth);
        return true;
    });
    m_starts.push_back(m_texts.size());
    m_positions.reserve(m_items.size());
    for (std::uint32_t position = 0; position < m_items.size(); ++position)
        m_positions.emplace_back(m_items[position].element.internal_object(), position);
    std::sort(m_positions.begin(), m_positions.end());
    // The display texts point into the document, which may change from now on.
    m_dateDisplay.clear();
    m_timeDisplay.clear();
}

FoldedItemTexts::~FoldedItemTexts()
{
    SecureWipe::wipe(m_texts.data(), m_texts.capacity());
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
    const void* wanted = element.internal_object();
    const auto found = std::lower_bound(m_positions.begin(), m_positions.end(), wanted,
                                        [](const auto& entry, const void* key) { return entry.first < key; });
    return found == m_positions.end() || found->first != wanted ? -1 : static_cast<int>(found->second);
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
    m_items.push_back({element, depth, record});
    m_starts.push_back(m_texts.size());
    if (!record) {
        addFolded(element.attribute("name").value());
        endText();
        return;
    }
    const Schema::CaptionParts caption = Schema::recordCaptionParts(element);
    addFolded(caption.first);
    if (*caption.second != '\0') {
        append(" ");
        addFolded(caption.second);
    }
    endText();
    // The fields follow the label.
    for (pugi::xml_node field = element.first_child().next_sibling(); field; field = field.next_sibling()) {
        if (field.type() != pugi::node_element)
            continue;
        const char* type = field.attribute("basic_type").value();
        const bool isDate = std::strcmp(type, "DATE") == 0;
        if (isDate || std::strcmp(type, "TIME") == 0) {
            append(foldedDisplay(field.text().get(), isDate));
        } else {
            addFolded(field.text().get());
        }
        endText();
        addFolded(field.attribute("name").value());
        endText();
    }
}

// The texts hold secret values: the buffer grows by hand, so that no
// outgrown copy goes back to the allocator unwiped.
void FoldedItemTexts::makeRoom(std::size_t more)
{
    if (m_texts.size() + more <= m_texts.capacity())
        return;
    std::string larger;
    larger.reserve(std::max(m_texts.capacity() * 2, m_texts.size() + more));
    larger.append(m_texts);
    SecureWipe::wipe(m_texts.data(), m_texts.capacity());
    m_texts.swap(larger);
}

void FoldedItemTexts::append(std::string_view text)
{
    makeRoom(text.size());
    m_texts += text;
}

void FoldedItemTexts::addFolded(std::string_view utf8)
{
    const std::size_t start = m_texts.size();
    append(utf8);
    // Upper-casing maps ASCII to ASCII, letter by letter, as toUpper() does.
    for (auto c = m_texts.begin() + static_cast<std::ptrdiff_t>(start); c != m_texts.end(); ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (byte >= 0x80) {
            m_texts.resize(start);
            QString upper = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toUpper();
            QByteArray folded = upper.toUtf8();
            append(std::string_view(folded.constData(), static_cast<std::size_t>(folded.size())));
            SecureWipe::wipe(upper);
            SecureWipe::wipe(folded);
            return;
        }
        if (byte >= 'a' && byte <= 'z')
            *c = static_cast<char>(byte - ('a' - 'A'));
    }
}

const std::string& FoldedItemTexts::foldedDisplay(const char* stored, bool isDate)
{
    auto& cache = isDate ? m_dateDisplay : m_timeDisplay;
    auto known = cache.find(stored);
    if (known == cache.end()) {
        const QString text = QString::fromUtf8(stored);
        const QByteArray display = (isDate ? dateDisplayText(text) : timeDisplayText(text)).toUpper().toUtf8();
        known = cache.emplace(stored, display.toStdString()).first;
    }
    return known->second;
}
