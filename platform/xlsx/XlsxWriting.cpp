#include <sys/mman.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

#include "platform/NumberText.h"
#include "platform/xlsx/CLocale.h"
#include "platform/xlsx/XlsxLibraries.h"

namespace parlo::xlsx {

namespace {

// Columns wide enough for their longest text, within reason.
constexpr size_t kWidestColumn = 40;

std::string DecimalsFormat(int decimals) {
    return decimals <= 0 ? "0" : "0." + std::string(static_cast<size_t>(decimals), '0');
}

// The library writes to a path: the workbook goes to a file in memory
// (memfd), read back by Finish, so that the caller saves it as it saves
// every file and nothing is left on disk.
class Book {
public:
    Book() {
        fd_ = memfd_create("parlo-workbook", MFD_CLOEXEC);
        if (fd_ < 0) {
            error_ = std::strerror(errno);
            return;
        }
        const std::string path = "/proc/self/fd/" + std::to_string(fd_);
        lxw_workbook_options options{};
        book_ = workbook_new_opt(path.c_str(), &options);
        if (book_ == nullptr) {
            error_ = "the workbook could not be started";
            return;
        }
        text_ = workbook_add_format(book_);
        format_set_num_format(text_, "@");
        header_ = workbook_add_format(book_);
        format_set_num_format(header_, "@");
        format_set_bold(header_);
    }
    ~Book() {
        if (book_ != nullptr) {
            // Closing writes the file; here it only frees what was made.
            workbook_close(book_);
        }
        if (fd_ >= 0) close(fd_);
    }
    Book(const Book&) = delete;
    Book& operator=(const Book&) = delete;

    void AddSheet(const std::string& name) {
        if (book_ == nullptr) return;
        SetWidths();
        sheet_ = workbook_add_worksheet(book_, name.c_str());
        row_ = 0;
        if (sheet_ != nullptr) worksheet_freeze_panes(sheet_, 1, 0);
    }
    void AddRow(const std::vector<WorkbookCell>& cells);
    bool Finish(std::string* bytes, std::string* error);

private:
    lxw_format* NumberFormat(int decimals) {
        lxw_format*& format = numbers_[decimals];
        if (format == nullptr) {
            format = workbook_add_format(book_);
            format_set_num_format(format, DecimalsFormat(decimals).c_str());
        }
        return format;
    }

    void SetWidths() {
        if (sheet_ == nullptr) return;
        for (size_t c = 0; c < widths_.size(); ++c) {
            const double width = static_cast<double>(std::min(widths_[c], kWidestColumn) + 2);
            worksheet_set_column(sheet_, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 width, nullptr);
        }
        widths_.clear();
    }

    int fd_ = -1;
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_row_t row_ = 0;
    std::vector<size_t> widths_;  // of the sheet being written
    std::map<int, lxw_format*> numbers_;
    lxw_format* text_ = nullptr;
    lxw_format* header_ = nullptr;
    std::string error_;
};

void Book::AddRow(const std::vector<WorkbookCell>& cells) {
    if (sheet_ == nullptr) return;
    CLocaleScope c;
    const bool header = row_ == 0;
    if (widths_.size() < cells.size()) widths_.resize(cells.size());
    for (size_t i = 0; i < cells.size(); ++i) {
        const WorkbookCell& cell = cells[i];
        const auto col = static_cast<lxw_col_t>(i);
        widths_[i] = std::max(widths_[i], cell.text.size());
        if (cell.number) {
            // The text is the program's own, "." and plain digits.
            const auto number = ReadDecimal(cell.text);
            worksheet_write_number(sheet_, row_, col, number ? number->Real() : 0.0,
                                   NumberFormat(cell.decimals));
        } else if (!cell.text.empty()) {
            worksheet_write_string(sheet_, row_, col, cell.text.c_str(), header ? header_ : text_);
        } else {
            worksheet_write_blank(sheet_, row_, col, text_);
        }
    }
    ++row_;
}

bool Book::Finish(std::string* bytes, std::string* error) {
    if (book_ == nullptr) {
        *error = error_;
        return false;
    }
    SetWidths();
    lxw_error result;
    {
        CLocaleScope c;
        result = workbook_close(book_);
    }
    book_ = nullptr;
    if (result != LXW_NO_ERROR) {
        *error = lxw_strerror(result);
        return false;
    }
    bytes->clear();
    if (lseek(fd_, 0, SEEK_SET) < 0) {
        *error = std::strerror(errno);
        return false;
    }
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            *error = std::strerror(errno);
            return false;
        }
        if (got == 0) return true;
        bytes->append(buffer, static_cast<size_t>(got));
    }
}

}  // namespace

bool WriteWorkbook(const std::vector<WorkbookSheet>& sheets, std::string* bytes,
                   std::string* error) {
    Book book;
    for (const WorkbookSheet& sheet : sheets) {
        book.AddSheet(sheet.name);
        for (const auto& row : sheet.rows) book.AddRow(row);
    }
    return book.Finish(bytes, error);
}

}  // namespace parlo::xlsx
