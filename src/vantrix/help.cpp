// Opens the compiled help file through the help control, loaded at the first
// help request and kept for the life of the process.
#include <dlfcn.h>

#include <cstdint>
#include <string>

#include "helpctl/helpcontrol.h"
#include "numfmt/textread.h"
#include "vantrix/vantrix.h"

namespace {

enum class ControlState { NotLoaded, Loaded, Failed };

ControlState g_state = ControlState::NotLoaded;
TavisolHtmlHelpFn g_entry = nullptr;

// Folder of this library: the control is installed beside it.
std::string ownFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&ownFolder), &info) == 0 || info.dli_fname == nullptr)
        return {};
    const std::string path = info.dli_fname;
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string{} : path.substr(0, slash);
}

bool loadControl() {
    if (g_state == ControlState::NotLoaded) {
        g_state = ControlState::Failed;
        void *handle = nullptr;
        const std::string folder = ownFolder();
        const std::string control = folder + "/" TAVISOL_HELP_CONTROL_FILE;
        // Only a file: the loader would wait for ever on a pipe in its place.
        if (!folder.empty() && !tavisol::numfmt::CheckFileToRead(control))
            handle = dlopen(control.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) // then the usual search for libraries
            handle = dlopen(TAVISOL_HELP_CONTROL_FILE, RTLD_NOW | RTLD_LOCAL);
        if (handle != nullptr) {
            g_entry = reinterpret_cast<TavisolHtmlHelpFn>(dlsym(handle, TAVISOL_HELP_CONTROL_ENTRY));
            if (g_entry != nullptr)
                g_state = ControlState::Loaded;
            else
                dlclose(handle);
        }
    }
    return g_state == ControlState::Loaded;
}

std::uint8_t show(const char *helpFile, unsigned int command) {
    if (!loadControl())
        return 0;
    return g_entry(nullptr, helpFile, command, 0) != 0 ? 1 : 0;
}

} // namespace

extern "C" __attribute__((visibility("default"))) std::uint8_t ShowTOC(const char *helpFile) {
    return show(helpFile, TAVISOL_HELP_DISPLAY_TOC);
}

extern "C" __attribute__((visibility("default"))) std::uint8_t ShowIndex(const char *helpFile) {
    return show(helpFile, TAVISOL_HELP_DISPLAY_INDEX);
}
