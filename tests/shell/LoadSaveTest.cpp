#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <cstdio>
#include <filesystem>

#include "Ini.h"
#include "Lumark_Allgemein.h"
#include "MatrixGridModel.h"
#include "WindowFixture.h"

namespace lumark {
namespace {

constexpr int Warning = UserDialogs::vbYesNoCancel + UserDialogs::vbExclamation;  // 51
constexpr int ErrorStyle = UserDialogs::vbOKOnly + UserDialogs::vbCritical;

class LoadSaveTest : public WindowTest {
  protected:
    // Loads `path` through "Load", with no other dialog expected.
    void Load(const std::string& path) {
        dialogs.ChooseFile(path);
        window->Loadcmd_Click();
        ASSERT_EQ(window->Session().FilePath(), path) << dialogs.Listing();
    }

    std::string Caption() const { return window->windowTitle().toStdString(); }
    std::string LastDir() { return Ini::ReadIniValue("Main", "LastDir", "", settings); }
    // Marks the document edited, as a cell click would.
    void Edit() {
        VisibilityDocument& doc = window->Document();
        doc.SetElement(1, 2, doc.Matrix.Get(1, 2) == True16 ? False16 : True16);
        window->Session().MarkChanged();
    }
    // Loads a file, edits it, then makes writing it fail.
    std::string LoadEditedFileWhoseFolderGoes() {
        QDir(dir.path()).mkdir("gone");
        const std::string path = MakeVisibilityFile("gone/visibility.txt", 3);
        Load(path);
        Edit();
        MakeWritingFail(path);
        return path;
    }
    bool Close() {
        const bool closed = window->close();
        return closed;
    }
};

TEST_F(LoadSaveTest, LoadOpensTheChosenFile) {
    const std::string path = MakeVisibilityFile("visibility.txt", 3);
    Load(path);
    ASSERT_EQ(dialogs.calls.size(), 1u);
    const DialogCall& call = dialogs.calls[0];
    EXPECT_EQ(call.Title, "Open visibility file");
    ASSERT_EQ(call.Filters.size(), 2u);
    EXPECT_EQ(call.Filters[0].Description, "Visibility File");
    EXPECT_EQ(call.Filters[0].Pattern, "visibility.txt");
    EXPECT_EQ(call.Filters[1].Description, "All Files");
    EXPECT_EQ(call.Filters[1].Pattern, LUMARK_POSIX_TESTS ? "*" : "*.*");  // all names either way
    EXPECT_EQ(call.SelectedFilter, 0);

    EXPECT_EQ(Caption(), "Lumark    " + path);
    EXPECT_EQ(window->StatusPanel(2)->text(), QStringLiteral("File Version : 1.2"));
    EXPECT_EQ(window->Document().BlockCount, 3);
    EXPECT_EQ(window->Grid().ListItemCount(), 3);
    EXPECT_EQ(window->Grid().SubItemText(2, 2), QStringLiteral("(1)"));
    EXPECT_EQ(LastDir(), Lumark_Allgemein::ExtractDirectory(path));
    EXPECT_FALSE(window->Session().UnsavedChanges());
}

TEST_F(LoadSaveTest, FirstLoadStoresTheDefaultDirectory) {
    dialogs.ChooseFile("");
    window->Loadcmd_Click();
    EXPECT_EQ(LoadSaveTest::ReadBytes(settings).find("LastDir=C:") != std::string::npos, true);
}

TEST_F(LoadSaveTest, LoadStartsInTheLastDirectoryWhenItHoldsFiles) {
    QDir(dir.path()).mkdir("data");
    const std::string data = Path("data");
    MakeVisibilityFile("data/visibility.txt", 2);
    Ini::WriteIniValue("Main", "LastDir", data, settings);
    dialogs.ChooseFile("");
    window->Loadcmd_Click();
    EXPECT_EQ(QFileInfo(QDir::currentPath()).canonicalFilePath(),
              QFileInfo(QString::fromStdString(data)).canonicalFilePath());

    // A folder without ordinary files is not made current.
    QDir(dir.path()).mkdir("empty");
    Ini::WriteIniValue("Main", "LastDir", Path("empty"), settings);
    dialogs.ChooseFile("");
    window->Loadcmd_Click();
    EXPECT_EQ(QFileInfo(QDir::currentPath()).canonicalFilePath(),
              QFileInfo(QString::fromStdString(data)).canonicalFilePath());
}

TEST_F(LoadSaveTest, CancelledDialogKeepsTheOpenFile) {
    const std::string path = MakeVisibilityFile("visibility.txt", 3);
    Load(path);
    dialogs.ChooseFile("");
    window->Loadcmd_Click();
    EXPECT_EQ(window->Session().FilePath(), path);
    EXPECT_EQ(Caption(), "Lumark    " + path);
    // "Save" still writes to it.
    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbOK);
    window->Savecmd_Click();
    dialogs.ExpectMsgBox("Save as " + path, "Save Visibility", UserDialogs::vbYesNo);
}

TEST_F(LoadSaveTest, FailedOpenChangesNothing) {
    const std::string good = MakeVisibilityFile("visibility.txt", 3);
    Load(good);
    const VisibilityDocument before = window->Document();
    const std::string lastDir = LastDir();

    QDir(dir.path()).mkdir("other");
    const struct {
        const char* name;
        const char* bytes;
        const char* problem;
    } bad[] = {
        {"other/broken.txt", "Version: 1.2\r\nBlocks: 2\r\nBlock: 0\r\n0\r\nabc\r\n", "line 5"},
        {"other/unknown.txt", "2.0\r\n4\r\n", "neither version 1.000000 nor 1.2"},
        {"other/short.txt", "1.000000\r\n2\r\n0\r\n0\r\n", "ends"},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.name);
        const std::string path = Path(b.name);
        WriteBytes(path, b.bytes);
        dialogs.calls.clear();
        dialogs.ChooseFile(path).AnswerMsgBox(UserDialogs::vbOK);
        window->Loadcmd_Click();

        ASSERT_EQ(dialogs.calls.size(), 2u);
        const DialogCall& error = dialogs.calls[1];
        EXPECT_EQ(error.Title, "Lumark");
        EXPECT_EQ(error.Style, ErrorStyle);
        EXPECT_NE(error.Text.find(path), std::string::npos) << error.Text;
        EXPECT_NE(error.Text.find(b.problem), std::string::npos) << error.Text;

        EXPECT_EQ(window->Session().FilePath(), good);
        EXPECT_EQ(window->Document().VersionText, before.VersionText);
        EXPECT_EQ(window->Document().BlockCount, before.BlockCount);
        EXPECT_TRUE(window->Document().Matrix == before.Matrix);
        EXPECT_EQ(Caption(), "Lumark    " + good);
        EXPECT_EQ(window->StatusPanel(2)->text(), QStringLiteral("File Version : 1.2"));
        EXPECT_EQ(window->Grid().ListItemCount(), 3);
        EXPECT_EQ(LastDir(), lastDir);
    }
}

TEST_F(LoadSaveTest, LoadAsksBeforeUnsavedEditsAreReplaced) {
    const std::string first = MakeVisibilityFile("first.txt", 3);
    const std::string second = MakeVisibilityFile("second.txt", 2);
    const std::string firstBytes = ReadBytes(first);
    Load(first);

    // Cancel: no file dialog, nothing changes.
    Edit();
    dialogs.AnswerMsgBox(UserDialogs::vbCancel);
    window->Loadcmd_Click();
    dialogs.ExpectMsgBox("Save Visibility now ?", "Visibility hasn't been saved yet !", Warning);
    EXPECT_EQ(dialogs.CountOf(DialogKind::OpenFile), 1u);
    EXPECT_TRUE(window->Session().UnsavedChanges());
    EXPECT_EQ(ReadBytes(first), firstBytes);

    // No: the edits are dropped and the other file opens.
    dialogs.AnswerMsgBox(UserDialogs::vbNo).ChooseFile(second);
    window->Loadcmd_Click();
    EXPECT_EQ(window->Session().FilePath(), second);
    EXPECT_FALSE(window->Session().UnsavedChanges());
    EXPECT_EQ(ReadBytes(first), firstBytes);

    // Yes: the edits are written to their own file first.
    Edit();
    dialogs.AnswerMsgBox(UserDialogs::vbYes).ChooseFile(first);
    window->Loadcmd_Click();
    EXPECT_EQ(window->Session().FilePath(), first);
    EXPECT_NE(ReadBytes(second), std::string());
    EXPECT_FALSE(window->Session().UnsavedChanges());
    EXPECT_EQ(window->Document().BlockCount, 3);
}

TEST_F(LoadSaveTest, LoadStopsWhenSavingTheEditsFails) {
    const std::string path = LoadEditedFileWhoseFolderGoes();
    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbOK);
    window->Loadcmd_Click();
    EXPECT_EQ(dialogs.CountOf(DialogKind::OpenFile), 1u);  // only the first load's
    EXPECT_EQ(dialogs.calls.back().Title, "Lumark");
    EXPECT_TRUE(window->Session().UnsavedChanges());
}

TEST_F(LoadSaveTest, SaveDoesNothingWithoutAFile) {
    window->Savecmd_Click();
    dialogs.ExpectNoDialog();
    dialogs.ChooseFile("");
    window->Loadcmd_Click();
    dialogs.calls.clear();
    window->Savecmd_Click();
    dialogs.ExpectNoDialog();
}

TEST_F(LoadSaveTest, SaveAsksWritesAndConfirms) {
    const std::string path = MakeVisibilityFile("visibility.txt", 3);
    Load(path);
    Edit();
    const std::string before = ReadBytes(path);

    dialogs.AnswerMsgBox(UserDialogs::vbNo);
    window->Savecmd_Click();
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_TRUE(window->Session().UnsavedChanges());

    dialogs.calls.clear();
    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbOK);
    window->Savecmd_Click();
    ASSERT_EQ(dialogs.calls.size(), 2u);
    dialogs.ExpectMsgBox("Save as " + path, "Save Visibility", UserDialogs::vbYesNo);
    dialogs.ExpectMsgBox("File : " + path, "Save Visibility successfull", UserDialogs::vbOKOnly);
    EXPECT_NE(ReadBytes(path), before);
    EXPECT_FALSE(window->Session().UnsavedChanges());

    // An unchanged document is still written and confirmed.
    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbOK);
    window->Savecmd_Click();
    EXPECT_EQ(dialogs.calls.size(), 4u);
}

TEST_F(LoadSaveTest, FailedSaveKeepsTheEditsMarked) {
    const std::string path = LoadEditedFileWhoseFolderGoes();
    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbOK);
    window->Savecmd_Click();
    ASSERT_EQ(dialogs.calls.size(), 3u);
    EXPECT_EQ(dialogs.calls[2].Title, "Lumark");
    EXPECT_NE(dialogs.calls[2].Text.find(path), std::string::npos);
    EXPECT_TRUE(window->Session().UnsavedChanges());
}

TEST_F(LoadSaveTest, ClosingWithoutEditsAsksNothing) {
    Load(MakeVisibilityFile("visibility.txt", 3));
    window->show();
    EXPECT_TRUE(Close());
    EXPECT_EQ(dialogs.calls.size(), 1u);
}

TEST_F(LoadSaveTest, ClosingWithEditsAsks) {
    const std::string path = MakeVisibilityFile("visibility.txt", 3);
    Load(path);
    const std::string before = ReadBytes(path);
    window->show();
    Edit();

    dialogs.AnswerMsgBox(UserDialogs::vbCancel);
    EXPECT_FALSE(Close());
    dialogs.ExpectMsgBox("Save Visibility now ?", "Visibility hasn't been saved yet !", Warning);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->Session().UnsavedChanges());

    dialogs.AnswerMsgBox(UserDialogs::vbNo);
    EXPECT_TRUE(Close());
    EXPECT_EQ(ReadBytes(path), before);

    window->show();
    dialogs.AnswerMsgBox(UserDialogs::vbYes);
    EXPECT_TRUE(Close());
    EXPECT_NE(ReadBytes(path), before);
    EXPECT_FALSE(window->Session().UnsavedChanges());
    EXPECT_EQ(dialogs.calls.size(), 4u);  // no confirmation box on closing
}

TEST_F(LoadSaveTest, ClosingWithEditsButNoFileClosesOnYes) {
    window->show();
    window->Session().MarkChanged();
    dialogs.AnswerMsgBox(UserDialogs::vbYes);
    EXPECT_TRUE(Close());
    EXPECT_EQ(dialogs.calls.size(), 1u);
}

TEST_F(LoadSaveTest, ClosingKeepsTheWindowWhenTheWriteFails) {
    LoadEditedFileWhoseFolderGoes();
    window->show();
    dialogs.AnswerMsgBox(UserDialogs::vbYes).AnswerMsgBox(UserDialogs::vbOK);
    EXPECT_FALSE(Close());
    EXPECT_EQ(dialogs.calls.back().Title, "Lumark");
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->Session().UnsavedChanges());
}

}  // namespace
}  // namespace lumark

namespace lumark {
namespace {

// The wiring of a change on disk: the grid and the eighth panel show it.
TEST_F(LoadSaveTest, AChangeOnDiskShowsInTheGridAndTheLastPanel) {
    const std::string path = MakeVisibilityFile("visibility.txt", 3);
    Load(path);
    const std::string other = MakeVisibilityFile("other.txt", 5);
    std::filesystem::rename(other, path);
    window->Session().CheckDisk();
    EXPECT_EQ(window->Grid().rowCount(), 5);
    EXPECT_EQ(window->StatusPanel(8)->text(), QStringLiteral("Reloaded: changed on disk"));
    EXPECT_EQ(window->StatusPanel(5)->text(), QString());
}

}  // namespace
}  // namespace lumark
