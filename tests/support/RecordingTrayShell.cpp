#include "RecordingTrayShell.h"

RecordingTrayShell::RecordingTrayShell(bool available)
    : available(available)
{
}

bool RecordingTrayShell::isAvailable() const
{
    return available;
}

bool RecordingTrayShell::add(quintptr id, const QIcon& icon, const QString& tip)
{
    requests.append({Call::Add, id, icon, tip});
    return result;
}

bool RecordingTrayShell::modify(quintptr id, const QIcon& icon, const QString& tip)
{
    requests.append({Call::Modify, id, icon, tip});
    return result;
}

bool RecordingTrayShell::remove(quintptr id)
{
    requests.append({Call::Remove, id, {}, {}});
    return result;
}

void RecordingTrayShell::simulate(quintptr id, QSystemTrayIcon::ActivationReason reason)
{
    emit activated(id, reason);
}

QList<RecordingTrayShell::Call> RecordingTrayShell::calls() const
{
    QList<Call> kinds;
    for (const Request& request : requests)
        kinds.append(request.call);
    return kinds;
}
