#include "ToolOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "LumarkError.h"
#include "VisibilityWriter.h"

namespace lumark::tool {

namespace {

[[noreturn]] void ThrowWriteError(const std::string& path, int error) {
    throw LumarkError("cannot write " + path + ": " + std::strerror(error));
}

// True when `path` names something other than a regular file or nothing: a device or a pipe
// such as /dev/stdout, which must be written into rather than replaced by a new file.
bool IsSpecialFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        ThrowWriteError(path, EISDIR);
    }
    return !S_ISREG(info.st_mode);
}

void WriteIntoSpecialFile(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        ThrowWriteError(path, errno);
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            const int error = written < 0 ? errno : EIO;
            ::close(fd);
            ThrowWriteError(path, error);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    if (::close(fd) != 0) {
        ThrowWriteError(path, errno);
    }
}

}  // namespace

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

bool WriteDocument(const VisibilityDocument& doc, const std::string& path, std::ostream& out,
                   std::ostream& err) {
    try {
        if (path == StandardOutput) {
            const std::string bytes = FormatVisibilityFile(doc);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.flush();
            if (!out) {
                err << "lumark-tool: cannot write to standard output\n";
                err.flush();
                return false;
            }
        } else if (IsSpecialFile(path)) {
            WriteIntoSpecialFile(path, FormatVisibilityFile(doc));
        } else {
            WriteVisibilityFile(doc, path);
        }
    } catch (const LumarkError& e) {
        ReportFileError(err, path, e.what());
        return false;
    }
    return true;
}

}  // namespace lumark::tool
