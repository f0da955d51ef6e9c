#include "shell/programfolders.h"

#include <system_error>

namespace tavisol {

namespace {

std::filesystem::path &overrideFolder() {
    static std::filesystem::path folder;
    return folder;
}

} // namespace

std::filesystem::path programFolder() {
    if (!overrideFolder().empty())
        return overrideFolder();
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return std::filesystem::current_path();
    return exe.parent_path();
}

std::filesystem::path dataFolder() { return programFolder() / "TavisolData"; }

std::filesystem::path vistrelFolder() { return programFolder() / "vistreldata"; }

std::filesystem::path helpFile() { return programFolder() / "Tavisol.chm"; }

void setProgramFolderForTesting(const std::filesystem::path &folder) { overrideFolder() = folder; }

} // namespace tavisol
