#include "health/PasswordStrength.h"

#include <zxcvbn.h>

namespace PasswordStrength {

double estimatedBits(const QString& password)
{
    const QByteArray utf8 = password.toUtf8();
    return ZxcvbnMatch(utf8.constData(), nullptr, nullptr);
}

} // namespace PasswordStrength
