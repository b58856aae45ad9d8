#include "LumarkMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "Befehlszeile.h"
#include "DateiOeffnen.h"
#include "DevelopmentDirectory.h"
#include "GridInteraction.h"
#include "Ini.h"
#include "LumarkVersion.h"
#include "Lumark_Allgemein.h"
#include "MatrixEdits.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "MatrixGridView.h"
#include "Twips.h"
#include "UserDialogs.h"
#include "ViewDistance.h"
#include "VisibilityReader.h"
#include "VisibilityWriter.h"

namespace lumark {

namespace {

// Design client area, and what the borders and title bar add to it.
constexpr int DesignClientWidth = 10395;
constexpr int DesignClientHeight = 8835;
constexpr int MinimumOuterWidth = 10515;
constexpr int MinimumOuterHeight = 2500;
constexpr int FrameWidth = 120;
constexpr int FrameHeight = 345;

const char* const OpenDialogTitle = "Open visibility file";
const char* const OpenDialogFilter = "Visibility File|visibility.txt|All Files|*.*";
const char* const SettingsSection = "Main";
const char* const LastDirKey = "LastDir";
const char* const LastDirDefault = "C:";

QString FromLocal(const std::string& text) {
    return QString::fromStdString(text);
}

QString VersionNumbers() {
    return QStringLiteral("%1.%2.%3").arg(VersionMajor).arg(VersionMinor).arg(VersionRevision);
}

}  // namespace

LumarkMain::LumarkMain(UserDialogs& dialogs, std::string settingsFilePath, std::string commandLine,
                       QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      settingsFilePath_(std::move(settingsFilePath)),
      commandLine_(std::move(commandLine)) {
    CreateControls();
    Form_Initialize();
}

LumarkMain::~LumarkMain() = default;

int LumarkMain::Px(int twips) const {
    return TwipsToPixels(twips, logicalDpiX());
}

int LumarkMain::PxY(int twips) const {
    return TwipsToPixels(twips, logicalDpiY());
}

QRect LumarkMain::TwipsRect(int left, int top, int width, int height) const {
    return QRect(Px(left), PxY(top), Px(width), PxY(height));
}

void LumarkMain::CreateControls() {
    setObjectName(QStringLiteral("LumarkMain"));
    // The design's controls are sized for a small 8-point dialog font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    auto* client = new QWidget(this);
    setCentralWidget(client);

    const auto button = [this](QWidget* parent, const char* name, const char* caption, int left,
                               int top, int width, int height) {
        auto* b = new QPushButton(QString::fromLatin1(caption), parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(TwipsRect(left, top, width, height));
        return b;
    };

    Loadcmd = button(client, "Loadcmd", "Load", 240, 120, 855, 375);
    Picture1 = new QFrame(client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::StyledPanel);
    Picture1->setFrameShadow(QFrame::Sunken);
    Picture1->setGeometry(TwipsRect(240, 720, 9975, 7815));
    grid_ = new MatrixGridModel(doc_, this);
    ListView = new MatrixGridView(Picture1);
    ListView->setObjectName(QStringLiteral("ListView"));
    ListView->SetListViewModel(grid_);
    ListView->setGeometry(TwipsRect(360, 600, 5535, 4815));
    frVisibility = new QGroupBox(QStringLiteral("View Distance"), client);
    frVisibility->setObjectName(QStringLiteral("frVisibility"));
    frVisibility->setGeometry(TwipsRect(2280, 0, 5292, 615));
    cmdIncrease = button(frVisibility, "cmdIncrease", "Increase (+)", 1440, 240, 1092, 255);
    cmdDecrease = button(frVisibility, "cmdDecrease", "Decrease (-)", 2640, 240, 1092, 255);
    cmdSetMinimum = button(frVisibility, "cmdSetMinimum", "Set Minimum", 3960, 240, 1092, 255);
    cmdSelAll = button(frVisibility, "cmdSelAll", "Select All", 120, 240, 1092, 255);
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    setStatusBar(StatusBar);
    XCheckcmd = button(client, "XCheckcmd", "Cross Fw && Bw", 7680, 240, 1212, 252);
    Savecmd = button(client, "Savecmd", "Save", 1200, 120, 855, 372);
    chEdge = new QCheckBox(QStringLiteral("Edge Setting"), client);
    chEdge->setObjectName(QStringLiteral("chEdge"));
    chEdge->setGeometry(TwipsRect(9000, 240, 1215, 255));
    chEdge->setChecked(false);

    // The design's own panel; the start-up panels go in front of it.
    auto* designPanel = new QLabel(StatusBar);
    designPanel->setFixedWidth(Px(1440));
    StatusBar->addWidget(designPanel);
    panels_.push_back(designPanel);

    QWidget* const order[] = {Loadcmd,     Picture1,    ListView,      frVisibility,
                              cmdIncrease, cmdDecrease, cmdSetMinimum, cmdSelAll,
                              StatusBar,   XCheckcmd,   Savecmd,       chEdge};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    connect(Loadcmd, &QPushButton::clicked, this, [this] { Loadcmd_Click(); });
    connect(Savecmd, &QPushButton::clicked, this, [this] { Savecmd_Click(); });
    ConnectEditingHandlers();

    // The window system keeps the window at least this large; Form_Resize need not enlarge it.
    setMinimumSize(Px(MinimumOuterWidth - FrameWidth), PxY(MinimumOuterHeight - FrameHeight));
    resize(Px(DesignClientWidth), PxY(DesignClientHeight));
}

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
    connect(ListView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { ListView_ColumnClick(section); });
    connect(cmdSelAll, &QPushButton::clicked, this, [this] { cmdSelAll_Click(); });
    connect(cmdIncrease, &QPushButton::clicked, this, [this] { cmdIncrease_Click(); });
    connect(cmdDecrease, &QPushButton::clicked, this, [this] { cmdDecrease_Click(); });
    connect(cmdSetMinimum, &QPushButton::clicked, this, [this] { cmdSetMinimum_Click(); });
    connect(XCheckcmd, &QPushButton::clicked, this, [this] { XCheckcmd_Click(1); });
}

void LumarkMain::Form_Initialize() {
    if (IsDevelopmentDirectory(
            QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString())) {
        QDir::setCurrent(QCoreApplication::applicationDirPath());
    }
    setWindowTitle(QStringLiteral("Lumark %1 by Tobrenk").arg(VersionNumbers()));

    ListView->setShowGrid(true);  // display option 27: grid lines
    ListView->SetHideSelection(false);

    const char* const keys[] = {"Sta1", "Sta2", "Sta3"};
    const int widths[] = {1200, 2000, 1560};
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QString::fromLatin1(keys[i]));
        StatusBar->insertWidget(i, panel);
        panels_.insert(panels_.begin() + i, panel);
        panel->setFixedWidth(Px(widths[i]));
    }
    StatusPanel(1)->setText(QStringLiteral("Lumark %1").arg(VersionNumbers()));
    UpdateFileVersionPanel();

    // After the design's panel: the state the four panels above do not show.
    auto* modified = new QLabel(StatusBar);
    modified->setObjectName(QStringLiteral("Modified"));
    StatusBar->addWidget(modified);
    panels_.push_back(modified);
    UpdateModifiedPanel();
    CreateNavigation();
    Form_Resize();
}

QLabel* LumarkMain::StatusPanel(int position) const {
    return position >= 1 && position <= static_cast<int>(panels_.size())
               ? panels_[static_cast<std::size_t>(position - 1)]
               : nullptr;
}

QLabel* LumarkMain::StatusPanelByKey(const QString& key) const {
    return StatusBar->findChild<QLabel*>(key, Qt::FindDirectChildrenOnly);
}

void LumarkMain::UpdateFileVersionPanel() {
    StatusPanel(2)->setText(QStringLiteral("File Version : ") + FromLocal(doc_.VersionText));
}

void LumarkMain::UpdateModifiedPanel() {
    StatusPanel(5)->setText(doc_.UnsavedChanges ? QStringLiteral("Modified") : QString());
}

void LumarkMain::Form_Resize() {
    if (isMinimized()) {
        return;
    }
    // The outer size in twips, as the design measures it.
    const int width = static_cast<int>(PixelsToTwips(this->width(), logicalDpiX())) + FrameWidth;
    const int height = static_cast<int>(PixelsToTwips(this->height(), logicalDpiY())) + FrameHeight;
    Picture1->setGeometry(TwipsRect(240, 720, width - 540, height - 1365));
    FitGridToPicture();
}

void LumarkMain::FitGridToPicture() {
    if (ListView->parentWidget() != Picture1) {
        ListView->setParent(Picture1);
    }
    ListView->setGeometry(Picture1->contentsRect());
}

void LumarkMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    RunGuarded([this] { Form_Resize(); });
}

void LumarkMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Activation alone is not enough: without a window manager the window is never activated.
    if (!firstActivationDone_ && !activationQueued_) {
        activationQueued_ = true;
        QTimer::singleShot(0, this, [this] { Form_Activate(); });
    }
}

void LumarkMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Form_Activate();
    }
}

void LumarkMain::closeEvent(QCloseEvent* event) {
    std::int16_t cancel = 0;
    if (!RunGuarded([&] { Form_Unload(cancel); })) {
        cancel = 1;  // whatever failed, the edits stay on screen
    }
    if (cancel != 0) {
        event->ignore();
    } else {
        event->accept();
    }
}

void LumarkMain::ShowError(const std::exception& error) {
    dialogs_.MsgBox(error.what(), "Lumark", UserDialogs::vbOKOnly + UserDialogs::vbCritical);
}

void LumarkMain::Form_Activate() {
    if (firstActivationDone_) {
        return;
    }
    // Set first: a failed open must not be retried, and its message box re-activates us.
    firstActivationDone_ = true;
    commandLinePath_ = Befehlszeile::ExtractCommandLinePath(commandLine_);
    if (commandLinePath_.empty()) {
        return;
    }
    const QFileInfo file(QFile::decodeName(QByteArray::fromStdString(commandLinePath_)));
    if (!file.isFile() || file.isHidden()) {
        return;
    }
    RunGuarded([this] { OpenVisibilityFile(commandLinePath_); });
}

void LumarkMain::Loadcmd_Click() {
    RunGuarded([this] {
        // Opening replaces the document: edits of an open file are offered for saving first.
        if (doc_.UnsavedChanges && !doc_.FilePath.empty() && !AskToSaveChanges()) {
            return;
        }
        const std::string lastDir =
            Ini::ReadIniValue(SettingsSection, LastDirKey, LastDirDefault, settingsFilePath_);
        if (Lumark_Allgemein::DirectoryHasFiles(lastDir)) {
            QDir::setCurrent(QFile::decodeName(QByteArray::fromStdString(lastDir)));
        }
        const std::string path =
            DateiOeffnen::ShowFileOpenDialog(dialogs_, OpenDialogTitle, OpenDialogFilter);
        // A cancelled dialog keeps the open file, so "Save" still has somewhere to write.
        if (!path.empty()) {
            OpenVisibilityFile(path);
        }
    });
}

bool LumarkMain::AskToSaveChanges() {
    const int answer =
        dialogs_.MsgBox("Save Visibility now ?", "Visibility hasn't been saved yet !",
                        UserDialogs::vbYesNoCancel + UserDialogs::vbExclamation);
    if (answer == UserDialogs::vbCancel) {
        return false;
    }
    // With no file ever loaded there is nowhere to write; Yes then goes on like No.
    if (answer == UserDialogs::vbYes && !doc_.FilePath.empty()) {
        WriteVisibilityFile(doc_, doc_.FilePath);
        doc_.UnsavedChanges = false;
    }
    return true;
}

void LumarkMain::OpenVisibilityFile(const std::string& path) {
    ReadVisibilityFile(doc_, path);
    doc_.FilePath = path;
    doc_.UnsavedChanges = false;
    UpdateFileVersionPanel();
    Ini::WriteIniValue(SettingsSection, LastDirKey, Lumark_Allgemein::ExtractDirectory(path),
                       settingsFilePath_);
    setWindowTitle(QStringLiteral("Lumark    ") + FromLocal(path));
    FillMatrixGrid();
    ListView->setFocus();
}

void LumarkMain::FillMatrixGrid() {
    lumark::FillMatrixGrid(doc_, *grid_);
}

void LumarkMain::RefreshMatrixCell(std::int16_t& column, std::int16_t& row) {
    lumark::RefreshMatrixCell(doc_, *grid_, column, row);
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
    RunGuarded([this] { interaction_->ListView_Click(); });
}

void LumarkMain::ListView_DblClick() {
    RunGuarded([this] { interaction_->ListView_DblClick(); });
}

void LumarkMain::ListView_ColumnClick(int subItem) {
    RunGuarded([&] { interaction_->ListView_ColumnClick(subItem); });
}

void LumarkMain::cmdSelAll_Click() {
    RunGuarded([this] { interaction_->SelectAllColumns(); });
}

void LumarkMain::cmdIncrease_Click() {
    RunGuarded([this] { ViewDistance::IncreaseSelected(doc_, *grid_); });
}

void LumarkMain::cmdDecrease_Click() {
    RunGuarded([this] { ViewDistance::DecreaseSelected(doc_, *grid_); });
}

void LumarkMain::cmdSetMinimum_Click() {
    RunGuarded([this] {
        ViewDistance::SetMinimumCommand(doc_, *grid_,
                                        [this](const std::string& prompt, const std::string& title,
                                               const std::string& defaultReply) {
                                            return dialogs_.InputBox(prompt, title, defaultReply);
                                        });
    });
}

void LumarkMain::XCheckcmd_Click(std::int16_t /*Index*/) {
    RunGuarded([this] { MakeVisibilityMutual(doc_, *grid_); });
}

void LumarkMain::Savecmd_Click() {
    RunGuarded([this] {
        if (doc_.FilePath.empty()) {
            return;
        }
        if (dialogs_.MsgBox("Save as " + doc_.FilePath, "Save Visibility", UserDialogs::vbYesNo) !=
            UserDialogs::vbYes) {
            return;
        }
        WriteVisibilityFile(doc_, doc_.FilePath);
        dialogs_.MsgBox("File : " + doc_.FilePath, "Save Visibility successfull",
                        UserDialogs::vbOKOnly);
        doc_.UnsavedChanges = false;
    });
}

void LumarkMain::Form_Unload(std::int16_t& cancel) {
    if (!doc_.UnsavedChanges) {
        return;
    }
    bool close = false;
    // A failed write is shown, and the window stays open with the edits.
    if (!RunGuarded([&] { close = AskToSaveChanges(); }) || !close) {
        cancel = 1;
    }
}

}  // namespace lumark
