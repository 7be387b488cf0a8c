// The contents of a help file: the sitemap (.hhc) its project compiled in, a
// tree of named topics.
#pragma once

#include <string>
#include <vector>

struct SitemapEntry {
    std::string name;   // as shown in the contents tree
    std::string local;  // the page inside the help file, may be empty (a heading)
    std::vector<SitemapEntry> children;
};

// Parses the sitemap's HTML (UTF-8): <UL> nests, each <OBJECT type="text/sitemap">
// with its <param name="Name"> and <param name="Local"> is one entry.
// Anything it does not know is skipped; it never fails.
std::vector<SitemapEntry> ParseSitemap(const std::string& html);
