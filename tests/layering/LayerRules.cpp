#include "tests/layering/LayerRules.h"

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

std::string Violation::text() const {
    return file + ":" + std::to_string(line) + ": includes \"" + included +
           "\", which is not below its layer";
}

namespace {

bool IsSource(const std::filesystem::path& p) {
    const std::string ext = p.extension().string();
    return ext == ".h" || ext == ".cpp";
}

void CheckFile(const std::filesystem::path& root, const std::string& relative,
               const LayerRules& rules, std::vector<Violation>& out) {
    static const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
    const std::set<std::string> visible = rules.Visible(rules.LayerOf(relative));
    std::ifstream in(root / relative);
    std::string line;
    std::smatch m;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!std::regex_search(line, m, include)) continue;
        const std::string target = m[1];
        // A bare name is a file beside the including one.
        if (target.find('/') == std::string::npos) continue;
        if (visible.count(rules.LayerOf(target)) == 0) out.push_back({relative, number, target});
    }
}

}  // namespace

std::vector<Violation> FindUpwardIncludes(const std::filesystem::path& root,
                                          const LayerRules& rules) {
    std::vector<Violation> out;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file() || !IsSource(entry.path())) continue;
        const std::string relative = entry.path().lexically_relative(root).generic_string();
        if (rules.LayerOf(relative).empty()) continue;
        CheckFile(root, relative, rules, out);
    }
    std::sort(out.begin(), out.end(), [](const Violation& a, const Violation& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    return out;
}

}  // namespace parlo::layering
