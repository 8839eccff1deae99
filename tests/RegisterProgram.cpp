// Every test program serves the reader's windows and resources: it registers the
// program with the window layer before main, as the reader does at its start.
#include "resources/Identity.h"

namespace {
[[maybe_unused]] const bool kRegistered = (RegisterProgramIdentity(), true);
}  // namespace
