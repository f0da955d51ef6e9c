#pragma once

// Where the program finds its files: everything sits beside the executable.

#include <filesystem>

namespace tavisol {

// The folder of the running executable.
std::filesystem::path programFolder();
// Station files, the elevation raster, the world bitmap, boundaries, capitals.
std::filesystem::path dataFolder();
// Raster map images and their legends.
std::filesystem::path vistrelFolder();
// The help file.
std::filesystem::path helpFile();

// Tests point the program folder elsewhere; an empty path restores the default.
void setProgramFolderForTesting(const std::filesystem::path &folder);

} // namespace tavisol
