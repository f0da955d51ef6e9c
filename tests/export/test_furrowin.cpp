// Furrowin catalogue, climate (.PEN) and rainfall (.CLI) files.

#include "export_fixture.h"

#include "export/furrowin.h"
#include "export/ketlo.h"
#include "export/tillwick.h"

namespace ex = tavisol::exports;
namespace nf = tavisol::numfmt;
using namespace exportfx;

namespace {

using FurrowinFiles = ExportFileTest;

LocationExport Rome(const std::string& name = "Rome") {
    auto l = Location(name, 13.01F, 41.99F, 17.0F);
    l.Results[1].Best = Flat(25.0F);
    l.Results[2].Best = Flat(-1.04F);
    l.Results[6].Best = Flat(12.0F);
    l.Results[7].Best = Flat(0.45F);
    l.Results[7].Best[1] = 1.03F;
    l.Results[5].Best = Flat(90.0F);
    l.Results[5].Best[3] = 124.0F;
    l.Results[5].Best[12] = -6.0F;
    l.Results[3].Best = Flat(50.0F);
    l.Results[3].Best[1] = 100.0F;
    l.Results[3].Best[2] = 300.0F;
    l.Results[3].Best[3] = 250.0F;
    l.Results[3].Best[4] = -5.0F;
    l.Results[3].Best[5] = 86.456F;
    return l;
}

ex::FurrowinOptions Options(const fs::path& folder, bool newFile = true, bool listMode = false, int count = 0) {
    ex::FurrowinOptions o;
    o.NewFile = newFile;
    o.ListMode = listMode;
    o.ListCount = count;
    o.FileFolder = folder;
    return o;
}

TEST_F(FurrowinFiles, ClimateFileBytes) {
    ex::Furrowin(dir_ / "rome.lst", Rome(), Options(dir_));
    EXPECT_EQ(Slurp(dir_ / "rome.lst"), "1 rome\r\nRome\t13.01 41.99 17\r\n");
    EXPECT_EQ(Slurp(dir_ / "Rome.PEN"),
              "\"rome\",\"Rome\",17,41.99,\"N.L.\",13.01,\" 01\"\r\n"
              "25.0  -1.0  0     1036.8 24.0  0     2.9\r\n"   // sunshine 1.03 clamped to 1
              "25.0  -1.0  0     1036.8 10.8  0     3.2\r\n"
              "25.0  -1.0  0     1036.8 10.8  0     4.0\r\n"   // 124 mm over 31 days
              "25.0  -1.0  0     1036.8 10.8  0     3.0\r\n"
              "25.0  -1.0  0     1036.8 10.8  0     2.9\r\n"
              "25.0  -1.0  0     1036.8 10.8  0     3.0\r\n"
              "25.0  -1.0  0     1036.8 10.8  0     2.9\r\n"
              "25.0  -1.0  0     1036.8 10.8  0     2.9\r\n"
              "25.0  -1.0  0     1036.8 10.8  0     3.0\r\n"
              "25.0  -1.0  0     1036.8 10.8  0     2.9\r\n"
              "25.0  -1.0  0     1036.8 10.8  0     3.0\r\n"
              "25.0  -1.0  0     1036.8 10.8  0     0.0\r\n"   // negative PET clamped
              "\x1A\r\n"
              "\r\n");
}

TEST_F(FurrowinFiles, RainfallFileIsUnclampedWithEffectiveRainfall) {
    ex::Furrowin(dir_ / "rome.lst", Rome(), Options(dir_));
    const std::string fifty = "        90\t        50\t        46\r\n";
    EXPECT_EQ(Slurp(dir_ / "Rome.CLI"),
              "\"Rome\",\"\",\" 4\",0,0,0,0,0,0\r\n"
              "        90\t       100\t        84\r\n"
              "        90\t       300\t       155\r\n"
              "       124\t       250\t       150\r\n"
              "        90\t        -5\t     -5.04\r\n"
              "        90\t     86.46\t      74.5\r\n" +
                  fifty + fifty + fifty + fifty + fifty + fifty +
                  "        -6\t        50\t        46\r\n");
    EXPECT_FLOAT_EQ(ex::EffectiveRainfall(100.0F), 84.0F);
    EXPECT_FLOAT_EQ(ex::EffectiveRainfall(300.0F), 155.0F);
    EXPECT_FLOAT_EQ(ex::EffectiveRainfall(250.0F), 150.0F);
}

TEST_F(FurrowinFiles, CatalogueAndRainfallFollowTheLocale) {
    auto o = Options(dir_);
    o.Locale = nf::Locale::decimalComma();
    ex::Furrowin(dir_ / "rome.lst", Rome(), o);
    EXPECT_EQ(Slurp(dir_ / "rome.lst"), "1 rome\r\nRome\t13,01 41,99 17\r\n");
    EXPECT_NE(Slurp(dir_ / "Rome.CLI").find("     86,46\t      74,5\r\n"), std::string::npos);
    // The climate file keeps its points.
    EXPECT_NE(Slurp(dir_ / "Rome.PEN").find("\",17,41.99,\"N.L.\",13.01,"), std::string::npos);
}

TEST_F(FurrowinFiles, ListRunOverThreeLocations) {
    const auto catalogue = dir_ / "rome.lst";
    Put(catalogue, "old\r\n");
    const char* names[] = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i) {
        auto l = Rome(names[i]);
        l.Current.Longitude = static_cast<float>(i) + 0.5F;
        ex::Furrowin(catalogue, l, Options(dir_, i == 0, true, 3));
    }
    EXPECT_EQ(Slurp(catalogue), "3 rome\r\nA\t0.5 41.99 17\r\nB\t1.5 41.99 17\r\nC\t2.5 41.99 17\r\n");
    for (const char* n : names) {
        EXPECT_TRUE(fs::exists(dir_ / (std::string(n) + ".PEN")));
        EXPECT_TRUE(fs::exists(dir_ / (std::string(n) + ".CLI")));
    }
    // Not a list run and appending: no count line.
    ex::Furrowin(catalogue, Rome("D"), Options(dir_, false, false));
    EXPECT_EQ(Slurp(catalogue).substr(Slurp(catalogue).rfind("1 rome")), "1 rome\r\nD\t13.01 41.99 17\r\n");
}

TEST_F(FurrowinFiles, FailuresLeaveTheCatalogueUntouched) {
    const auto catalogue = dir_ / "rome.lst";
    Put(catalogue, "3 rome\r\nA\t1 2 3\r\n");
    EXPECT_THROW(ex::Furrowin(catalogue, Rome("/.."), Options(dir_, false, true, 3)), nf::TextFileError);
    EXPECT_THROW(ex::Furrowin(catalogue, Rome(""), Options(dir_, false, true, 3)), nf::TextFileError);
    EXPECT_THROW(ex::Furrowin(catalogue, Rome("x"), Options(dir_ / "gone", false, true, 3)), nf::TextFileError);
    // The .CLI name taken by a folder: neither file nor the catalogue is written.
    fs::create_directory(dir_ / "Busy.CLI");
    Put(dir_ / "Busy.PEN", "old\r\n");
    EXPECT_THROW(ex::Furrowin(catalogue, Rome("Busy"), Options(dir_, false, true, 3)), nf::TextFileError);
    EXPECT_EQ(Slurp(catalogue), "3 rome\r\nA\t1 2 3\r\n");
    EXPECT_EQ(Slurp(dir_ / "Busy.PEN"), "old\r\n");
    EXPECT_FALSE(fs::exists(dir_ / "...PEN"));
    EXPECT_TRUE(fs::is_empty(dir_ / "Busy.CLI"));
    EXPECT_EQ(entries(), 3U);
}

// Names the reading system cannot take as file names are refused by name,
// before anything is written.
TEST_F(FurrowinFiles, NamesThatCannotNameFilesAreRefused) {
    using Names = std::vector<std::string>;
    for (const std::string& name :
         Names{"  ", "???", "con.txt", "Nul .x", "lpt9", "C:OM1", "COM\u00b2", std::string(252, 'n')}) {
        const std::string refusal = "The location name '" + name + "' cannot be used as a file name";
        EXPECT_EQ(ex::FurrowinNameProblem(name).substr(0, refusal.size()), refusal);
    }
    for (const std::string& name : Names{"CON2", "COM10", "Console", "Rome.CON", "LPT", std::string(251, 'n')})
        EXPECT_EQ(ex::FurrowinNameProblem(name), "") << name;
    EXPECT_THROW(ex::Furrowin(dir_ / "rome.lst", Rome("Aux"), Options(dir_)), nf::TextFileError);
    EXPECT_EQ(entries(), 0U);
}

// The .PEN and .CLI files are named after the location; the catalogue lists
// the name in Windows-1252, so a name it cannot carry would list files that
// no reader finds.
TEST_F(FurrowinFiles, NamesOutsideWindows1252AreRefusedByName) {
    const auto catalogue = dir_ / "poland.lst";
    try {
        ex::Furrowin(catalogue, Rome("\u0141\u00f3d\u017a \u0141ask"), Options(dir_));
        ADD_FAILURE() << "no error";
    } catch (const nf::TextFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The location name '\u0141\u00f3d\u017a \u0141ask' cannot be used for the Furrowin files: "
                  "these characters cannot be written in their names: \u0141 \u017a");
    }
    EXPECT_THROW(ex::Furrowin(catalogue, Rome("Km \u2212 5"), Options(dir_)), nf::TextFileError);
    EXPECT_EQ(entries(), 0U);
    // Names within Windows-1252 are fine.
    ex::Furrowin(catalogue, Rome("Z\u00fcrich"), Options(dir_));
    EXPECT_EQ(Slurp(catalogue), "1 poland\r\nZ\xFCrich\t13.01 41.99 17\r\n");
    EXPECT_TRUE(fs::exists(dir_ / "Z\u00fcrich.PEN"));
}

TEST_F(FurrowinFiles, QuotesInsideQuotedNamesBecomeApostrophes) {
    const std::string name = "Rome \"centre\", Italy";
    ex::Furrowin(dir_ / "rome.lst", Rome(name), Options(dir_));
    const std::string pen = Slurp(dir_ / "Rome centre, Italy.PEN");
    EXPECT_EQ(pen.substr(0, pen.find('\r')), "\"rome\",\"Rome 'centre', Italy\",17,41.99,\"N.L.\",13.01,\" 01\"");
    const std::string cli = Slurp(dir_ / "Rome centre, Italy.CLI");
    EXPECT_EQ(cli.substr(0, cli.find('\r')), "\"Rome 'centre', Italy\",\"\",\" 4\",0,0,0,0,0,0");
    EXPECT_EQ(ex::PrintFurrowin(Rome(name), nf::Locale::english())[1].str().substr(0, 28),
              "\" \",\"Rome 'centre', Italy\" ,");

    const auto ketlo = ex::KetloLines(EastOfRome(0, Flat(1)), false);
    auto quoted = EastOfRome(0, Flat(1));
    quoted.LocationName = name;
    EXPECT_EQ(ex::KetloLines(quoted, false).front().substr(0, 23), "\"Rome 'centre', Italy\",");
    EXPECT_EQ(ex::TillwickInputLines(Rome(name), false).front().substr(0, 23), "\"Rome 'centre', Italy\",");
    EXPECT_EQ(ketlo.front().substr(0, 15), "\"East of Rome\",");
}

// Temperatures and PET per day are single-precision values: they round on
// the value as estimated (2.35 to 2.4), not on its binary expansion.
TEST(FurrowinTables, SinglePrecisionValuesRoundAsEstimated) {
    auto l = Rome();
    l.Results[1].Best[4] = 2.35F;
    l.Results[2].Best[4] = -2.35F;
    l.Results[5].Best[4] = 70.5F;  // 2.35 mm a day over 30 days
    const auto file = ex::FurrowinFileTable(l);
    EXPECT_EQ(file[4][1], "2.4");
    EXPECT_EQ(file[4][2], "-2.4");
    EXPECT_EQ(file[4][7], "2.4");
    l.Results[1].Best[4] = 2.675F;
    const auto printed = ex::FurrowinPrintTable(l, nf::Locale::english());
    EXPECT_EQ(printed[4][1], "      2.68");
}

TEST_F(FurrowinFiles, PrintedClimateTable) {
    auto l = Rome();
    l.Calc.Latitude = -41.5F;
    const auto printed = ex::PrintFurrowin(l, nf::Locale::decimalComma());
    ASSERT_EQ(printed.size(), 15u);
    EXPECT_EQ(printed[0].str(), " ");
    EXPECT_EQ(printed[1].str(), "\" \",\"Rome\" ,    17, -41,50,\" \", 13,01");
    EXPECT_EQ(printed[2].str(),
              "     25,00      -1,04          0   1.036,80      24,00          0       2,90 ");
    EXPECT_EQ(printed[14].str(), std::string(77, ' '));
}

} // namespace
