#include "demo_data.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>

namespace tavisol::bench {

namespace {

class DemoFolder {
public:
    DemoFolder() {
        path_ = std::filesystem::temp_directory_path() / ("tavisol_bench_demo_" + std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        const std::string command = "\"" TAVISOL_BIN_DIR "/make-demo-data\" \"" + path_.string() + "\" > \"" +
                                    (path_ / "maker.log").string() + "\" 2>&1";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "make-demo-data failed, see %s\n", (path_ / "maker.log").c_str());
            std::abort();
        }
        // Files changed within the last moments are read again at every use
        // (their time stamps cannot yet tell a change); let that window pass
        // so that the figures show the steady state.
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    }
    ~DemoFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path &path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace

const std::filesystem::path &DemoProgramFolder() {
    static DemoFolder folder;
    return folder.path();
}

} // namespace tavisol::bench
