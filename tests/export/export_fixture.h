#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>

#include <unistd.h>

#include "export/export_input.h"

namespace exportfx {

namespace fs = std::filesystem;
using tavisol::exports::LocationExport;
using tavisol::exports::VariableExport;

// A fresh folder per test, removed afterwards.
class ExportFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tavisol_export_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    static std::string slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void put(const fs::path& p, const std::string& bytes) {
        std::ofstream out(p, std::ios::binary);
        out << bytes;
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    fs::path dir_;
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
