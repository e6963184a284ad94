// The entry of the workbook module, parlo-xlsx.so.
#include "platform/xlsx/WorkbookModule.h"

#include "platform/xlsx/XlsxLibraries.h"

extern "C" __attribute__((visibility("default"))) const parlo::WorkbookLibraries*
ParloWorkbookLibraries() {
    static const parlo::WorkbookLibraries table{parlo::xlsx::WriteWorkbook,
                                                parlo::xlsx::ReadWorkbook};
    return &table;
}
