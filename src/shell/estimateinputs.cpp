#include "shell/estimateinputs.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "shell/appstate.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"

namespace tavisol {

namespace {

std::string DataFolderStamp() {
    namespace fs = std::filesystem;
    std::vector<std::string> entries;
    std::error_code ec;
    for (fs::directory_iterator it(dataFolder(), ec), end; !ec && it != end; it.increment(ec)) {
        struct stat st {};
        std::string entry = it->path().filename().string();
        if (::stat(it->path().c_str(), &st) == 0)
            entry += '|' + std::to_string(st.st_ino) + '|' + std::to_string(st.st_size) + '|' +
                     std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec) + '|' +
                     std::to_string(st.st_ctim.tv_sec) + '.' + std::to_string(st.st_ctim.tv_nsec);
        entries.push_back(std::move(entry));
    }
    if (ec)
        return "unreadable: " + ec.message();
    std::sort(entries.begin(), entries.end());
    std::string stamp;
    for (const std::string &e : entries)
        stamp += e + '\n';
    return stamp;
}

} // namespace

EstimateInputs CurrentEstimateInputs() {
    const AppState &app = appState();
    return {app.CurLongitude, app.CurLatitude, app.CurElevation, sharedSettings(), DataFolderStamp()};
}

bool EstimateCurrency::Stale() const { return *mark_ || !last_ || *last_ != CurrentEstimateInputs(); }

EstimateInputs EstimateCurrency::Start() {
    *mark_ = false;
    last_ = CurrentEstimateInputs();
    failed_ = false;
    failure_.clear();
    return *last_;
}

void EstimateCurrency::Finish(bool ok, std::string failure) {
    failed_ = !ok;
    failure_ = ok ? std::string() : std::move(failure);
}

} // namespace tavisol
