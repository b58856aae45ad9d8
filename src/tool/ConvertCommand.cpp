#include "ConvertCommand.h"

#include "ExitCode.h"
#include "LumarkError.h"
#include "ToolOutput.h"

namespace lumark::tool {

int ConvertFile(const std::string& in, const std::string& outPath,
                const std::optional<std::string>& layout, std::ostream& out, std::ostream& err) {
    std::optional<VisibilityDocument> doc = ReadOrReport(in, err);
    if (!doc) {
        return ExitFailed;
    }
    if (layout) {
        doc->VersionText = *layout;
    }
    return WriteDocument(*doc, outPath, out, err) ? ExitOk : ExitFailed;
}

}  // namespace lumark::tool
