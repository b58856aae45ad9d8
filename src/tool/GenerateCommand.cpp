#include "GenerateCommand.h"

#include "ExitCode.h"
#include "RingDocument.h"
#include "ToolOutput.h"

namespace lumark::tool {

int GenerateFile(int blocks, int distance, const std::string& layout, const std::string& outPath,
                 std::ostream& out, std::ostream& err) {
    const VisibilityDocument doc = MakeRingDocument(blocks, distance, layout);
    return WriteDocument(doc, outPath, out, err) ? ExitOk : ExitFailed;
}

}  // namespace lumark::tool
