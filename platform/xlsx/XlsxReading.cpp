#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>

#include <charconv>
#include <exception>
#include <map>
#include <stdexcept>

#include "platform/xlsx/CLocale.h"
#include "platform/xlsx/XlsxLibraries.h"

namespace parlo::xlsx {

namespace {

namespace iface = orcus::spreadsheet::iface;
using orcus::spreadsheet::col_t;
using orcus::spreadsheet::row_t;

// A number as the shortest plain text that reads back the same.
std::string ShortestText(double value) {
    char text[400];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    return end.ec == std::errc() ? std::string(text, end.ptr) : std::string();
}

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

class SharedStrings : public iface::import_shared_strings {
public:
    const std::string& At(size_t index) const {
        static const std::string none;
        return index < strings_.size() ? strings_[index] : none;
    }
    size_t append(std::string_view s) override {
        strings_.emplace_back(s);
        return strings_.size() - 1;
    }
    size_t add(std::string_view s) override { return append(s); }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(orcus::spreadsheet::color_elem_t,
                                orcus::spreadsheet::color_elem_t,
                                orcus::spreadsheet::color_elem_t,
                                orcus::spreadsheet::color_elem_t) override {}
    void append_segment(std::string_view s) override { segments_ += s; }
    size_t commit_segments() override {
        const size_t index = append(segments_);
        segments_.clear();
        return index;
    }

private:
    std::vector<std::string> strings_;
    std::string segments_;
};

// Rows go out as they are read: only the row being read is held, so a
// workbook of any length is read in little memory (a sheet's rows come in
// their order).
class RowSink {
public:
    explicit RowSink(const WorkbookRow& row) : row_(row) {}

    void Put(int sheet, const std::string& name, row_t row, col_t col, std::string text) {
        if (row < 0 || col < 0) return;
        if (sheet != sheet_ || row != rowNumber_) Flush();
        sheet_ = sheet;
        name_ = &name;
        rowNumber_ = row;
        if (cells_.size() <= static_cast<size_t>(col)) cells_.resize(static_cast<size_t>(col) + 1);
        cells_[static_cast<size_t>(col)] = std::move(text);
    }
    void Flush() {
        if (name_ != nullptr && !cells_.empty()) row_(*name_, sheet_, rowNumber_ + 1, cells_);
        cells_.clear();
    }

private:
    const WorkbookRow& row_;
    int sheet_ = -1;
    const std::string* name_ = nullptr;
    row_t rowNumber_ = -1;
    std::vector<std::string> cells_;
};

// The cells of one sheet, as texts.
class SheetCells;

// A formula cell: the result it was saved with is its text.
class FormulaCell : public iface::import_formula {
public:
    explicit FormulaCell(SheetCells& sheet) : sheet_(sheet) {}
    void set_position(row_t row, col_t col) override {
        row_ = row;
        col_ = col;
        result_.clear();
    }
    void set_formula(orcus::spreadsheet::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(size_t) override {}
    void set_result_string(std::string_view value) override { result_ = value; }
    void set_result_value(double value) override { result_ = ShortestText(value); }
    void set_result_bool(bool value) override { result_ = value ? "TRUE" : "FALSE"; }
    void set_result_empty() override { result_.clear(); }
    void commit() override;

private:
    SheetCells& sheet_;
    row_t row_ = 0;
    col_t col_ = 0;
    std::string result_;
};

class SheetCells : public iface::import_sheet {
public:
    SheetCells(std::string name, int index, const SharedStrings& strings, RowSink& sink)
        : name_(std::move(name)), index_(index), strings_(strings), sink_(sink), formula_(*this) {}

    const std::string& Name() const { return name_; }

    void Put(row_t row, col_t col, std::string text) {
        sink_.Put(index_, name_, row, col, std::move(text));
    }

    iface::import_formula* get_formula() override { return &formula_; }
    void set_auto(row_t row, col_t col, std::string_view s) override {
        Put(row, col, std::string(s));
    }
    void set_string(row_t row, col_t col, orcus::spreadsheet::string_id_t id) override {
        Put(row, col, strings_.At(id));
    }
    void set_value(row_t row, col_t col, double value) override {
        Put(row, col, ShortestText(value));
    }
    void set_bool(row_t row, col_t col, bool value) override {
        Put(row, col, value ? "TRUE" : "FALSE");
    }
    void set_date_time(row_t row, col_t col, int year, int month, int day, int hour, int minute,
                       double second) override {
        std::string text = std::to_string(year) + "-" + TwoDigits(month) + "-" + TwoDigits(day);
        if (hour != 0 || minute != 0 || second != 0)
            text += " " + TwoDigits(hour) + ":" + TwoDigits(minute) + ":" +
                    TwoDigits(static_cast<int>(second));
        Put(row, col, text);
    }
    void set_format(row_t, col_t, size_t) override {}
    void set_format(row_t, col_t, row_t, col_t, size_t) override {}
    void fill_down_cells(row_t, col_t, row_t) override {}
    orcus::spreadsheet::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

private:
    std::string name_;
    int index_;
    const SharedStrings& strings_;
    RowSink& sink_;
    FormulaCell formula_;
};

void FormulaCell::commit() { sheet_.Put(row_, col_, result_); }

// Cell references as the sheets write them: "B7", "$B$7", "A1:AK9".
class References : public iface::import_reference_resolver {
public:
    orcus::spreadsheet::src_address_t resolve_address(std::string_view text) override {
        orcus::spreadsheet::src_address_t address{0, 0, 0};
        size_t i = 0;
        if (i < text.size() && text[i] == '$') ++i;
        int column = 0;
        const size_t letters = i;
        for (; i < text.size() && text[i] >= 'A' && text[i] <= 'Z' && i - letters < 4; ++i)
            column = column * 26 + (text[i] - 'A' + 1);
        if (i < text.size() && text[i] == '$') ++i;
        int row = 0;
        const size_t digits = i;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && i - digits < 8; ++i)
            row = row * 10 + (text[i] - '0');
        if (column == 0 || row == 0 || i != text.size())
            throw std::invalid_argument("a cell reference that is none: " + std::string(text));
        address.row = row - 1;
        address.column = column - 1;
        return address;
    }
    orcus::spreadsheet::src_range_t resolve_range(std::string_view text) override {
        const size_t colon = text.find(':');
        const auto first = resolve_address(text.substr(0, colon));
        return {first, colon == std::string_view::npos ? first
                                                       : resolve_address(text.substr(colon + 1))};
    }
};

class Factory : public iface::import_factory {
public:
    explicit Factory(RowSink& sink) : sink_(sink) {}
    iface::import_reference_resolver* get_reference_resolver(
        orcus::spreadsheet::formula_ref_context_t) override {
        return &references_;
    }
    iface::import_shared_strings* get_shared_strings() override { return &strings_; }
    iface::import_sheet* append_sheet(orcus::spreadsheet::sheet_t, std::string_view name) override {
        const int index = static_cast<int>(sheets_.size());
        sheets_.push_back(std::make_unique<SheetCells>(std::string(name), index, strings_, sink_));
        return sheets_.back().get();
    }
    iface::import_sheet* get_sheet(std::string_view name) override {
        for (auto& sheet : sheets_) {
            if (sheet->Name() == name) return sheet.get();
        }
        return nullptr;
    }
    iface::import_sheet* get_sheet(orcus::spreadsheet::sheet_t index) override {
        return index >= 0 && static_cast<size_t>(index) < sheets_.size() ? sheets_[index].get()
                                                                         : nullptr;
    }
    void finalize() override {}

private:
    RowSink& sink_;
    SharedStrings strings_;
    References references_;
    std::vector<std::unique_ptr<SheetCells>> sheets_;
};

}  // namespace

// The archive's stated sizes were checked by the caller.
bool ReadWorkbook(std::string_view bytes, const WorkbookRow& row, std::string* error) {
    RowSink sink(row);
    Factory factory(sink);
    try {
        CLocaleScope c;
        orcus::orcus_xlsx reader(&factory);
        reader.read_stream(bytes);
    } catch (const std::exception& e) {
        *error = *e.what() != '\0' ? e.what() : "its parts cannot be read";
        return false;
    }
    sink.Flush();
    return true;
}

}  // namespace parlo::xlsx
