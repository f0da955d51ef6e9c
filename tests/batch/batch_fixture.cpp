#include "batch_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "engine/engine.h"
#include "numfmt/textfile.h"

namespace tavisol::batch::testing {

namespace {

std::string StationsAround(const Point &p, int variable) {
    const double offsets[8][2] = {{0.10, 0.05}, {-0.15, 0.10}, {0.20, -0.20}, {-0.25, -0.15},
                                  {-0.25, -0.15}, {0.35, 0.30}, {-0.40, 0.35}, {0.05, -0.45}};
    std::ostringstream out;
    out.precision(9);
    for (int k = 0; k < 8; ++k) {
        out << p.lat + offsets[k][1] << "," << p.lon + offsets[k][0] << "," << 20.0 + 40.0 * k;
        for (int m = 0; m < 12; ++m)
            out << "," << (variable == 7 ? 0.3 + 0.02 * m + 0.01 * k : 10.0 * (variable + 1) + m + 0.5 * k);
        out << ",\"St" << variable << "_" << k + 1 << "\",\"Land\"\r\n";
    }
    return out.str();
}

} // namespace

void WriteDataFolder(const std::filesystem::path &programFolder, const std::vector<Point> &points) {
    const std::filesystem::path data = programFolder / "TavisolData";
    std::filesystem::create_directories(data);
    for (int v = 0; v < 8; ++v) {
        std::map<std::string, std::string> files;
        for (const Point &p : points) {
            const auto names = engine::StationFileNames(static_cast<engine::Integer>(v), static_cast<float>(p.lat),
                                                        static_cast<float>(p.lon));
            const bool none = std::find(p.without.begin(), p.without.end(), v) != p.without.end();
            for (std::size_t k = 0; k < names.size(); ++k)
                files[names[k]] += k == 0 && !none ? StationsAround(p, v) : std::string();
        }
        for (const auto &[name, text] : files) {
            std::ofstream out(data / name, std::ios::binary);
            out << text;
        }
    }
}

engine::EngineState MakeState(const std::filesystem::path &programFolder) {
    engine::EngineState state;
    engine::SetInitialValues(state);
    state.DataFolder = programFolder / "TavisolData";
    return state;
}

engine::EngineState EstimatedAt(const std::filesystem::path &programFolder, int variable, float lon, float lat,
                                float alt) {
    engine::EngineState s = MakeState(programFolder);
    s.CurrentVariable = static_cast<engine::Integer>(variable);
    s.CalcLongitude = lon;
    s.CalcLatitude = lat;
    s.CalcAltitude = alt;
    EXPECT_TRUE(engine::RunBatchChain(s));
    return s;
}

std::vector<std::string> ReadLines(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream buf;
    buf << in.rdbuf();
    // The files are written in Windows-1252; the tests compare UTF-8.
    const std::string text = numfmt::cp1252ToUtf8(buf.str());
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string::npos) {
            ADD_FAILURE() << "text after the last line end in " << file;
            lines.push_back(text.substr(start));
            break;
        }
        EXPECT_TRUE(lf > start && text[lf - 1] == '\r') << "bare LF in " << file;
        lines.push_back(text.substr(start, lf > start && text[lf - 1] == '\r' ? lf - 1 - start : lf - start));
        start = lf + 1;
    }
    return lines;
}

RecordingHost::RecordingHost() {
    host.Choices = [this] { return choices; };
    host.Message = [this](const Message &m) {
        messages.push_back(m);
        return m.buttons == MsgButtons::YesNo ? answerYes : true;
    };
    host.ProgressStart = [this](double) { progress.clear(); };
    host.Progress = [this](double v) { progress.push_back(v); };
    host.ShowSummary = [this](const std::vector<std::string> &lines) {
        summary = lines;
        summaryShown = true;
    };
    host.Elevation = [this](float, float) { return elevation; };
}

} // namespace tavisol::batch::testing
