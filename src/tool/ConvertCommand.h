#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace lumark::tool {

// `lumark-tool convert IN OUT [--layout L]`: reads IN with the editor's reader, switches to
// layout L ("1.2" or "1.000000") when given, and writes OUT as the editor's Save would.
// OUT may be IN (the write is atomic) or "-" for `out`. Errors go to `err`.
int ConvertFile(const std::string& in, const std::string& outPath,
                const std::optional<std::string>& layout, std::ostream& out, std::ostream& err);

}  // namespace lumark::tool
