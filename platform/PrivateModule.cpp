#include "platform/PrivateModule.h"

#include <dlfcn.h>

#include <filesystem>
#include <map>
#include <mutex>

#include "platform/ProgramInfo.h"

namespace parlo {

const void* LoadPrivateModule(const std::string& file, const char* symbol, std::string* error) {
    static std::mutex lock;
    static std::map<std::string, const void*> loaded;
    const std::lock_guard<std::mutex> hold(lock);
    const std::string key = file + '\n' + symbol;
    if (const auto it = loaded.find(key); it != loaded.end()) return it->second;
    const std::string beside = ExecutableDir() + file;
    const std::string installed = ExecutableDir() + "../libexec/parlo/" + file;
    std::error_code ec;
    const std::string path = std::filesystem::exists(beside, ec) ? beside : installed;
    // Kept for the rest of the process: its table is handed out.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* why = ::dlerror();
        *error = why != nullptr ? why : path;
        return nullptr;
    }
    using Entry = const void* (*)();
    const auto entry = reinterpret_cast<Entry>(::dlsym(module, symbol));
    if (entry == nullptr) {
        *error = path + " has no " + symbol;
        return nullptr;
    }
    return loaded[key] = entry();
}

}  // namespace parlo
