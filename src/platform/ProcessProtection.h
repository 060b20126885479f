#pragma once

// What the process does about its own memory, which holds passwords and
// deciphered records.
namespace ProcessProtection {

// Makes the process non-dumpable: no core file is written, and other
// processes of the same user can neither attach a debugger nor read its
// memory through /proc. Called first thing in main(); false when the system
// refused.
bool harden();

} // namespace ProcessProtection
