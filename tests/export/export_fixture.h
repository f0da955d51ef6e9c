#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "export/export_input.h"
#include "support/files.h"

namespace exportfx {

namespace fs = std::filesystem;
using tavisol::exports::LocationExport;
using tavisol::exports::VariableExport;

using tavisol::testsupport::Put;
using tavisol::testsupport::Slurp;

class ExportFileTest : public tavisol::testsupport::FolderPerTest {
protected:
    ExportFileTest() : FolderPerTest("tavisol_export") {}
};

// Months 1..12 (and the annual value when given) of a Best array.
inline tavisol::engine::Months13 Months(std::initializer_list<float> values) {
    tavisol::engine::Months13 m{};
    std::size_t i = 1;
    for (float v : values) m[i++] = v;
    return m;
}

inline tavisol::engine::Months13 Flat(float v) {
    tavisol::engine::Months13 m{};
    for (std::size_t i = 1; i <= 13; ++i) m[i] = v;
    return m;
}

inline VariableExport EastOfRome(int variable, const tavisol::engine::Months13& best) {
    VariableExport v;
    v.LocationName = "East of Rome";
    v.Calc = {13.01F, 41.99F, 17.0F};
    v.Variable = static_cast<tavisol::engine::Integer>(variable);
    v.Result.Best = best;
    return v;
}

inline LocationExport Location(const std::string& name, float lon, float lat, float alt) {
    LocationExport l;
    l.LocationName = name;
    l.Calc = {lon, lat, alt};
    l.Current = {lon, lat, alt};
    return l;
}

} // namespace exportfx
