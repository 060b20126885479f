#include "editor/ui/OneTimeCodeDisplay.h"

#include <QFontDatabase>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int RefreshMs = 1000;
constexpr int CountdownHeight = 3;

} // namespace

OneTimeCodeDisplay::OneTimeCodeDisplay(std::function<QString()> seed, UnixClock clock, QWidget* parent)
    : QWidget(parent)
    , m_seed(std::move(seed))
    , m_clock(std::move(clock))
    , m_label(new QLabel(this))
    , m_countdown(new QProgressBar(this))
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("OneTimeCodeDisplay"));
    m_label->setObjectName(QStringLiteral("LabelOneTimeCode"));
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setBold(true);
    m_label->setFont(font);
    m_label->setTextInteractionFlags(Qt::NoTextInteraction);
    // Room for the widest code, so the row keeps its width as codes change.
    m_label->setMinimumWidth(m_label->fontMetrics().horizontalAdvance(QStringLiteral("8888 8888")));
    m_label->setAlignment(Qt::AlignCenter);
    m_countdown->setObjectName(QStringLiteral("ProgressOneTimeCode"));
    m_countdown->setTextVisible(false);
    m_countdown->setFixedHeight(CountdownHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(m_label);
    layout->addWidget(m_countdown);

    connect(m_timer, &QTimer::timeout, this, &OneTimeCodeDisplay::refresh);
    m_timer->start(RefreshMs);
    refresh();
}

void OneTimeCodeDisplay::refresh()
{
    const std::optional<OneTimeCode> generator = OneTimeCode::fromText(m_seed());
    if (!generator) {
        m_code.clear();
        m_label->setText(QStringLiteral("—"));
        m_countdown->setValue(0);
        return;
    }
    const qint64 now = m_clock();
    m_code = generator->codeAt(now);
    // Read in halves, as authenticator apps show them: "123 456".
    const qsizetype half = (m_code.size() + 1) / 2;
    m_label->setText(m_code.left(half) + QLatin1Char(' ') + m_code.mid(half));
    m_countdown->setRange(0, generator->period());
    m_countdown->setValue(generator->secondsLeftAt(now));
}
