#include "AtomicFile.h"

// The shorter forms of the save, the same on every system: each fills in what it leaves out.
namespace lumark {

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    WriteFileAtomically(path, bytes, SaveSystemCalls::Real());
}

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const WriteSystemCall& write) {
    SaveSystemCalls calls = SaveSystemCalls::Real();
    calls.Write = write;
    WriteFileAtomically(path, bytes, calls);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const SaveSystemCalls& calls) {
    WriteFileAtomically(path, bytes, calls, {});
}

}  // namespace lumark
