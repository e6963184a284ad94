#pragma once
// Inside the workbook module only: the entry points of its table
// (platform/xlsx/WorkbookModule.h), over libxlsxwriter and liborcus.
#include <string>
#include <string_view>
#include <vector>

#include "platform/xlsx/WorkbookModule.h"

namespace parlo::xlsx {

bool WriteWorkbook(const std::vector<WorkbookSheet>& sheets, std::string* bytes,
                   std::string* error);
bool ReadWorkbook(std::string_view bytes, const WorkbookRow& row, std::string* error);

}  // namespace parlo::xlsx
