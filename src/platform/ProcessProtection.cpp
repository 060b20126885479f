#include "platform/ProcessProtection.h"

#include <sys/prctl.h>

namespace ProcessProtection {

bool harden()
{
    return prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
}

} // namespace ProcessProtection
