#include "RenderCommand.h"

#include "ExitCode.h"
#include "LumarkError.h"
#include "PngFile.h"
#include "RelationPicture.h"
#include "ToolOutput.h"

namespace lumark::tool {

int RenderFile(const std::string& in, const std::string& outPath, int cellPixels, std::ostream& out,
               std::ostream& err) {
    const std::optional<VisibilityDocument> doc = ReadOrReport(in, err);
    if (!doc) {
        return ExitFailed;
    }
    std::string png;
    try {
        png = EncodePng(RenderRelationPicture(*doc, cellPixels, true));
    } catch (const LumarkError& e) {
        ReportFileError(err, outPath, e);
        return ExitFailed;
    }
    return WriteOutput(png, outPath, out, err) ? ExitOk : ExitFailed;
}

}  // namespace lumark::tool
