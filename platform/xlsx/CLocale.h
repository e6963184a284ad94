#pragma once
// Our own code reads and writes numbers without the locale, but the
// workbook libraries inside them format and parse through the C library,
// which follows LC_NUMERIC: on a desktop that writes a decimal comma they
// would put "446,1" into the file. While a scope lives, this thread is in
// the "C" locale; the one before is put back after.
#include <clocale>
#include <locale.h>

namespace parlo {

class CLocaleScope {
public:
    CLocaleScope()
        : c_(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr))),
          previous_(c_ != static_cast<locale_t>(nullptr) ? uselocale(c_) : nullptr) {}
    ~CLocaleScope() {
        if (c_ == static_cast<locale_t>(nullptr)) return;
        uselocale(previous_);
        freelocale(c_);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t c_;
    locale_t previous_;
};

}  // namespace parlo
