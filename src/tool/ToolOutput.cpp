#include "ToolOutput.h"

#include "AtomicFile.h"
#include "LumarkError.h"
#include "VisibilityReader.h"
#include "VisibilityWriter.h"

namespace lumark::tool {

void ReportFileError(std::ostream& err, const std::string& path, const LumarkError& error) {
    err << (error.Path().empty() ? path : error.Path()) << ": error: ";
    if (error.Line() > 0) {
        err << "line " << error.Line() << ": ";
    }
    err << error.Problem() << '\n';
    err.flush();
}

std::optional<VisibilityDocument> ReadOrReport(const std::string& path, std::ostream& err) {
    VisibilityDocument doc;
    try {
        ReadVisibilityFile(doc, path);
    } catch (const LumarkError& e) {
        ReportFileError(err, path, e);
        return std::nullopt;
    }
    return doc;
}

bool FlushOrReport(std::ostream& out, std::ostream& err) {
    out.flush();
    if (!out) {
        err << "lumark-tool: cannot write to standard output\n";
        err.flush();
        return false;
    }
    return true;
}

bool WriteOutput(std::string_view bytes, const std::string& path, std::ostream& out,
                 std::ostream& err) {
    try {
        if (path == StandardOutput) {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            return FlushOrReport(out, err);
        }
        WriteFileAtomically(path, bytes);
    } catch (const LumarkError& e) {
        ReportFileError(err, path, e);
        return false;
    }
    return true;
}

bool WriteDocument(const VisibilityDocument& doc, const std::string& path, std::ostream& out,
                   std::ostream& err) {
    return WriteOutput(FormatVisibilityFile(doc), path, out, err);
}

std::string OneWayPairText(int viewer, int seen) {
    return "block " + std::to_string(viewer - 1) + " sees " + std::to_string(seen - 1) +
           ", not seen back";
}

}  // namespace lumark::tool
