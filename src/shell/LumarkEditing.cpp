#include <QCheckBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>

#include "GridInteraction.h"
#include "LumarkMain.h"
#include "MatrixEdits.h"
#include "MatrixGridView.h"
#include "UserDialogs.h"
#include "ViewDistance.h"

// The window's editing handlers: the grid's events and the buttons that change the relation.
namespace lumark {

void LumarkMain::ConnectEditingHandlers() {
    interaction_ = std::make_unique<GridInteraction>(doc_, *grid_, *ListView, *Picture1, [this] {
        return chEdge->checkState() != Qt::Unchecked;
    });

    connect(ListView, &MatrixGridView::GridKeyPressed, this,
            [this](int key, Qt::KeyboardModifiers modifiers) {
                ListView_KeyDown(KeyCodeOf(key), KeyDownShift(key, modifiers));
            });
    connect(ListView, &MatrixGridView::GridKeyReleased, this,
            [this](int key, Qt::KeyboardModifiers modifiers) {
                ListView_KeyUp(KeyCodeOf(key), KeyUpShift(key, modifiers));
            });
    connect(ListView, &MatrixGridView::ViewportMouseMoved, this,
            [this](QPoint position, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
                interaction_->PointerAt(position);
                ListView_MouseMove(ButtonState(buttons), ShiftState(modifiers),
                                   interaction_->LastMouseX, interaction_->LastMouseY);
            });
    // Clicks carry their own position: it stands in for the last mouse move.
    connect(ListView, &MatrixGridView::ViewportClicked, this, [this](QPoint position) {
        interaction_->PointerAt(position);
        ListView_Click();
    });
    connect(ListView, &MatrixGridView::ViewportDoubleClicked, this, [this](QPoint position) {
        interaction_->PointerAt(position);
        ListView_DblClick();
    });
    // Ctrl at a header click is what the keyboard holds then, wherever the focus was before.
    connect(ListView->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        ColumnClickWithCtrl(section,
                            QGuiApplication::keyboardModifiers().testFlag(Qt::ControlModifier));
    });
    connect(cmdSelAll, &QPushButton::clicked, this, [this] { cmdSelAll_Click(); });
    connect(cmdIncrease, &QPushButton::clicked, this, [this] { cmdIncrease_Click(); });
    connect(cmdDecrease, &QPushButton::clicked, this, [this] { cmdDecrease_Click(); });
    connect(cmdSetMinimum, &QPushButton::clicked, this, [this] { cmdSetMinimum_Click(); });
    connect(XCheckcmd, &QPushButton::clicked, this, [this] { XCheckcmd_Click(1); });
}

void LumarkMain::ListView_KeyDown(std::int16_t KeyCode, std::int16_t Shift) {
    RunGuarded([&] { interaction_->ListView_KeyDown(KeyCode, Shift); });
}

void LumarkMain::ListView_KeyUp(std::int16_t KeyCode, std::int16_t Shift) {
    RunGuarded([&] { interaction_->ListView_KeyUp(KeyCode, Shift); });
}

void LumarkMain::ListView_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y) {
    RunGuarded([&] { interaction_->ListView_MouseMove(Button, Shift, X, Y); });
}

void LumarkMain::ListView_Click() {
    RunGuarded([this] {
        History().RecordCellClick([this] { interaction_->ListView_Click(); });
        session_->MarkChanged();  // any click on the grid, also one that hit no cell
    });
}

void LumarkMain::ListView_DblClick() {
    RunGuarded(
        [this] { History().RecordDoubleClick([this] { interaction_->ListView_DblClick(); }); });
}

void LumarkMain::ListView_ColumnClick(int subItem) {
    RunGuarded([&] { interaction_->ListView_ColumnClick(subItem); });
}

void LumarkMain::ColumnClickWithCtrl(int subItem, bool ctrl) {
    interaction_->CtrlKeyDown = ctrl;
    ListView_ColumnClick(subItem);
}

void LumarkMain::cmdSelAll_Click() {
    RunGuarded([this] { interaction_->SelectAllColumns(); });
}

void LumarkMain::cmdIncrease_Click() {
    RunViewDistanceCommand(QStringLiteral("Increase (+)"), [this] {
        return ViewDistance::IncreaseSelected(doc_, grid_->Selection());
    });
}

void LumarkMain::cmdDecrease_Click() {
    RunViewDistanceCommand(QStringLiteral("Decrease (-)"), [this] {
        return ViewDistance::DecreaseSelected(doc_, grid_->Selection());
    });
}

void LumarkMain::cmdSetMinimum_Click() {
    RunViewDistanceCommand(QStringLiteral("Set Minimum"), [this] {
        return ViewDistance::SetMinimumCommand(
            doc_, grid_->Selection(),
            [this](const std::string& prompt, const std::string& title,
                   const std::string& defaultReply) {
                return dialogs_.InputBox(prompt, title, defaultReply);
            });
    });
}

void LumarkMain::RunViewDistanceCommand(const QString& caption,
                                        const std::function<int()>& command) {
    RunGuarded([&] {
        int blocks = 0;
        History().Record(History().SelectedBlocksText(caption), [&] { blocks = command(); });
        if (blocks > 0) {
            session_->MarkChanged();  // pressed on blocks: changed, even where nothing had to
        }
    });
}

void LumarkMain::XCheckcmd_Click(std::int16_t /*Index*/) {
    RunGuarded([this] {
        History().Record(QStringLiteral("Cross Fw & Bw"), [this] { MakeVisibilityMutual(doc_); });
    });
}

void LumarkMain::Undo_Activated() {
    RunGuarded([this] { session_->Undo(); });
}

void LumarkMain::Redo_Activated() {
    RunGuarded([this] { session_->Redo(); });
}

}  // namespace lumark
