#pragma once

#include <QMainWindow>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DocumentSession.h"
#include "MatrixGridModel.h"
#include "VisibilityDocument.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QStatusBar;

namespace lumark {

class DocumentSession;
class GridInteraction;
class GridStatusPanels;
class MatrixGridView;
class OverviewWindow;
class UserDialogs;

// The program's one window: the controls, the document, loading, saving and start-up.
class LumarkMain : public QMainWindow {
    Q_OBJECT

  public:
    // `commandLine` is the text after the program name; `settingsFilePath` the settings file.
    // `recoveryFolder` keeps the records of unsaved edits (RecoveryKeeper.h); none are kept
    // without it.
    LumarkMain(UserDialogs& dialogs, std::string settingsFilePath, std::string commandLine,
               std::optional<std::string> recoveryFolder = std::nullopt, QWidget* parent = nullptr);
    ~LumarkMain() override;

    // Controls, by their design names.
    QPushButton* Loadcmd = nullptr;
    QFrame* Picture1 = nullptr;
    MatrixGridView* ListView = nullptr;
    QGroupBox* frVisibility = nullptr;
    QPushButton* cmdIncrease = nullptr;
    QPushButton* cmdDecrease = nullptr;
    QPushButton* cmdSetMinimum = nullptr;
    QPushButton* cmdSelAll = nullptr;
    QStatusBar* StatusBar = nullptr;
    QPushButton* XCheckcmd = nullptr;
    QPushButton* Savecmd = nullptr;
    QCheckBox* chEdge = nullptr;

    MatrixGridModel& Grid() { return *grid_; }
    VisibilityDocument& Document() { return doc_; }
    const VisibilityDocument& Document() const { return doc_; }
    // The document's life: its file, saving, the unsaved flag and the edit history.
    DocumentSession& Session() { return *session_; }
    UserDialogs& Dialogs() { return dialogs_; }
    // Key tracking, pointer position and column selection of the grid.
    GridInteraction& Interaction() { return *interaction_; }
    // Undo and redo of the edits.
    EditHistory& History() { return session_->History(); }
    // Status-bar panel by 1-based position, or by key ("Sta1".."Sta3").
    QLabel* StatusPanel(int position) const;
    QLabel* StatusPanelByKey(const QString& key) const;

    bool FirstActivationDone() const { return firstActivationDone_; }
    const std::string& CommandLinePath() const { return commandLinePath_; }

    // Handlers. Each one shows an error it meets instead of passing it on.
    void Loadcmd_Click();
    void Savecmd_Click();
    void Form_Activate();
    void Form_Unload(std::int16_t& cancel);
    // Writes the document, in its layout, to a file the user picks; on success the window
    // follows that file.
    void SaveAs();
    // The About box: name, version, what Lumark edits, and its keys.
    void ShowAbout();
    // Opens `path` as "Load" does once its dialog has returned it.
    void OpenDroppedFile(const std::string& path);

    // Editing handlers. Shift is the bit set 1 Shift, 2 Ctrl, 4 Alt; X and Y are in twips
    // relative to the grid's viewport; ColumnClick takes the header's sub-item index.
    void ListView_KeyDown(std::int16_t KeyCode, std::int16_t Shift);
    void ListView_KeyUp(std::int16_t KeyCode, std::int16_t Shift);
    void ListView_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void ListView_Click();
    void ListView_DblClick();
    void ListView_ColumnClick(int subItem);
    // A header click with Ctrl as `ctrl` says: the keyboard's state at a mouse click, or what a
    // key stands for, not the grid's last key event.
    void ColumnClickWithCtrl(int subItem, bool ctrl);
    void cmdSelAll_Click();
    void cmdIncrease_Click();
    void cmdDecrease_Click();
    void cmdSetMinimum_Click();
    void XCheckcmd_Click(std::int16_t Index);
    // Undo and redo, by their keys anywhere in the window.
    void Undo_Activated();
    void Redo_Activated();

    // Routine edits of many blocks (LumarkCommands.cpp, CommandMenu.cpp): ranges and lists of
    // blocks, an exact view distance, one-way links removed, and one menu of every command.
    // ConnectCommands wires every command's keys (WindowCommands.h), the header's mouse ranges
    // and the menu, once.
    void ConnectCommands();
    void SelectBlocks_Key();
    void SelectNone_Key();
    void SetDistance_Key();
    void RemoveOneWay_Key();
    // Shift+click (Ctrl+Shift+click with `add`) on the header of sub-item `subItem`, and a press
    // on one header released on another.
    void HeaderRange_Click(int subItem, bool add);
    void HeaderDrag(int pressedSubItem, int releasedSubItem, bool add);
    // Shift+Right (1) or Shift+Left (-1) on the diagonal of `block` (1-based): the block the
    // focus moves to.
    std::int16_t ExtendSelection_Key(std::int16_t block, int step);
    // The menu of every command with its key, at `globalPos`; one at a time.
    void ShowCommandMenu(QPoint globalPos);

    // Opens `path`: on success the document, FilePath, caption, grid, status bar and "LastDir"
    // follow the file; on failure a LumarkError is thrown and nothing has changed.
    void OpenVisibilityFile(const std::string& path);
    void FillMatrixGrid();
    void UpdateFileVersionPanel();
    void Form_Resize();

    // The fifth status-bar panel: "Modified" while the session has unsaved changes, else empty.
    void UpdateModifiedPanel();

    // Finding one's way: Go to block asks for a block and scrolls to it; Overview shows the
    // Overview window (created on first use). Panels 6 and 7 count the selection and read the
    // pointer's cell; the grid shows row labels.
    void GoToBlock_Key();
    void Overview_Key();
    OverviewWindow* Overview() const { return overview_; }

    // Runs `action`; an error it throws is shown in a box titled "Lumark". Returns false then.
    // Every handler runs through here, so the status bar follows whatever the handler changed.
    template <typename Action>
    bool RunGuarded(Action&& action) {
        bool done = false;
        try {
            action();
            done = true;
        } catch (const std::exception& error) {
            ShowError(error);
        }
        UpdateModifiedPanel();
        return done;
    }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void Form_Initialize();
    void CreateControls();
    void ConnectEditingHandlers();
    // Widens the controls whose design width clips their text, and keeps the first window
    // inside the screen.
    void FitControlsToText();
    void FitFirstSizeToScreen();
    void FitGridToPicture();
    void CreateNavigation();
    void ShowError(const std::exception& error);
    // The caption and the grid follow the session's file and document.
    void ConnectSession();
    // A view-distance button: `command` returns how many selected blocks it worked on.
    void RunViewDistanceCommand(const QString& caption, const std::function<int()>& command);
    // Twips to pixels, horizontally and vertically; a rectangle given in twips.
    int Px(int twips) const;
    int PxY(int twips) const;
    QRect TwipsRect(int left, int top, int width, int height) const;

    UserDialogs& dialogs_;
    const std::string commandLine_;
    DocumentSession* session_;  // a child, so it lives as long as the window
    VisibilityDocument& doc_;   // the session's
    MatrixGridModel* grid_;     // the session's
    std::unique_ptr<GridInteraction> interaction_;
    bool firstActivationDone_ = false;
    bool activationQueued_ = false;
    std::string commandLinePath_;
    std::vector<QLabel*> panels_;  // status-bar panels in their order
    GridStatusPanels* statusPanels_ = nullptr;
    OverviewWindow* overview_ = nullptr;
};

}  // namespace lumark
