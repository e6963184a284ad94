#include "tests/layering/LayerRules.h"

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>

namespace parlo::layering {

LayerRules LayerRules::Parse(const std::string& text) {
    LayerRules rules;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string layer, used;
        if (!(words >> layer)) continue;
        rules.layers.push_back(layer);
        std::vector<std::string>& list = rules.uses[layer];
        while (words >> used) list.push_back(used);
    }
    return rules;
}

std::string LayerRules::LayerOf(const std::string& path) const {
    std::string best;
    for (const std::string& layer : layers) {
        if (path.rfind(layer + "/", 0) == 0 && layer.size() > best.size()) best = layer;
    }
    return best;
}

std::set<std::string> LayerRules::Visible(const std::string& layer) const {
    std::set<std::string> seen;
    std::vector<std::string> todo{layer};
    while (!todo.empty()) {
        const std::string next = todo.back();
        todo.pop_back();
        if (!seen.insert(next).second) continue;
        auto it = uses.find(next);
        if (it != uses.end()) todo.insert(todo.end(), it->second.begin(), it->second.end());
    }
    return seen;
}

std::string LayerRules::ParentOf(const std::string& layer) const {
    std::string best;
    for (const std::string& other : layers) {
        if (layer.rfind(other + "/", 0) == 0 && other.size() > best.size()) best = other;
    }
    return best;
}

std::string Violation::text() const {
    return file + ":" + std::to_string(line) + ": includes \"" + included +
           "\", which is not below its layer";
}

namespace {

namespace fs = std::filesystem;

bool IsSource(const fs::path& p) {
    const std::string ext = p.extension().string();
    return ext == ".h" || ext == ".cpp";
}

struct Include {
    int line;
    std::string written;   // as the directive writes it
    std::string resolved;  // the file it names, relative to the root; empty outside it
};

// The file an include names. A quoted name is looked for beside the
// including file first, as the compiler does; a relative path ("../x.h")
// is only that. Anything else is a path from the source root.
std::string Resolve(const fs::path& root, const std::string& including, const std::string& target,
                    bool quoted) {
    if (quoted) {
        const fs::path beside = (fs::path(including).parent_path() / target).lexically_normal();
        const bool relative = target.rfind("./", 0) == 0 || target.rfind("../", 0) == 0;
        if (relative || target.find('/') == std::string::npos || fs::exists(root / beside)) {
            const std::string path = beside.generic_string();
            return path.rfind("..", 0) == 0 ? std::string() : path;
        }
    }
    return fs::path(target).lexically_normal().generic_string();
}

std::vector<Include> IncludesOf(const fs::path& root, const std::string& relative) {
    static const std::regex include(R"(^\s*#\s*include\s*(["<])([^">]+)[">])");
    std::vector<Include> out;
    std::ifstream in(root / relative);
    std::string line;
    std::smatch m;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!std::regex_search(line, m, include)) continue;
        const std::string target = m[2];
        out.push_back({number, target, Resolve(root, relative, target, m[1] == "\"")});
    }
    return out;
}

// Every source file of a layer, relative to the root, with its layer.
std::vector<std::pair<std::string, std::string>> LayerFiles(const fs::path& root,
                                                            const LayerRules& rules) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file() || !IsSource(entry.path())) continue;
        const std::string relative = entry.path().lexically_relative(root).generic_string();
        const std::string layer = rules.LayerOf(relative);
        if (!layer.empty()) files.emplace_back(relative, layer);
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

std::vector<Violation> FindUpwardIncludes(const fs::path& root, const LayerRules& rules) {
    std::vector<Violation> out;
    for (const auto& [file, layer] : LayerFiles(root, rules)) {
        const std::set<std::string> visible = rules.Visible(layer);
        for (const Include& inc : IncludesOf(root, file)) {
            const std::string target = rules.LayerOf(inc.resolved);
            if (!target.empty() && visible.count(target) == 0)
                out.push_back({file, inc.line, inc.written});
        }
    }
    return out;
}

std::vector<std::string> FindUnusedUses(const fs::path& root, const LayerRules& rules) {
    // What each layer's files include, by layer and by file.
    std::map<std::string, std::set<std::string>> layersIncluded, filesIncluded;
    for (const auto& [file, layer] : LayerFiles(root, rules)) {
        for (const Include& inc : IncludesOf(root, file)) {
            if (inc.resolved.empty()) continue;
            layersIncluded[layer].insert(rules.LayerOf(inc.resolved));
            filesIncluded[layer].insert(inc.resolved);
        }
    }
    // The headers of its parent that a nested layer alone implements.
    auto implemented = [&](const std::string& nested) {
        std::set<std::string> headers;
        const std::string parent = rules.ParentOf(nested);
        for (const std::string& file : filesIncluded[nested]) {
            const fs::path p(file);
            if (p.extension() != ".h" || rules.LayerOf(file) != parent) continue;
            if (!fs::exists(root / fs::path(file).replace_extension(".cpp"))) headers.insert(file);
        }
        return headers;
    };
    std::vector<std::string> out;
    for (const std::string& layer : rules.layers) {
        for (const std::string& used : rules.uses.at(layer)) {
            bool needed = layersIncluded[layer].count(used) != 0;
            for (const std::string& header : implemented(used))
                needed = needed || filesIncluded[layer].count(header) != 0;
            if (!needed) out.push_back(layer + " uses " + used);
        }
    }
    return out;
}

}  // namespace parlo::layering
