#include "base/CodePage.h"

#include "base/SecureWipe.h"

#include <QStringDecoder>

#include <algorithm>
#include <map>

namespace {

// Windows-1252 from 0x80 on; the five bytes Windows leaves undefined map to
// the C1 control of the same number, as Windows itself converts them.
constexpr CodePage::UpperHalf Windows1252 = [] {
    CodePage::UpperHalf table{};
    constexpr char16_t HighControlRange[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    for (int i = 0; i < 32; ++i)
        table[i] = HighControlRange[i];
    for (int i = 32; i < 128; ++i)
        table[i] = static_cast<char16_t>(0x80 + i);
    return table;
}();

constexpr int CandidateNumbers[] = {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

// A byte the system's converter has no character for becomes a private-use
// character of its own, so that it survives a read and a write unchanged.
constexpr char16_t UndefinedByteBase = 0xF700;

// The upper half as the system's converter (ICU) decodes it; nullopt when it
// does not know the code page.
std::optional<CodePage::UpperHalf> convertedUpperHalf(int number)
{
    QStringDecoder decoder(QStringLiteral("windows-%1").arg(number).toLatin1().constData(),
                           QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    CodePage::UpperHalf table{};
    for (int i = 0; i < 128; ++i) {
        const QString text = decoder.decode(QByteArray(1, static_cast<char>(0x80 + i)));
        const bool single = text.size() == 1 && text.at(0) != QChar::ReplacementCharacter;
        table[i] = single ? text.at(0).unicode() : static_cast<char16_t>(UndefinedByteBase + 0x80 + i);
    }
    return table;
}

const std::map<int, CodePage::UpperHalf>& tables()
{
    static const std::map<int, CodePage::UpperHalf> built = [] {
        std::map<int, CodePage::UpperHalf> all{{1252, Windows1252}};
        for (int number : CandidateNumbers) {
            if (all.count(number) == 0) {
                if (std::optional<CodePage::UpperHalf> table = convertedUpperHalf(number))
                    all.emplace(number, *table);
            }
        }
        return all;
    }();
    return built;
}

} // namespace

const QList<int>& CodePage::offered()
{
    static const QList<int> numbers = [] {
        QList<int> found;
        for (const auto& entry : tables())
            found.append(entry.first);
        return found;
    }();
    return numbers;
}

std::optional<CodePage> CodePage::fromNumber(int number)
{
    const auto found = tables().find(number);
    if (found == tables().end())
        return std::nullopt;
    return CodePage(number, &found->second);
}

CodePage CodePage::windows1252()
{
    return CodePage(1252, &Windows1252);
}

CodePage::CodePage(int number, const UpperHalf* upperHalf)
    : m_number(number)
    , m_upperHalf(upperHalf)
{
}

QString CodePage::name() const
{
    return QStringLiteral("Windows-%1").arg(m_number);
}

QString CodePage::decode(const QByteArray& bytes) const
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = QChar(byte < 0x80 ? char16_t(byte) : (*m_upperHalf)[byte - 0x80]);
    }
    return text;
}

std::optional<QByteArray> CodePage::encode(const QString& text) const
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        const char16_t character = c.unicode();
        if (character < 0x80) {
            bytes.append(static_cast<char>(character));
            continue;
        }
        const auto* found = std::find(m_upperHalf->begin(), m_upperHalf->end(), character);
        if (found == m_upperHalf->end()) {
            // What was converted so far may be most of a password.
            SecureWipe::wipe(bytes);
            return std::nullopt;
        }
        bytes.append(static_cast<char>(0x80 + (found - m_upperHalf->begin())));
    }
    return bytes;
}
