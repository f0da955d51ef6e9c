// A stand-in for the Vantrix library that lacks three of its exports, for the
// binding's missing-entry failure.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) std::uint8_t ShowTOC(const char *) { return 1; }
