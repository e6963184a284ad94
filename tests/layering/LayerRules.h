#pragma once
// The layer rules of layers.txt and the checks on the includes of the
// layers' files: every include (quoted or in angle brackets, by a path from
// the source root or relative to the including file) names a folder the
// layer may use, and every layer a line names is used.
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace parlo::layering {

struct LayerRules {
    std::vector<std::string> layers;                       // in file order
    std::map<std::string, std::vector<std::string>> uses;  // direct uses

    // Reads "layer used used ..." lines; '#' starts a comment.
    static LayerRules Parse(const std::string& text);
    // The layer a source-relative path belongs to (the longest folder that
    // holds it), or empty for files outside every layer.
    std::string LayerOf(const std::string& path) const;
    // The layer itself and everything it uses, directly or through others.
    std::set<std::string> Visible(const std::string& layer) const;
    // The layer a nested layer lies in (platform for platform/posix), or
    // empty.
    std::string ParentOf(const std::string& layer) const;
};

struct Violation {
    std::string file;  // relative to the source root
    int line = 0;
    std::string included;
    std::string text() const;
};

// Every include in the layers' files under `root` that names a folder the
// including layer may not use.
std::vector<Violation> FindUpwardIncludes(const std::filesystem::path& root,
                                          const LayerRules& rules);

// "layer uses used" for every use the rules name that no file of the layer
// needs: none of its files includes a file of the used layer or, for a
// nested layer, a header of its parent that only the nested layer
// implements (one with no source file beside it that the nested layer's
// files include).
std::vector<std::string> FindUnusedUses(const std::filesystem::path& root, const LayerRules& rules);

}  // namespace parlo::layering
