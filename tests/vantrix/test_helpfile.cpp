// The compiled help file and the readers of its archive and sitemaps.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "helpctl/chmarchive.h"
#include "helpctl/sitemap.h"

namespace {

using namespace tavisol::help;

const char *const kHelpFile = TAVISOL_BIN_DIR "/Tavisol.chm";

TEST(Sitemap, NestedListsBecomeChildren) {
    const std::string hhc = R"(<HTML><BODY>
<OBJECT type="text/site properties"><param name="ImageType" value="Folder"></OBJECT>
<UL>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="Welcome"><param name="Local" value="index.htm"></OBJECT>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="Windows &amp; dialogs"></OBJECT>
  <UL>
    <LI><OBJECT type="text/sitemap"><PARAM NAME="name" VALUE="Settings"><param name="Local" value="settings.htm#ok"></OBJECT>
    <!-- <LI><OBJECT type="text/sitemap"><param name="Name" value="Hidden"></OBJECT> -->
    <LI><OBJECT type="text/sitemap"><param name="Name" value='Work&#98;ench'><param name="Local" value=workbench.htm></OBJECT>
  </UL>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="Last"><param name="Name" value="Alias"><param name="Local" value="last.htm"></OBJECT>
</UL></BODY></HTML>)";
    const auto entries = parseSitemap(hhc);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "Welcome");
    EXPECT_EQ(entries[0].local, "index.htm");
    EXPECT_EQ(entries[1].name, "Windows & dialogs");
    EXPECT_EQ(entries[1].local, "");
    ASSERT_EQ(entries[1].children.size(), 2u);
    EXPECT_EQ(entries[1].children[0].name, "Settings");
    EXPECT_EQ(entries[1].children[0].local, "settings.htm#ok");
    EXPECT_EQ(entries[1].children[1].name, "Workbench");
    EXPECT_EQ(entries[1].children[1].local, "workbench.htm");
    EXPECT_EQ(entries[2].name, "Last");
    EXPECT_TRUE(entries[2].children.empty());
}

TEST(Sitemap, BrokenTextEndsQuietly) {
    EXPECT_TRUE(parseSitemap("").empty());
    EXPECT_TRUE(parseSitemap("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\"").empty());
    const auto open = parseSitemap("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"A\"></OBJECT>");
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].name, "A");
    EXPECT_EQ(parseSitemap("</UL></UL><UL></UL>").size(), 0u);
}

TEST(Sitemap, EntitiesDecodeToUtf8) {
    EXPECT_EQ(decodeEntities("10 &deg;C &lt; 20&#176;C &amp;&#x41;"), "10 \xC2\xB0" "C < 20\xC2\xB0" "C &A");
    EXPECT_EQ(decodeEntities("a & b &unknown; &#;"), "a & b &unknown; &#;");
    EXPECT_EQ(decodeEntities("&minus;&#x20AC;&#128512;"), "\u2212\u20AC\U0001F600");
}

TEST(ResolvePath, RelativeReferencesJoinThePageFolder) {
    EXPECT_EQ(resolvePath("/index.htm", "settings.htm"), "/settings.htm");
    EXPECT_EQ(resolvePath("/pages/a.htm", "b.htm#part"), "/pages/b.htm");
    EXPECT_EQ(resolvePath("/pages/a.htm", "../img/./x.png"), "/img/x.png");
    EXPECT_EQ(resolvePath("/pages/a.htm", "/top.htm"), "/top.htm");
    EXPECT_EQ(resolvePath("/a.htm", "../../x.htm"), "/x.htm");
    EXPECT_EQ(resolvePath("", "x.htm"), "/x.htm");
}

TEST(ChmArchive, MissingOrForeignFileDoesNotOpen) {
    ChmArchive a;
    EXPECT_FALSE(a.open(TAVISOL_BIN_DIR "/no-such-help.chm"));
    EXPECT_FALSE(a.open(TAVISOL_SOURCE_DIR "/CMakeLists.txt"));
    EXPECT_FALSE(a.read("/index.htm").has_value());
}

class HelpFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(archive.open(kHelpFile)) << kHelpFile; }

    static void collect(const std::vector<SitemapEntry> &entries, std::vector<const SitemapEntry *> &out) {
        for (const auto &e : entries) {
            out.push_back(&e);
            collect(e.children, out);
        }
    }

    ChmArchive archive;
};

TEST_F(HelpFile, HasTitleStartPageContentsAndIndex) {
    EXPECT_EQ(archive.title(), "Tavisol Help");
    ASSERT_FALSE(archive.contentsPath().empty());
    ASSERT_FALSE(archive.indexPath().empty());
    ASSERT_FALSE(archive.defaultTopic().empty());
    EXPECT_TRUE(archive.read(archive.defaultTopic()).has_value());

    const auto toc = parseSitemap(archive.read(archive.contentsPath()).value_or(""));
    const auto index = parseSitemap(archive.read(archive.indexPath()).value_or(""));
    std::vector<const SitemapEntry *> tocEntries, indexEntries;
    collect(toc, tocEntries);
    collect(index, indexEntries);
    EXPECT_GE(tocEntries.size(), 12u);
    EXPECT_GE(indexEntries.size(), 40u);

    std::set<std::string> names;
    for (const auto *e : tocEntries)
        names.insert(e->name);
    for (const char *wanted : {"Getting started", "The current location", "Settings", "The estimation method",
                               "Warnings", "Output formats", "Data folders", "Station files"})
        EXPECT_TRUE(names.count(wanted)) << wanted;
}

// Every page named by the contents, the index and the pages' own links is in the file.
TEST_F(HelpFile, EveryReferenceResolves) {
    std::vector<const SitemapEntry *> entries;
    const auto toc = parseSitemap(archive.read(archive.contentsPath()).value_or(""));
    const auto index = parseSitemap(archive.read(archive.indexPath()).value_or(""));
    collect(toc, entries);
    collect(index, entries);
    std::set<std::string> pages;
    for (const auto *e : entries) {
        SCOPED_TRACE(e->name);
        if (e->local.empty())
            continue;
        const std::string path = resolvePath("/", e->local);
        EXPECT_TRUE(archive.read(path).has_value()) << path;
        pages.insert(path);
    }
    const std::regex link(R"re((?:href|src)="([^"#:]+)(#[^"]*)?")re", std::regex::icase);
    for (const auto &page : pages) {
        const std::string html = archive.read(page).value_or("");
        for (std::sregex_iterator it(html.begin(), html.end(), link), end; it != end; ++it) {
            const std::string target = resolvePath(page, (*it)[1].str());
            EXPECT_TRUE(archive.read(target).has_value()) << page << " -> " << target;
        }
    }
}

} // namespace
