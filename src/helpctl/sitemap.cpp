#include "helpctl/sitemap.h"

#include <cctype>
#include <charconv>
#include <map>

#include "numfmt/textfile.h"

namespace tavisol::help {

namespace {

std::string lower(std::string s) {
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Attributes of one tag's inside text (after the tag name).
std::map<std::string, std::string> attributes(const std::string &s) {
    std::map<std::string, std::string> attrs;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (std::isspace(static_cast<unsigned char>(s[i])) || s[i] == '/'))
            ++i;
        std::size_t start = i;
        while (i < s.size() && s[i] != '=' && !std::isspace(static_cast<unsigned char>(s[i])) && s[i] != '/')
            ++i;
        const std::string key = lower(s.substr(start, i - start));
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
        std::string value;
        if (i < s.size() && s[i] == '=') {
            ++i;
            while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
                ++i;
            if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
                const char quote = s[i++];
                start = i;
                while (i < s.size() && s[i] != quote)
                    ++i;
                value = s.substr(start, i - start);
                if (i < s.size())
                    ++i;
            } else {
                start = i;
                while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i])))
                    ++i;
                value = s.substr(start, i - start);
            }
        }
        if (!key.empty())
            attrs[key] = decodeEntities(value);
        else if (i == start)
            ++i;
    }
    return attrs;
}

} // namespace

std::string decodeEntities(const std::string &text) {
    static const std::map<std::string, unsigned long> named = {
        {"amp", '&'},    {"lt", '<'},     {"gt", '>'},     {"quot", '"'},   {"apos", '\''},
        {"nbsp", 0xA0},  {"deg", 0xB0},   {"plusmn", 0xB1}, {"times", 0xD7}, {"minus", 0x2212},
        {"ndash", 0x2013}, {"mdash", 0x2014}, {"le", 0x2264}, {"ge", 0x2265}};
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '&') {
            const auto semi = text.find(';', i);
            if (semi != std::string::npos && semi - i <= 10) {
                const std::string name = text.substr(i + 1, semi - i - 1);
                unsigned long cp = 0;
                bool ok = false;
                if (name.size() > 1 && name[0] == '#') {
                    const bool hex = name[1] == 'x' || name[1] == 'X';
                    const std::string digits = name.substr(hex ? 2 : 1);
                    const auto [end, ec] =
                        std::from_chars(digits.data(), digits.data() + digits.size(), cp, hex ? 16 : 10);
                    ok = !digits.empty() && ec == std::errc() && end == digits.data() + digits.size() && cp > 0 &&
                         cp < 0x110000;
                } else if (const auto it = named.find(name); it != named.end()) {
                    cp = it->second;
                    ok = true;
                }
                if (ok) {
                    numfmt::appendUtf8(out, static_cast<char32_t>(cp));
                    i = semi + 1;
                    continue;
                }
            }
        }
        out += text[i++];
    }
    return out;
}

std::vector<SitemapEntry> parseSitemap(const std::string &html) {
    std::vector<SitemapEntry> root;
    // The lists being filled, innermost last; a nested list belongs to the
    // last entry of the list around it.
    std::vector<std::vector<SitemapEntry> *> lists;
    int depth = 0;
    bool inEntry = false;
    SitemapEntry current;

    std::size_t i = 0;
    while (true) {
        const auto open = html.find('<', i);
        if (open == std::string::npos)
            break;
        if (html.compare(open, 4, "<!--") == 0) {
            const auto endComment = html.find("-->", open + 4);
            if (endComment == std::string::npos)
                break;
            i = endComment + 3;
            continue;
        }
        const auto close = html.find('>', open);
        if (close == std::string::npos)
            break;
        const std::string inside = html.substr(open + 1, close - open - 1);
        i = close + 1;

        std::size_t nameEnd = 0;
        while (nameEnd < inside.size() && !std::isspace(static_cast<unsigned char>(inside[nameEnd])))
            ++nameEnd;
        const std::string tag = lower(inside.substr(0, nameEnd));
        const std::string rest = inside.substr(nameEnd);

        if (tag == "ul") {
            ++depth;
            if (lists.empty()) {
                lists.push_back(&root);
            } else {
                auto *outer = lists.back();
                lists.push_back(outer->empty() ? outer : &outer->back().children);
            }
        } else if (tag == "/ul") {
            if (depth > 0) {
                --depth;
                lists.pop_back();
            }
        } else if (tag == "object") {
            const auto attrs = attributes(rest);
            const auto type = attrs.find("type");
            inEntry = type != attrs.end() && lower(type->second) == "text/sitemap";
            current = SitemapEntry{};
        } else if (tag == "param" && inEntry) {
            const auto attrs = attributes(rest);
            const auto name = attrs.find("name");
            const auto value = attrs.find("value");
            if (name != attrs.end() && value != attrs.end()) {
                const std::string key = lower(name->second);
                // The first name and the first page count; later pairs are alternatives.
                if (key == "name" && current.name.empty())
                    current.name = value->second;
                else if (key == "local" && current.local.empty())
                    current.local = value->second;
            }
        } else if (tag == "/object") {
            if (inEntry) {
                if (lists.empty())
                    root.push_back(current);
                else
                    lists.back()->push_back(current);
            }
            inEntry = false;
        }
    }
    return root;
}

} // namespace tavisol::help
