#include <QDir>
#include <QTest>

#include "ListViewModel.h"
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
    EXPECT_EQ(window->Document().FilePath, path);
    EXPECT_EQ(window->windowTitle().toStdString(), "Lumark    " + path);
    EXPECT_EQ(window->Grid().ListItemCount(), 4);

    // Later activations do nothing, even once the file has changed.
    MakeVisibilityFile("my data/visibility.txt", 2);
    window->Form_Activate();
    EXPECT_EQ(window->Document().BlockCount, 4);
    dialogs.ExpectNoDialog();
}

TEST_F(StartupFileTest, OpensNothingWithoutAnExistingFile) {
    QDir(dir.path()).mkdir("folder");
    const std::string lines[] = {"", Path("missing.txt"), Path("folder"), "visibility.txt"};
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        MakeWindow(line);
        window->Form_Activate();
        EXPECT_TRUE(window->FirstActivationDone());
        EXPECT_EQ(window->Document().FilePath, "");
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumark 0.9.35 by Tobrenk"));
    }
    dialogs.ExpectNoDialog();
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
    EXPECT_EQ(window->Document().FilePath, "");
}

}  // namespace
}  // namespace lumark
