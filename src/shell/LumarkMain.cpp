#include "LumarkMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFont>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <optional>

#include "Befehlszeile.h"
#include "DevelopmentDirectory.h"
#include "DocumentSession.h"
#include "GridInteraction.h"
#include "GridKeys.h"
#include "GridStatusPanels.h"
#include "MatrixGrid.h"
#include "MatrixGridModel.h"
#include "MatrixGridView.h"
#include "PathParts.h"
#include "PathText.h"
#include "ProgramInfo.h"
#include "RecoveryLocation.h"
#include "StartupFile.h"
#include "Twips.h"
#include "UserDialogs.h"
#include "WindowAccessibility.h"

namespace lumark {

namespace {

// Design client area, and what the borders and title bar add to it.
constexpr int DesignClientWidth = 10395;
constexpr int DesignClientHeight = 8835;
constexpr int MinimumOuterWidth = 10515;
constexpr int MinimumOuterHeight = 2500;
constexpr int FrameWidth = 120;
constexpr int FrameHeight = 345;

// The one local file a drop carries, if that is all it carries.
std::optional<std::string> DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().front().isLocalFile()) {
        return std::nullopt;
    }
    return PathFromQString(data->urls().front().toLocalFile());
}

}  // namespace

LumarkMain::LumarkMain(UserDialogs& dialogs, std::string settingsFilePath, std::string commandLine,
                       std::optional<std::string> recoveryFolder, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      commandLine_(std::move(commandLine)),
      // A save in place keeps the old bytes in the program's state folder when the file's
      // own folder cannot be written.
      session_(new DocumentSession(dialogs, std::move(settingsFilePath),
                                   std::string(SplitPath(RecoveryFolder()).Folder), this)),
      doc_(session_->Document()),
      grid_(&session_->Grid()) {
    if (recoveryFolder) {
        session_->KeepRecoveryRecords(*recoveryFolder);
    }
    CreateControls();
    Form_Initialize();
    ConnectGridKeys(*this);
    ConnectCommands();
    DescribeWindowForAccessibility(*this);
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
    chEdge->setToolTip(QStringLiteral(
        "Ticked: a click on a cell makes that block the edge of the column block's view"));

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
    ConnectSession();
    FitControlsToText();
    setAcceptDrops(true);

    // The window system keeps the window at least this large; Form_Resize need not enlarge it.
    setMinimumSize(Px(MinimumOuterWidth - FrameWidth), PxY(MinimumOuterHeight - FrameHeight));
    resize(Px(DesignClientWidth), PxY(DesignClientHeight));
    FitFirstSizeToScreen();
}

void LumarkMain::FitControlsToText() {
    // A check box's size hint is its text and box; a push button's also has a style minimum
    // that the design's narrower buttons need not reach, so they are measured by their text.
    if (chEdge->width() < chEdge->sizeHint().width()) {
        chEdge->resize(chEdge->sizeHint().width(), chEdge->height());
    }
    for (QPushButton* button :
         {Loadcmd, Savecmd, cmdIncrease, cmdDecrease, cmdSetMinimum, cmdSelAll, XCheckcmd}) {
        // The text is drawn inside the frame; a pixel of air each side keeps it off the edge.
        const int margins = 2 * (button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 1);
        const QString text =
            QString(button->text()).replace(QStringLiteral("&&"), QStringLiteral("&"));
        const int wanted = button->fontMetrics().horizontalAdvance(text) + margins;
        if (button->width() < wanted) {
            button->resize(wanted, button->height());
        }
    }
}

void LumarkMain::FitFirstSizeToScreen() {
    const QScreen* const shown = screen();
    if (shown == nullptr) {
        return;
    }
    // Room for the borders and title bar the window manager adds.
    const QSize room = shown->availableGeometry().size() - QSize(Px(FrameWidth), PxY(FrameHeight));
    const QSize first = size().boundedTo(room);
    if (first != size()) {
        resize(first.expandedTo(minimumSize()));
    }
}

void LumarkMain::Form_Initialize() {
    if (IsDevelopmentDirectory(
            QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString())) {
        QDir::setCurrent(QCoreApplication::applicationDirPath());
    }
    setWindowTitle(QString::fromStdString(ProgramNameAndVersion() + " by Tobrenk"));

    ListView->setShowGrid(true);  // display option 27: grid lines
    ListView->SetHideSelection(false);
    // Tab leaves the grid for the next control; arrows and paging move inside it.
    ListView->setTabKeyNavigation(false);

    const char* const keys[] = {"Sta1", "Sta2", "Sta3"};
    const int widths[] = {1200, 2000, 1560};
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(StatusBar);
        panel->setObjectName(QString::fromLatin1(keys[i]));
        StatusBar->insertWidget(i, panel);
        panels_.insert(panels_.begin() + i, panel);
        panel->setFixedWidth(Px(widths[i]));
    }
    StatusPanel(1)->setText(QString::fromStdString(ProgramNameAndVersion()));
    UpdateFileVersionPanel();

    // After the design's panel: the state the four panels above do not show.
    auto* modified = new QLabel(StatusBar);
    modified->setObjectName(QStringLiteral("Modified"));
    StatusBar->addWidget(modified);
    panels_.push_back(modified);
    UpdateModifiedPanel();
    CreateNavigation();
    // After the pointer panel: the open file's state on disk, empty while nothing is to tell.
    auto* diskState = new QLabel(StatusBar);
    diskState->setObjectName(QStringLiteral("DiskState"));
    diskState->setFixedSize(0, diskState->sizeHint().height());
    StatusBar->addWidget(diskState);
    panels_.push_back(diskState);
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
    StatusPanel(2)->setText(QStringLiteral("File Version : ") +
                            QString::fromStdString(doc_.VersionText));
}

void LumarkMain::UpdateModifiedPanel() {
    StatusPanel(5)->setText(session_->UnsavedChanges() ? QStringLiteral("Modified") : QString());
    FitPanelToText(*StatusPanel(5));
}

void LumarkMain::ConnectSession() {
    connect(session_, &DocumentSession::FileFollowed, this, [this] {
        setWindowTitle(QStringLiteral("Lumark    ") + PathToQString(session_->FilePath()));
    });
    connect(session_, &DocumentSession::DiskStateChanged, this, [this] {
        // As wide as what it says, so that an empty one leaves the room to the others.
        QLabel* panel = StatusPanelByKey(QStringLiteral("DiskState"));
        const QString text = QString::fromStdString(session_->DiskState());
        panel->setText(text);
        panel->setFixedWidth(text.isEmpty() ? 0 : panel->fontMetrics().horizontalAdvance(text) + 8);
        panel->setToolTip(QString());
        if (!text.isEmpty()) {
            statusPanels_->YieldRoom();
        }
        statusPanels_->FitPointerPanel();
        // A narrow window cuts the text short where it ends, once the bar is laid out.
        QTimer::singleShot(0, panel, [this, panel, text] {
            const int room = width() - panel->mapTo(this, QPoint(0, 0)).x() - 4;
            if (room > 0 && room < panel->width()) {
                panel->setFixedWidth(room);
                panel->setText(panel->fontMetrics().elidedText(text, Qt::ElideRight, room - 8));
                panel->setToolTip(text);
            }
        });
        UpdateModifiedPanel();  // a reload may come from the watcher, outside any handler
    });
    connect(session_, &DocumentSession::DocumentReplaced, this, [this] {
        UpdateFileVersionPanel();
        ListView->setFocus();
    });
    // Undoing a reload may bring back another layout.
    connect(&History(), &EditHistory::Changed, this, [this] { UpdateFileVersionPanel(); });
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
        // Watchers miss changes on some file systems; coming back to the window is a moment
        // to look.
        RunGuarded([this] { session_->CheckDisk(); });
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
        RunGuarded([this] { session_->OfferRecoveryRecords(); });
        return;
    }
    // A file that was named but cannot be opened is said once; the window starts empty.
    const std::string problem = StartupFileProblem(commandLinePath_);
    if (!problem.empty()) {
        dialogs_.MsgBox(StartupFileMessage(commandLinePath_, problem), "Lumark",
                        UserDialogs::vbOKOnly + UserDialogs::vbExclamation);
        return;
    }
    RunGuarded([this] { OpenVisibilityFile(commandLinePath_); });
}

void LumarkMain::Loadcmd_Click() {
    RunGuarded([this] { session_->Load(); });
}

void LumarkMain::OpenDroppedFile(const std::string& path) {
    RunGuarded([&] { session_->OpenAfterAsking(path); });
}

void LumarkMain::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void LumarkMain::dragMoveEvent(QDragMoveEvent* event) {
    if (DroppedFile(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void LumarkMain::dropEvent(QDropEvent* event) {
    const std::optional<std::string> path = DroppedFile(event->mimeData());
    if (!path) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    OpenDroppedFile(*path);
}

void LumarkMain::OpenVisibilityFile(const std::string& path) {
    session_->Open(path);
}

void LumarkMain::FillMatrixGrid() {
    lumark::FillMatrixGrid(*grid_);
}

void LumarkMain::Savecmd_Click() {
    RunGuarded([this] { session_->Save(); });
}

void LumarkMain::SaveAs() {
    RunGuarded([this] { session_->SaveAs(); });
}

void LumarkMain::ShowAbout() {
    dialogs_.MsgBox(AboutHtml(), "About Lumark",
                    UserDialogs::vbOKOnly + UserDialogs::vbInformation);
}

void LumarkMain::Form_Unload(std::int16_t& cancel) {
    bool close = false;
    // A failed write is shown, and the window stays open with the edits.
    if (!RunGuarded([&] { close = session_->MayClose(); }) || !close) {
        cancel = 1;
    }
}

}  // namespace lumark
