#pragma once

#include <QString>

#include <optional>

// Where the command-line tool gets passwords from.
class PasswordReader {
public:
    virtual ~PasswordReader() = default;
    // The typed password, or nullopt when input ended.
    virtual std::optional<QString> read(const QString& prompt) = 0;
};

// Asks on the controlling terminal with echo switched off.
class TerminalPasswordReader final : public PasswordReader {
public:
    std::optional<QString> read(const QString& prompt) override;
};
