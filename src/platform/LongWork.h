#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

// Runs work that can take a while (deriving a key, reading or writing a
// large file) while the user is kept informed: the windows' side says what
// is being done; tests run it in place.
class LongWork {
public:
    virtual ~LongWork() = default;

    // description: what the user is told, e.g. "Saving…".
    template <typename Work>
    auto run(const QString& description, Work work) -> decltype(work())
    {
        std::optional<decltype(work())> result;
        perform(description, [&] { result.emplace(work()); });
        return std::move(*result);
    }

    // The same for work that the user may give up on, with a button named
    // cancel: nullopt once they did. The work cannot be stopped; it goes on
    // unseen to its end, so it must own whatever it touches.
    template <typename Work>
    auto runCancellable(const QString& description, const QString& cancel, Work work) -> std::optional<decltype(work())>
    {
        auto result = std::make_shared<std::optional<decltype(work())>>();
        if (!performCancellable(description, cancel,
                                [result, work = std::move(work)]() mutable { result->emplace(work()); }))
            return std::nullopt;
        return std::move(*result);
    }

protected:
    // Returns once work has run to its end.
    virtual void perform(const QString& description, const std::function<void()>& work) = 0;
    // Returns true once work has run to its end, or false as soon as the
    // user cancels it. Here it cannot be cancelled.
    virtual bool performCancellable(const QString& description, const QString& cancel, std::function<void()> work)
    {
        Q_UNUSED(cancel);
        perform(description, work);
        return true;
    }
};
