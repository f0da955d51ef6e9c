#pragma once

// The demo data of tools/make-demo-data, written once per benchmark process
// into a temporary program folder and removed at exit.

#include <filesystem>

namespace tavisol::bench {

// The program folder holding TavisolData/ and vistreldata/. The first call
// runs the maker (a few seconds); it aborts the process when that fails.
const std::filesystem::path &DemoProgramFolder();
inline std::filesystem::path DemoDataFolder() { return DemoProgramFolder() / "TavisolData"; }

} // namespace tavisol::bench
