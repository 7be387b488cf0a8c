#include "sitemap.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// The few entities a sitemap's values use.
std::string DecodeEntities(const std::string& s) {
    static const std::map<std::string, std::string> named = {{"amp", "&"},   {"lt", "<"},   {"gt", ">"},
                                                             {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}};
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const size_t semi = s[i] == '&' ? s.find(';', i) : std::string::npos;
        if (semi == std::string::npos || semi - i > 8) {
            out += s[i];
            continue;
        }
        const std::string name = s.substr(i + 1, semi - i - 1);
        const auto it = named.find(Lower(name));
        if (it != named.end()) {
            out += it->second;
            i = semi;
        } else if (name.size() > 1 && name[0] == '#' && std::isdigit(static_cast<unsigned char>(name[1]))) {
            const unsigned long code = std::stoul(name.substr(1));
            if (code < 0x80) out += static_cast<char>(code);  // others are written as UTF-8 in the file
            i = semi;
        } else {
            out += s[i];
        }
    }
    return out;
}

struct Tag {
    std::string name;                               // lower case, "/ul" for a closing tag
    std::map<std::string, std::string> attributes;  // names in lower case
};

Tag ParseTag(const std::string& body) {
    Tag tag;
    size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < body.size() && std::isspace(static_cast<unsigned char>(body[i]))) ++i;
    };
    const auto word = [&] {
        const size_t from = i;
        while (i < body.size() && !std::isspace(static_cast<unsigned char>(body[i])) && body[i] != '=' &&
               body[i] != '/')
            ++i;
        return Lower(body.substr(from, i - from));
    };
    skipBlanks();
    if (i < body.size() && body[i] == '/') {
        ++i;
        tag.name = "/" + word();
        return tag;
    }
    tag.name = word();
    while (i < body.size()) {
        skipBlanks();
        if (i < body.size() && body[i] == '/') {
            ++i;
            continue;
        }
        const std::string name = word();
        if (name.empty()) break;
        skipBlanks();
        std::string value;
        if (i < body.size() && body[i] == '=') {
            ++i;
            skipBlanks();
            if (i < body.size() && (body[i] == '"' || body[i] == '\'')) {
                const char quote = body[i++];
                const size_t end = body.find(quote, i);
                value = body.substr(i, end == std::string::npos ? std::string::npos : end - i);
                i = end == std::string::npos ? body.size() : end + 1;
            } else {
                const size_t from = i;
                while (i < body.size() && !std::isspace(static_cast<unsigned char>(body[i]))) ++i;
                value = body.substr(from, i - from);
            }
        }
        tag.attributes[name] = DecodeEntities(value);
    }
    return tag;
}

}  // namespace

std::vector<SitemapEntry> ParseSitemap(const std::string& html) {
    std::vector<SitemapEntry> root;
    // Where entries go: a <UL> right after an entry holds that entry's children.
    std::vector<std::vector<SitemapEntry>*> levels{&root};
    bool inObject = false;
    SitemapEntry pending;
    for (size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at)) {
        if (html.compare(at, 4, "<!--") == 0) {
            const size_t end = html.find("-->", at);
            at = end == std::string::npos ? end : end + 3;
            continue;
        }
        const size_t end = html.find('>', at);
        if (end == std::string::npos) break;
        const Tag tag = ParseTag(html.substr(at + 1, end - at - 1));
        at = end + 1;
        if (tag.name == "ul") {
            std::vector<SitemapEntry>* top = levels.back();
            levels.push_back(top->empty() || levels.size() == 1 ? top : &top->back().children);
        } else if (tag.name == "/ul") {
            if (levels.size() > 1) levels.pop_back();
        } else if (tag.name == "object") {
            const auto type = tag.attributes.find("type");
            inObject = type != tag.attributes.end() && Lower(type->second) == "text/sitemap";
            pending = SitemapEntry{};
        } else if (tag.name == "param" && inObject) {
            const auto name = tag.attributes.find("name");
            const auto value = tag.attributes.find("value");
            if (name == tag.attributes.end() || value == tag.attributes.end()) continue;
            const std::string key = Lower(name->second);
            if (key == "name" && pending.name.empty()) pending.name = value->second;
            if (key == "local" && pending.local.empty()) pending.local = value->second;
        } else if (tag.name == "/object" && inObject) {
            inObject = false;
            if (!pending.name.empty() || !pending.local.empty()) levels.back()->push_back(std::move(pending));
        }
    }
    return root;
}
