#include "overlay/OverlayFormat.h"

#include "platform/NumberText.h"

namespace parlo {

namespace {

std::string AsText(const FormatArg& arg, char conversion) {
    if (const auto* s = std::get_if<std::string>(&arg)) return *s;
    const long long v = std::get<long long>(arg);
    return conversion == 'X' ? HexText(static_cast<unsigned long long>(v)) : IntegerText(v);
}

}  // namespace

std::string FormatText(const std::string& format, const std::vector<FormatArg>& args) {
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out.push_back(c);
            continue;
        }
        const char conversion = format[i + 1];
        if (conversion == '%') {
            out.push_back('%');
            ++i;
        } else if ((conversion == 's' || conversion == 'd' || conversion == 'X') &&
                   next < args.size()) {
            out += AsText(args[next++], conversion);
            ++i;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace parlo
