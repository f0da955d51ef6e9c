#include <gtest/gtest.h>

#include <QLocale>

#include "numfmt/numfmt_qt.h"
#include "numfmt/textfile.h"

namespace nf = tavisol::numfmt;

namespace {

TEST(QtLocale, EnglishAndGermanSymbols) {
    const nf::Locale en = nf::fromQLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(en.decimal, ".");
    EXPECT_EQ(en.group, ",");
    EXPECT_EQ(en.minus, "-");
    EXPECT_EQ(nf::formatNumber(1234.5, 2, en), "1,234.50");

    const nf::Locale de = nf::fromQLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(de.decimal, ",");
    EXPECT_EQ(de.group, ".");
    EXPECT_EQ(nf::formatNumber(1234.5, 2, de), "1.234,50");
    EXPECT_EQ(nf::general(0.5f, de), "0,5");
}

// A number the program writes into a field reads back by the fields' rule,
// and the report files carry each mark, in every locale.
TEST(QtLocale, MarksReadBackAndFitTheFiles) {
    for (const char *name : {"sv_SE", "fr_FR", "de_CH", "ar_SA"}) {
        const nf::Locale l = nf::fromQLocale(QLocale(QString::fromLatin1(name)));
        EXPECT_EQ(nf::valCommaAsPoint(nf::general(-12.5f, l)), -12.5) << name;
        std::size_t replaced = 0;
        nf::utf8ToCp1252(nf::formatNumber(-1234.5, 2, l), &replaced);
        EXPECT_EQ(replaced, 0u) << name;
    }
}

TEST(QtLocale, OmittedGroupingMeansNoGroupSeparator) {
    QLocale loc(QLocale::English, QLocale::UnitedStates);
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    EXPECT_EQ(nf::fromQLocale(loc).group, "");
    EXPECT_EQ(nf::formatNumber(1234.5, 2, nf::fromQLocale(loc)), "1234.50");
}

TEST(QtLocale, UserLocaleFollowsQtDefault) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const nf::Locale fr = nf::userLocale();
    QLocale::setDefault(saved);
    EXPECT_EQ(fr.decimal, ",");
    EXPECT_FALSE(fr.group.empty());
    EXPECT_EQ(nf::parseRegional(nf::formatNumber(-1234567.5, 1, fr), fr), -1234567.5);
}

} // namespace
