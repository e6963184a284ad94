#include <sys/mman.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

#include "platform/NumberText.h"
#include "platform/xlsx/CLocale.h"
#include "platform/xlsx/Workbook.h"

namespace parlo {

namespace {

// Columns wide enough for their longest text, within reason.
constexpr size_t kWidestColumn = 40;

std::string DecimalsFormat(int decimals) {
    return decimals <= 0 ? "0" : "0." + std::string(static_cast<size_t>(decimals), '0');
}

}  // namespace

// The library writes to a path: the workbook goes to a file in memory
// (memfd), read back by Finish, so that the caller saves it as it saves
// every file and nothing is left on disk.
struct WorkbookWriter::Impl {
    int fd = -1;
    lxw_workbook* book = nullptr;
    lxw_worksheet* sheet = nullptr;
    lxw_row_t row = 0;
    std::vector<size_t> widths;  // of the sheet being written
    std::map<int, lxw_format*> numbers;
    lxw_format* text = nullptr;
    lxw_format* header = nullptr;
    std::string error;

    Impl() {
        fd = memfd_create("parlo-workbook", MFD_CLOEXEC);
        if (fd < 0) {
            error = std::strerror(errno);
            return;
        }
        const std::string path = "/proc/self/fd/" + std::to_string(fd);
        lxw_workbook_options options{};
        book = workbook_new_opt(path.c_str(), &options);
        if (book == nullptr) {
            error = "the workbook could not be started";
            return;
        }
        text = workbook_add_format(book);
        format_set_num_format(text, "@");
        header = workbook_add_format(book);
        format_set_num_format(header, "@");
        format_set_bold(header);
    }
    ~Impl() {
        if (book != nullptr) {
            // Closing writes the file; here it only frees what was made.
            workbook_close(book);
        }
        if (fd >= 0) close(fd);
    }

    lxw_format* NumberFormat(int decimals) {
        lxw_format*& format = numbers[decimals];
        if (format == nullptr) {
            format = workbook_add_format(book);
            format_set_num_format(format, DecimalsFormat(decimals).c_str());
        }
        return format;
    }

    void SetWidths() {
        if (sheet == nullptr) return;
        for (size_t c = 0; c < widths.size(); ++c) {
            const double width = static_cast<double>(std::min(widths[c], kWidestColumn) + 2);
            worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 width, nullptr);
        }
        widths.clear();
    }
};

WorkbookWriter::WorkbookWriter() : impl_(std::make_unique<Impl>()) {}

WorkbookWriter::~WorkbookWriter() = default;

void WorkbookWriter::AddSheet(const std::string& name) {
    if (impl_->book == nullptr) return;
    impl_->SetWidths();
    impl_->sheet = workbook_add_worksheet(impl_->book, name.c_str());
    impl_->row = 0;
    if (impl_->sheet != nullptr) worksheet_freeze_panes(impl_->sheet, 1, 0);
}

void WorkbookWriter::AddRow(const std::vector<WorkbookCell>& cells) {
    if (impl_->sheet == nullptr) return;
    CLocaleScope c;
    const bool header = impl_->row == 0;
    if (impl_->widths.size() < cells.size()) impl_->widths.resize(cells.size());
    for (size_t i = 0; i < cells.size(); ++i) {
        const WorkbookCell& cell = cells[i];
        const auto col = static_cast<lxw_col_t>(i);
        impl_->widths[i] = std::max(impl_->widths[i], cell.text.size());
        if (cell.number) {
            // The text is the program's own, "." and plain digits.
            const auto number = ReadDecimal(cell.text);
            worksheet_write_number(impl_->sheet, impl_->row, col, number ? number->Real() : 0.0,
                                   impl_->NumberFormat(cell.decimals));
        } else if (!cell.text.empty()) {
            worksheet_write_string(impl_->sheet, impl_->row, col, cell.text.c_str(),
                                   header ? impl_->header : impl_->text);
        } else {
            worksheet_write_blank(impl_->sheet, impl_->row, col, impl_->text);
        }
    }
    ++impl_->row;
}

bool WorkbookWriter::Finish(std::string* bytes, std::string* error) {
    if (impl_->book == nullptr) {
        *error = impl_->error;
        return false;
    }
    impl_->SetWidths();
    lxw_error result;
    {
        CLocaleScope c;
        result = workbook_close(impl_->book);
    }
    impl_->book = nullptr;
    if (result != LXW_NO_ERROR) {
        *error = lxw_strerror(result);
        return false;
    }
    bytes->clear();
    if (lseek(impl_->fd, 0, SEEK_SET) < 0) {
        *error = std::strerror(errno);
        return false;
    }
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = read(impl_->fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            *error = std::strerror(errno);
            return false;
        }
        if (got == 0) return true;
        bytes->append(buffer, static_cast<size_t>(got));
    }
}

bool LooksLikeWorkbook(std::string_view start) { return start.substr(0, 4) == "PK\x03\x04"; }

}  // namespace parlo
