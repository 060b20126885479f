#pragma once

#include "platform/LongWork.h"

#include <QStringList>

// Long work run at once on the caller's thread, remembering what the user
// would have been told about each piece.
class InPlaceWork final : public LongWork {
public:
    QStringList descriptions;

private:
    void perform(const QString& description, const std::function<void()>& work) override
    {
        descriptions << description;
        work();
    }
};
