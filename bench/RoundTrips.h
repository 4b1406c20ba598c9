#pragma once

#include <cstdint>

// Statements the server connection sent through libpq since the last reset:
// every call that waits for the server (exec, prepare, send) counts one.
namespace RoundTrips {
int64_t count();
void reset();
} // namespace RoundTrips
