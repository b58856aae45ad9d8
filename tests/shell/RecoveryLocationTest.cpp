#include "RecoveryLocation.h"

#include <gtest/gtest.h>

namespace lumark {
namespace {

struct FolderCase {
    const char* StateHome;
    const char* Home;
    const char* LocalAppData;
    const char* Expected;
};

TEST(RecoveryLocationTest, PosixStateHomeWhenAbsoluteElseUnderHome) {
    const FolderCase cases[] = {
        {"/home/ann/state", "/home/ann", "", "/home/ann/state/Lumark/recovery"},
        {"/home/ann/state/", "/home/ann", "", "/home/ann/state/Lumark/recovery"},
        {"", "/home/ann", "", "/home/ann/.local/state/Lumark/recovery"},
        {"state", "/home/ann", "", "/home/ann/.local/state/Lumark/recovery"},
        {"./state", "/home/ann/", "", "/home/ann/.local/state/Lumark/recovery"},
        {"/srv/state", "", "", "/srv/state/Lumark/recovery"},
        {"", "", R"(C:\Users\ann\AppData\Local)", ""},
    };
    for (const FolderCase& c : cases) {
        EXPECT_EQ(ChooseRecoveryFolder(PathStyle::Posix, c.StateHome, c.Home, c.LocalAppData),
                  c.Expected)
            << "XDG_STATE_HOME=" << c.StateHome << " HOME=" << c.Home;
    }
}

TEST(RecoveryLocationTest, WindowsLocalAppDataOnly) {
    const FolderCase cases[] = {
        {"/home/ann/state", "/home/ann", R"(C:\Users\ann\AppData\Local)",
         R"(C:\Users\ann\AppData\Local\Lumark\recovery)"},
        {"", "", R"(D:\Profiles\ann\)", R"(D:\Profiles\ann\Lumark\recovery)"},
        {"/home/ann/state", "/home/ann", "", ""},
    };
    for (const FolderCase& c : cases) {
        EXPECT_EQ(ChooseRecoveryFolder(PathStyle::Windows, c.StateHome, c.Home, c.LocalAppData),
                  c.Expected)
            << "LOCALAPPDATA=" << c.LocalAppData;
    }
}

}  // namespace
}  // namespace lumark
