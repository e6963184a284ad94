#include "cli/PdfModule.h"

#include <dlfcn.h>

#include <filesystem>

#include "platform/ProgramInfo.h"

namespace parlo::cli {

const PdfPrinting* LoadPdfPrinting(std::string* error) {
    static const PdfPrinting* loaded = nullptr;
    if (loaded != nullptr) return loaded;
    const std::string beside = ExecutableDir() + kPdfPrintingModule;
    const std::string installed = ExecutableDir() + "../libexec/parlo/" + kPdfPrintingModule;
    std::error_code ec;
    const std::string path = std::filesystem::exists(beside, ec) ? beside : installed;
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* why = ::dlerror();
        *error = why != nullptr ? why : path;
        return nullptr;
    }
    using Entry = const PdfPrinting* (*)();
    auto entry = reinterpret_cast<Entry>(::dlsym(module, kPdfPrintingSymbol));
    if (entry == nullptr) {
        *error = path + " has no " + kPdfPrintingSymbol;
        return nullptr;
    }
    loaded = entry();
    return loaded;
}

}  // namespace parlo::cli
