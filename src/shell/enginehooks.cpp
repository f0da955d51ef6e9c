#include "shell/hooks.h"

namespace tavisol {

void InitEngineDefaults() {
    // Calls the engine's SetInitialValues (power exponent, distances, station
    // count, altitude window, corrections, captions, month names) once the
    // engine library is linked into the shell.
}

} // namespace tavisol
