#pragma once

#include <string>
#include <vector>

namespace tavisol::help {

// One entry of a help contents or index file: a caption, the page it opens
// (may be empty for a heading) and the entries beneath it.
struct SitemapEntry {
    std::string name;
    std::string local;
    std::vector<SitemapEntry> children;
};

// Reads the sitemap HTML of a contents (.hhc) or index (.hhk) file. Unknown
// tags are skipped; an unbalanced list ends at the end of the text.
std::vector<SitemapEntry> parseSitemap(const std::string &html);

// Replaces the character references of HTML text (named ones of the common
// set and numeric ones) by their UTF-8 characters.
std::string decodeEntities(const std::string &text);

} // namespace tavisol::help
