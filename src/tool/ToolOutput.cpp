#include "ToolOutput.h"

#include "AtomicFile.h"
#include "LumarkError.h"
#include "VisibilityWriter.h"

namespace lumark::tool {

void ReportFileError(std::ostream& err, const std::string& path, const std::string& message) {
    std::string detail = message;
    const std::string lineForm = path + ", ";         // "PATH, line 5: ..."
    const std::string causeForm = " " + path + ": ";  // "cannot open PATH: reason"
    if (detail.compare(0, lineForm.size(), lineForm) == 0) {
        detail.erase(0, lineForm.size());
    } else if (const std::size_t at = detail.find(causeForm); at != std::string::npos) {
        detail.replace(at, causeForm.size(), ": ");
    }
    err << path << ": error: " << detail << '\n';
    err.flush();
}

bool WriteOutput(std::string_view bytes, const std::string& path, std::ostream& out,
                 std::ostream& err) {
    try {
        if (path == StandardOutput) {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.flush();
            if (!out) {
                err << "lumark-tool: cannot write to standard output\n";
                err.flush();
                return false;
            }
        } else {
            WriteFileAtomically(path, bytes);
        }
    } catch (const LumarkError& e) {
        ReportFileError(err, path, e.what());
        return false;
    }
    return true;
}

bool WriteDocument(const VisibilityDocument& doc, const std::string& path, std::ostream& out,
                   std::ostream& err) {
    return WriteOutput(FormatVisibilityFile(doc), path, out, err);
}

}  // namespace lumark::tool
