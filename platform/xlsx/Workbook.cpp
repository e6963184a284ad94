// The workbook front the program links: rows are gathered here and handed
// to the module, which is loaded only when a workbook is made or read.
#include "platform/xlsx/Workbook.h"

#include "platform/PrivateModule.h"
#include "platform/xlsx/ArchiveSize.h"
#include "platform/xlsx/WorkbookModule.h"

namespace parlo {

namespace {

const WorkbookLibraries* Libraries(std::string* error) {
    std::string why;
    const auto* libraries = static_cast<const WorkbookLibraries*>(
        LoadPrivateModule(kWorkbookModule, kWorkbookSymbol, &why));
    if (libraries == nullptr) *error = "cannot load the workbook libraries: " + why;
    return libraries;
}

}  // namespace

struct WorkbookWriter::Impl {
    std::vector<WorkbookSheet> sheets;
};

WorkbookWriter::WorkbookWriter() : impl_(std::make_unique<Impl>()) {}

WorkbookWriter::~WorkbookWriter() = default;

void WorkbookWriter::AddSheet(const std::string& name) { impl_->sheets.push_back({name, {}}); }

void WorkbookWriter::AddRow(const std::vector<WorkbookCell>& cells) {
    if (!impl_->sheets.empty()) impl_->sheets.back().rows.push_back(cells);
}

bool WorkbookWriter::Finish(std::string* bytes, std::string* error) {
    const WorkbookLibraries* libraries = Libraries(error);
    return libraries != nullptr && libraries->write(impl_->sheets, bytes, error);
}

bool LoadWorkbookLibraries(std::string* error) { return Libraries(error) != nullptr; }

bool LooksLikeWorkbook(std::string_view start) { return start.substr(0, 4) == "PK\x03\x04"; }

bool ReadWorkbook(std::string_view bytes, const WorkbookRow& row, std::string* error) {
    if (const std::string problem = ArchiveSizeProblem(bytes); !problem.empty()) {
        *error = problem;
        return false;
    }
    const WorkbookLibraries* libraries = Libraries(error);
    return libraries != nullptr && libraries->read(bytes, row, error);
}

}  // namespace parlo
