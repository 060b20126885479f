#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <utility>

class QWidget;

// Work that can take a while (deriving a key, reading or writing a large
// file), run on a thread of its own so that the program's windows go on
// painting. Their input waits until the work is done; the pointer shows the
// program busy at once and, after half a second, a small window says what is
// being done.
//
// Timers and posted events are still delivered meanwhile: whatever they do
// must not change what the work reads or writes. running() lets them wait.
class BackgroundWork {
public:
    // description: what the user is told, e.g. "Saving…"; parent: the window
    // the progress window belongs to (may be null).
    BackgroundWork(QString description, QWidget* parent);

    template <typename Work>
    auto run(Work work) const -> decltype(work())
    {
        std::optional<decltype(work())> result;
        runOnThread([&] { result.emplace(work()); });
        return std::move(*result);
    }

    // Whether some work is running now.
    static bool running();

    // How long the work may take before the progress window shows.
    static constexpr int ProgressDelayMs = 500;

private:
    void runOnThread(const std::function<void()>& work) const;

    QString m_description;
    QWidget* m_parent;
};
