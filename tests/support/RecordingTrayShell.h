#pragma once

#include "platform/ui/TrayShell.h"

#include <QList>

// A notification area that records every request in order and answers with a
// settable result; simulate() plays the user activating an icon.
class RecordingTrayShell final : public TrayShell {
public:
    enum class Call { Add, Modify, Remove };
    struct Request {
        Call call;
        quintptr id;
        QIcon icon;  // empty for Remove
        QString tip; // empty for Remove
    };

    explicit RecordingTrayShell(bool available = true);

    bool available;
    bool result = true;
    QList<Request> requests;

    bool isAvailable() const override;
    bool add(quintptr id, const QIcon& icon, const QString& tip) override;
    bool modify(quintptr id, const QIcon& icon, const QString& tip) override;
    bool remove(quintptr id) override;

    void simulate(quintptr id, QSystemTrayIcon::ActivationReason reason);
    // The kinds of the recorded requests, in order.
    QList<Call> calls() const;
};
