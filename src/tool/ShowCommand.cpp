#include "ShowCommand.h"

#include <optional>

#include "ExitCode.h"
#include "RelationText.h"
#include "ToolOutput.h"

namespace lumark::tool {

int ShowFile(const std::string& path, std::ostream& out, std::ostream& err) {
    const std::optional<VisibilityDocument> doc = ReadOrReport(path, err);
    if (!doc) {
        return ExitFailed;
    }
    out << RelationText(*doc);
    return FlushOrReport(out, err) ? ExitOk : ExitFailed;
}

}  // namespace lumark::tool
