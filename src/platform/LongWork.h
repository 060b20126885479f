#pragma once

#include <QString>

#include <functional>
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

protected:
    // Returns once work has run to its end.
    virtual void perform(const QString& description, const std::function<void()>& work) = 0;
};
