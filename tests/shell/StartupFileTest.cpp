#include <QDir>
#include <QTest>

#include "MatrixGridModel.h"
#include "WindowFixture.h"

namespace lumark {
namespace {

class StartupFileTest : public WindowTest {};

TEST_F(StartupFileTest, OpensTheFileNamedOnTheCommandLineOnce) {
    QDir(dir.path()).mkdir("my data");
    const std::string path = MakeVisibilityFile("my data/visibility.txt", 4);
    MakeWindow("\"" + path + "\" -x");
    window->show();
    QTRY_VERIFY(window->FirstActivationDone());
    EXPECT_EQ(window->CommandLinePath(), path);
    EXPECT_EQ(window->Session().FilePath(), path);
    EXPECT_EQ(window->windowTitle().toStdString(), "Lumark    " + path);
    EXPECT_EQ(window->Grid().ListItemCount(), 4);

    // Later activations do nothing, even once the file has changed.
    MakeVisibilityFile("my data/visibility.txt", 2);
    window->Form_Activate();
    EXPECT_EQ(window->Document().BlockCount, 4);
    dialogs.ExpectNoDialog();
}

TEST_F(StartupFileTest, ANamedFileThatCannotBeOpenedIsReportedOnceAndNothingOpens) {
    QDir(dir.path()).mkdir("folder");
    WriteBytes(Path(".hidden.txt"), "Version: 1.2\r\nBlocks: 0\r\n");
    const struct {
        std::string line;
        std::string reported;  // the problem named in the message, or "" for no message
    } cases[] = {
        {"", ""},                // nothing named
        {"visibility.txt", ""},  // no path in it: main() makes names absolute first
        {Path("missing.txt"), "does not exist"},
        {Path("folder"), "is not a regular file"},
        {Path(".hidden.txt"), "is a hidden file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        dialogs.calls.clear();
        MakeWindow(c.line);
        if (!c.reported.empty()) {
            dialogs.AnswerMsgBox(UserDialogs::vbOK);
        }
        window->Form_Activate();
        window->Form_Activate();
        EXPECT_TRUE(window->FirstActivationDone());
        EXPECT_EQ(window->Session().FilePath(), "");
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumark 0.9.35 by Tobrenk"));
        if (c.reported.empty()) {
            dialogs.ExpectNoDialog();
        } else {
            ASSERT_EQ(dialogs.calls.size(), 1u);
            EXPECT_EQ(dialogs.calls[0].Title, "Lumark");
            EXPECT_NE(dialogs.calls[0].Text.find(c.line), std::string::npos);
            EXPECT_NE(dialogs.calls[0].Text.find(c.reported), std::string::npos);
        }
    }
}

TEST_F(StartupFileTest, UnreadableFileIsReportedOnce) {
    const std::string path = Path("broken.txt");
    WriteBytes(path, "Version: 1.2\r\nBlocks: 2\r\n");
    MakeWindow(path);
    dialogs.AnswerMsgBox(UserDialogs::vbOK);
    window->Form_Activate();
    window->Form_Activate();
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].Title, "Lumark");
    EXPECT_NE(dialogs.calls[0].Text.find(path), std::string::npos);
    EXPECT_EQ(window->Session().FilePath(), "");
}

}  // namespace
}  // namespace lumark
