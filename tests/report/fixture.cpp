#include "report/fixture.h"

#include <cmath>

namespace reporttest {

using namespace tavisol;

report::ReportInput SampleInput(engine::Integer variable) {
    report::ReportInput in;
    in.Variable = variable;
    in.CalcLatitude = 41.9f;
    in.CalcLongitude = 12.483f;
    in.CalcAltitude = 17;
    auto &r = in.Result;
    for (std::size_t i = 1; i <= 13; ++i) {
        const float m = static_cast<float>(i);
        r.Best[i] = i == 13 ? 15.5f : 15.5f - 8.0f * static_cast<float>(std::cos((m - 1) / 6.0 * 3.14159265));
        r.StdErr[i] = 0.5f + 0.01f * m;
        r.Bias[i] = -0.1f * m;
        r.VertGrad[i] = -0.0065f;
        r.LonGrad[i] = 0.25f;
        r.LatGrad[i] = -0.75f;
        r.DirGrad[i] = 180.0f + m;
        r.DirGradText[i] = "S ";
        r.AbsGrad[i] = 0.8f;
        r.ExplVar[i] = 0.42f;
    }
    r.Harmonics[13] = 15.5f;
    r.Harmonics[7] = -8.0f;

    const char *names[] = {"", "ROMA CIAMPINO AIRPORT", "LATINA", "FROSINONE"};
    for (std::size_t k = 1; k <= 3; ++k) {
        auto &s = in.Neighbours[k];
        s.Latitude = 41.0f + static_cast<float>(k) / 10;
        s.Longitude = 12.0f + static_cast<float>(k) / 4;
        s.Altitude = 100.0f * static_cast<float>(k);
        s.Distance = 10.5f * static_cast<float>(k);
        s.Direction = 45.0f * static_cast<float>(k);
        s.Compass = k == 1 ? "NE" : "E ";
        s.Name = names[k];
        s.Country = "ITALY";
        s.Active = 1;
        for (std::size_t m = 1; m <= 12; ++m)
            s.Values[m] = 10.0f + static_cast<float>(m) + static_cast<float>(k) / 10;
        s.Values[13] = 16.5f + static_cast<float>(k) / 10;
    }
    in.Neighbours[3].Direction = engine::Missing;
    in.Neighbours[3].Altitude = engine::Missing;
    auto &mean = in.Neighbours[engine::SummaryRecord];
    mean.Latitude = 41.2f;
    mean.Longitude = 12.5f;
    mean.Altitude = 200;
    mean.Distance = 21;
    mean.Direction = 9999;
    mean.Compass = "X ";
    for (std::size_t m = 1; m <= 13; ++m)
        mean.Values[m] = 16.6f;
    in.NeighbourCount = 3;
    return in;
}

report::ReportInput ConstantInput(engine::Integer variable, float mean, float stdErr) {
    report::ReportInput in = SampleInput(variable);
    in.Result.Harmonics = {};
    in.Result.Harmonics[13] = mean;
    for (std::size_t i = 1; i <= 13; ++i) {
        in.Result.Best[i] = mean;
        in.Result.StdErr[i] = stdErr;
    }
    return in;
}

int Find(const std::vector<std::string> &lines, const std::string &text, int from) {
    for (int i = from; i < static_cast<int>(lines.size()); ++i)
        if (lines[static_cast<std::size_t>(i)] == text)
            return i;
    return -1;
}

} // namespace reporttest
