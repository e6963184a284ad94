#pragma once
// The workbook module, parlo-xlsx.so: the libraries that write and read
// workbooks (libxlsxwriter, liborcus and what they pull in: boost, minizip,
// the crypto library) cost every start memory and time, so only the module
// links them, and it is loaded the first time a workbook is made or read
// (platform/PrivateModule.h). Its one exported function returns this table.
#include <string>
#include <string_view>
#include <vector>

#include "platform/xlsx/Workbook.h"

namespace parlo {

struct WorkbookSheet {
    std::string name;
    std::vector<std::vector<WorkbookCell>> rows;  // the first is the header
};

struct WorkbookLibraries {
    // The workbook's bytes; false, with the reason in *error, when the
    // library could not make it.
    bool (*write)(const std::vector<WorkbookSheet>& sheets, std::string* bytes, std::string* error);
    // As ReadWorkbook, for an archive whose stated sizes were checked.
    bool (*read)(std::string_view bytes, const WorkbookRow& row, std::string* error);
};

inline constexpr const char* kWorkbookModule = "parlo-xlsx.so";
inline constexpr const char* kWorkbookSymbol = "ParloWorkbookLibraries";

}  // namespace parlo
