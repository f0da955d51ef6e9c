#include "shell/outputformats.h"

#include <array>

namespace tavisol {

std::string_view OutputFormatName(int code) {
    static constexpr std::array<std::string_view, 7> names = {
        "Tavisol Format",      "Standard Quorrel Format", "LGS Format (input)",
        "LGS Format (output)", "Ketlo Format",            "Vistrel Format",
        "Furrowin Format",
    };
    if (!IsOutputFormat(code))
        return {};
    return names[static_cast<std::size_t>(code - kFirstOutputFormat)];
}

} // namespace tavisol
