#include "RecoveryLocation.h"

#include <gtest/gtest.h>

namespace lumark {
namespace {

// The state folder when absolute, else under home, on Linux; LOCALAPPDATA alone on Windows.
TEST(RecoveryLocationTest, EachSystemsOwnStateFolder) {
    struct FolderCase {
        PathStyle Style;
        const char* StateHome;
        const char* Home;
        const char* LocalAppData;
        const char* Expected;
    };
    const char* const local = R"(C:\Users\ann\AppData\Local)";
    const FolderCase cases[] = {
        {PathStyle::Posix, "/home/ann/state", "/home/ann", "", "/home/ann/state/Lumark/recovery"},
        {PathStyle::Posix, "/home/ann/state/", "/home/ann", "", "/home/ann/state/Lumark/recovery"},
        {PathStyle::Posix, "", "/home/ann", "", "/home/ann/.local/state/Lumark/recovery"},
        {PathStyle::Posix, "state", "/home/ann", "", "/home/ann/.local/state/Lumark/recovery"},
        {PathStyle::Posix, "./state", "/home/ann/", "", "/home/ann/.local/state/Lumark/recovery"},
        {PathStyle::Posix, "/srv/state", "", "", "/srv/state/Lumark/recovery"},
        {PathStyle::Posix, "", "", local, ""},
        {PathStyle::Windows, "/home/ann/state", "/home/ann", local,
         R"(C:\Users\ann\AppData\Local\Lumark\recovery)"},
        {PathStyle::Windows, "", "", R"(D:\Profiles\ann\)", R"(D:\Profiles\ann\Lumark\recovery)"},
        {PathStyle::Windows, "/home/ann/state", "/home/ann", "", ""},
    };
    for (const FolderCase& c : cases) {
        EXPECT_EQ(ChooseRecoveryFolder(c.Style, c.StateHome, c.Home, c.LocalAppData), c.Expected)
            << "XDG_STATE_HOME=" << c.StateHome << " HOME=" << c.Home
            << " LOCALAPPDATA=" << c.LocalAppData;
    }
}

}  // namespace
}  // namespace lumark
