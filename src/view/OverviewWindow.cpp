#include "OverviewWindow.h"

#include <QBoxLayout>
#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "BlockSelection.h"
#include "BlockSummary.h"
#include "GridStatusText.h"
#include "OverviewPicture.h"
#include "WindowPlacement.h"

namespace lumark {

namespace {

constexpr int Margin = 4;
constexpr int MarkBand = 5;  // above and below the matrix, where selected columns are marked
constexpr int MarkGap = 2;
constexpr int NumberGap = 2;  // between a number and its tick
constexpr int FrameRoom = 2;  // outside the matrix, for the frame of the part the grid shows
constexpr int StripGap = 4;
constexpr int StripHeight = 24;
constexpr int LeastBar = 2;  // the bar of the block that sees fewest
constexpr int PreferredSide = 600;
constexpr int MaxCellPixels = 16;
constexpr int SideWidth = 210;
constexpr int SummaryLines = 5;
const QColor SelectedMark(255, 0, 0);
const QString NoFileText = QStringLiteral("No file is open");
const QColor StripBar(96, 96, 96);

QColor ToQColor(Rgb rgb) {
    return QColor(rgb.R, rgb.G, rgb.B);
}

QPixmap Swatch(const QColor& fill, const QColor& frame) {
    QPixmap swatch(14, 14);
    swatch.fill(fill);
    QPainter painter(&swatch);
    painter.setPen(frame);
    painter.drawRect(0, 0, 13, 13);
    return swatch;
}

}  // namespace

OverviewCanvas::OverviewCanvas(const VisibilityDocument& doc, const MatrixGridModel& grid,
                               QTableView& view, QWidget* parent)
    : QWidget(parent), doc_(doc), grid_(grid), view_(view), viewport_(view.viewport()) {
    setObjectName(QStringLiteral("OverviewCanvas"));
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    numberFont_ = font();
    numberFont_.setPointSizeF(font().pointSizeF() * 0.85);
    connect(&grid, &QAbstractItemModel::dataChanged, this, &OverviewCanvas::Invalidate);
    connect(&grid, &QAbstractItemModel::modelReset, this, [this] {
        updateGeometry();  // a load may change the block count
        Invalidate();
    });
    for (QScrollBar* bar : {view.horizontalScrollBar(), view.verticalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
        connect(bar, &QScrollBar::rangeChanged, this, qOverload<>(&QWidget::update));
    }
    view.viewport()->installEventFilter(this);
}

int OverviewCanvas::Blocks() const {
    // Only blocks the grid has: the document is read before the grid is rebuilt.
    return std::min(
        {static_cast<int>(doc_.BlockCount), grid_.ListItemCount(), grid_.ColumnHeaderCount() - 1});
}

int OverviewCanvas::NumberWidth() const {
    return QFontMetrics(numberFont_).horizontalAdvance(QStringLiteral("000"));
}

QSize OverviewCanvas::Surround() const {
    const int left = NumberWidth() + NumberGap + TickLength + FrameRoom;
    const int top =
        QFontMetrics(numberFont_).height() + NumberGap + TickLength + MarkBand + MarkGap;
    return {2 * Margin + left, 2 * Margin + top + MarkGap + MarkBand + StripGap + StripHeight};
}

int OverviewCanvas::CellPixels() const {
    const int n = Blocks();
    if (n < 1) {
        return 1;
    }
    const QSize room = size() - Surround();
    return std::clamp(std::min(room.width(), room.height()) / n, 1, MaxCellPixels);
}

QPoint OverviewCanvas::Origin() const {
    const QSize surround = Surround();
    return QPoint(surround.width() - Margin,
                  surround.height() - Margin - MarkGap - MarkBand - StripGap - StripHeight);
}

QRect OverviewCanvas::CellRect(int column, int row) const {
    const int cell = CellPixels();
    return QRect(Origin() + QPoint((column - 1) * cell, (row - 1) * cell), QSize(cell, cell));
}

int OverviewCanvas::NumberStep() const {
    return lumark::NumberStep(CellPixels(), NumberWidth());
}

QPoint OverviewCanvas::ColumnTick(int column) const {
    return QPoint(CellRect(column, 1).center().x(), Origin().y() - MarkGap - MarkBand - 1);
}

QPoint OverviewCanvas::RowTick(int row) const {
    return QPoint(Origin().x() - 1 - FrameRoom, CellRect(1, row).center().y());
}

QRect OverviewCanvas::StripRect() const {
    const int side = Blocks() * CellPixels();
    return QRect(Origin().x(), Origin().y() + side + MarkGap + MarkBand + StripGap, side,
                 StripHeight);
}

QRectF OverviewCanvas::ShownPart() const {
    const int n = Blocks();
    const int columnWidth = n >= 1 ? view_.horizontalHeader()->sectionSize(1) : 0;
    const int rowHeight = n >= 1 ? view_.verticalHeader()->sectionSize(0) : 0;
    if (columnWidth <= 0 || rowHeight <= 0) {
        return {};
    }
    // The label column is 0 wide, so content x / width counts whole blocks from the left.
    const double cell = CellPixels();
    const QRectF content(view_.horizontalHeader()->offset(), view_.verticalHeader()->offset(),
                         view_.viewport()->width(), view_.viewport()->height());
    const QRectF shown(Origin().x() + content.x() * cell / columnWidth,
                       Origin().y() + content.y() * cell / rowHeight,
                       content.width() * cell / columnWidth, content.height() * cell / rowHeight);
    return shown.intersected(QRectF(Origin(), QSizeF(n * cell, n * cell)));
}

QSize OverviewCanvas::SizeFor(QSize room) const {
    const int n = std::max(Blocks(), 1);
    const QSize matrix = room - Surround();
    const int cell = std::clamp(std::min(matrix.width(), matrix.height()) / n, 1, MaxCellPixels);
    return Surround() + QSize(n * cell, n * cell);
}

QSize OverviewCanvas::minimumSizeHint() const {
    if (Blocks() < 1) {
        const QFontMetrics metrics = fontMetrics();
        return Surround().expandedTo(QSize(metrics.horizontalAdvance(NoFileText) + 2 * Margin,
                                           metrics.height() + 2 * Margin));
    }
    // One pixel an element: smaller, and the picture would be cut.
    const int n = Blocks();
    return Surround() + QSize(n, n);
}

QSize OverviewCanvas::sizeHint() const {
    if (Blocks() < 1) {
        return minimumSizeHint();
    }
    const int n = Blocks();
    const int cell = std::clamp(PreferredSide / n, 1, MaxCellPixels);
    return Surround() + QSize(n * cell, n * cell);
}

void OverviewCanvas::Invalidate() {
    dirty_ = true;
    update();
}

void OverviewCanvas::Render() {
    dirty_ = false;
    picture_ = OverviewPicture(doc_, CellPixels());
    image_ = picture_.Width > 0 && picture_.Height > 0
                 ? QImage(picture_.Pixels.data(), picture_.Width, picture_.Height,
                          static_cast<qsizetype>(picture_.Width) * 3, QImage::Format_RGB888)
                 : QImage();
    sees_ = SeesCounts(doc_);
    const auto counted = sees_.begin() + (sees_.empty() ? 0 : 1);
    const auto [least, most] = std::minmax_element(counted, sees_.end());
    leastSeen_ = counted == sees_.end() ? 0 : *least;
    mostSeen_ = counted == sees_.end() ? 0 : *most;
}

void OverviewCanvas::paintEvent(QPaintEvent* /*event*/) {
    if (dirty_) {
        Render();
    }
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int n = Blocks();
    if (n < 1 || image_.isNull()) {
        painter.drawText(rect(), Qt::AlignCenter, NoFileText);
        return;
    }
    const int cell = CellPixels();
    // The picture is drawn from the document; clip it to the blocks the grid shows.
    painter.drawImage(Origin(), image_, QRect(0, 0, n * cell, n * cell));
    // Selected columns are marked outside the matrix, so their squares keep the key's colours.
    const int markAbove = Origin().y() - MarkGap - MarkBand;
    const int markBelow = Origin().y() + n * cell + MarkGap;
    for (int b = 1; b <= n; ++b) {
        if (SelectedBlock(grid_.Selection(), static_cast<std::int16_t>(b))) {
            const int x = CellRect(b, 1).x();
            painter.fillRect(QRect(x, markAbove, cell, MarkBand), SelectedMark);
            painter.fillRect(QRect(x, markBelow, cell, MarkBand), SelectedMark);
        }
    }
    PaintNumbers(painter, n);
    PaintStrip(painter, n);
    // Frames go around what they mark, so the squares inside stay to be seen.
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.drawRect(QRectF(Origin(), QSizeF(n * cell, n * cell)).adjusted(-0.5, -0.5, 0.5, 0.5));
    const QRectF shown = ShownPart();
    if (!shown.isEmpty()) {
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(shown.adjusted(-1.5, -1.5, 1.5, 1.5));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(shown.adjusted(-0.5, -0.5, 0.5, 0.5));
    }
}

void OverviewCanvas::PaintNumbers(QPainter& painter, int blocks) const {
    painter.setFont(numberFont_);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(numberFont_);
    const int width = NumberWidth();
    const int height = metrics.height();
    const int step = NumberStep();
    for (int number = 0; number < blocks; number += step) {
        const QPoint top = ColumnTick(number + 1);
        painter.drawLine(top, top - QPoint(0, TickLength - 1));
        const QRect above(top.x() - width, top.y() - TickLength - NumberGap - height + 1, 2 * width,
                          height);
        painter.drawText(above, Qt::AlignHCenter | Qt::AlignBottom, QString::number(number));
        const QPoint left = RowTick(number + 1);
        painter.drawLine(left, left - QPoint(TickLength - 1, 0));
        const QRect before(left.x() - TickLength - NumberGap - width + 1, left.y() - height, width,
                           2 * height);
        painter.drawText(before, Qt::AlignRight | Qt::AlignVCenter, QString::number(number));
    }
}

int OverviewCanvas::BarHeight(int column) const {
    if (column < 1 || column >= static_cast<int>(sees_.size())) {
        return 0;
    }
    // From the fewest to the most: differences of a few blocks among forty stand out.
    const int sees = sees_[static_cast<std::size_t>(column)];
    if (mostSeen_ == leastSeen_) {
        return StripHeight;
    }
    return LeastBar +
           ((sees - leastSeen_) * (StripHeight - LeastBar) + (mostSeen_ - leastSeen_) / 2) /
               (mostSeen_ - leastSeen_);
}

void OverviewCanvas::PaintStrip(QPainter& painter, int blocks) const {
    const QRect strip = StripRect();
    painter.fillRect(strip, ToQColor(ColourOf(RelationKind::Neither)));
    const int cell = CellPixels();
    for (int b = 1; b <= blocks; ++b) {
        const int bar = BarHeight(b);
        painter.fillRect(QRect(strip.x() + (b - 1) * cell, strip.bottom() + 1 - bar, cell, bar),
                         StripBar);
    }
    // The scale: the most at the top, the fewest at the foot.
    painter.setFont(numberFont_);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect scale(Margin, strip.top(), strip.left() - Margin - NumberGap - TickLength,
                      strip.height());
    painter.drawText(scale, Qt::AlignRight | Qt::AlignTop, QString::number(mostSeen_));
    if (leastSeen_ != mostSeen_) {
        painter.drawText(scale, Qt::AlignRight | Qt::AlignBottom, QString::number(leastSeen_));
    }
}

void OverviewCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (picture_.Width != Blocks() * CellPixels()) {
        dirty_ = true;
    }
}

int OverviewCanvas::BlockAt(int pixels) const {
    const int cell = CellPixels();
    return std::clamp(static_cast<int>(std::floor(static_cast<double>(pixels) / cell)) + 1, 1,
                      Blocks());
}

void OverviewCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ScrollGridTo(event->position().toPoint());
    }
}

void OverviewCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        ScrollGridTo(event->position().toPoint());
    }
    Point(event->position().toPoint());
}

void OverviewCanvas::leaveEvent(QEvent* event) {
    emit Pointed(0, 0);
    QWidget::leaveEvent(event);
}

void OverviewCanvas::Point(QPoint position) {
    const int side = Blocks() * CellPixels();
    const QRect matrix(Origin(), QSize(side, side));
    if (matrix.contains(position)) {
        emit Pointed(BlockAt(position.x() - Origin().x()), BlockAt(position.y() - Origin().y()));
    } else if (StripRect().contains(position)) {
        emit Pointed(BlockAt(position.x() - Origin().x()), 0);
    } else {
        emit Pointed(0, 0);
    }
}

void OverviewCanvas::ScrollGridTo(QPoint position) {
    if (Blocks() < 1) {
        return;
    }
    const int column = BlockAt(position.x() - Origin().x());
    const int row = BlockAt(position.y() - Origin().y());
    view_.scrollTo(grid_.index(row - 1, column), QAbstractItemView::PositionAtCenter);
}

bool OverviewCanvas::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport_ && event->type() == QEvent::Resize) {
        update();
    }
    return QWidget::eventFilter(watched, event);
}

OverviewWindow::OverviewWindow(const VisibilityDocument& doc, const MatrixGridModel& grid,
                               QTableView& view, QWidget* parent)
    : QWidget(parent, Qt::Tool), doc_(doc) {
    setObjectName(QStringLiteral("Overview"));
    setWindowTitle(QStringLiteral("Overview"));
    canvas_ = new OverviewCanvas(doc, grid, view, this);

    auto* key = new QGridLayout;
    int line = 0;
    const auto addKey = [this, key, &line](const QPixmap& swatch, const QString& text) {
        auto* mark = new QLabel(this);
        mark->setPixmap(swatch);
        key->addWidget(mark, line, 0);
        auto* label = new QLabel(text, this);
        label->setWordWrap(true);
        key->addWidget(label, line, 1);
        ++line;
    };
    const QColor frame = palette().color(QPalette::WindowText);
    for (const RelationKind kind :
         {RelationKind::Diagonal, RelationKind::Mutual, RelationKind::Neither,
          RelationKind::SeesOnly, RelationKind::SeenOnly}) {
        const QString name = QString::fromUtf8(NameOf(kind));
        addKey(Swatch(ToQColor(ColourOf(kind)), frame), name);
    }
    addKey(Swatch(SelectedMark, SelectedMark), QStringLiteral("selected block"));
    addKey(Swatch(palette().color(QPalette::Window), Qt::black),
           QStringLiteral("shown in the grid"));
    addKey(Swatch(StripBar, StripBar), QStringLiteral("strip: blocks each block sees"));
    key->setColumnStretch(1, 1);

    pair_ = new QLabel(this);
    pair_->setObjectName(QStringLiteral("OverviewPair"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("OverviewSummary"));
    // Room for a long summary from the start, so the key does not move as the pointer does.
    summary_->setMinimumHeight(SummaryLines * fontMetrics().lineSpacing());
    pair_->setMinimumHeight(2 * fontMetrics().lineSpacing());
    for (QLabel* readout : {pair_, summary_}) {
        readout->setWordWrap(true);
        readout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        readout->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    auto* hint = new QLabel(
        QStringLiteral("Column: the block that sees. Row: the block seen. Click or drag to "
                       "scroll the grid there."),
        this);
    hint->setWordWrap(true);

    auto* sidePanel = new QWidget(this);
    sidePanel->setFixedWidth(SideWidth);
    auto* side = new QVBoxLayout(sidePanel);
    side->setContentsMargins(0, 0, 0, 0);
    side->addLayout(key);
    side->addSpacing(6);
    side->addWidget(pair_);
    side->addWidget(summary_);
    side->addWidget(hint);
    side->addStretch(1);
    layout_ = new QBoxLayout(QBoxLayout::LeftToRight, this);
    // Narrow margins: at a scale factor of 2 a small screen has few lines to spare.
    layout_->setContentsMargins(6, 6, 6, 6);
    layout_->addWidget(canvas_, 1);
    layout_->addWidget(sidePanel, 0, Qt::AlignLeft | Qt::AlignTop);

    connect(canvas_, &OverviewCanvas::Pointed, this, &OverviewWindow::ShowPointed);
    // What is under a still pointer follows edits; a load starts afresh.
    connect(&grid, &QAbstractItemModel::dataChanged, this,
            [this] { ShowPointed(pointed_.x(), pointed_.y()); });
    connect(&grid, &QAbstractItemModel::modelReset, this, [this] { ShowPointed(0, 0); });
}

QString OverviewWindow::PairReadout() const {
    return pair_->text();
}

QString OverviewWindow::SummaryReadout() const {
    return summary_->text();
}

void OverviewWindow::ShowPointed(int column, int row) {
    const int blocks = canvas_->Blocks();
    if (column < 1 || column > blocks || row > blocks) {
        column = row = 0;
    }
    pointed_ = QPoint(column, row);
    pair_->setText(row >= 1 ? PairText(doc_, row, column) : QString());
    summary_->setText(column >= 1 ? QString::fromStdString(BlockSummary(doc_, column)) : QString());
}

bool OverviewWindow::KeyBelowPicture() const {
    return layout_->direction() == QBoxLayout::TopToBottom;
}

void OverviewWindow::OpenBeside(const QWidget& main, int controlsBottom) {
    if (!isVisible()) {
        // Borders as the window manager gave them to the main window: this one gets the same.
        const QRect outer = main.frameGeometry();
        const QRect inner = main.geometry();
        const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
        const QSize border(frame.left() + frame.right(), frame.top() + frame.bottom());
        const QScreen* screen = main.screen();
        const QRect available = screen != nullptr ? screen->availableGeometry() : outer;
        layout_->setDirection(QBoxLayout::LeftToRight);
        layout_->activate();
        QRect room = PlaceBeside(outer, controlsBottom, sizeHint() + border,
                                 minimumSizeHint() + border, available);
        if (room.width() < minimumSizeHint().width() + border.width()) {
            // Too narrow for the key beside the picture: it goes under it.
            layout_->setDirection(QBoxLayout::TopToBottom);
            layout_->activate();
            room = PlaceBeside(outer, controlsBottom, sizeHint() + border,
                               minimumSizeHint() + border, available);
        }
        const QSize minimum = minimumSizeHint() + border;
        // Squares are whole pixels: in the room found, the window takes only what the squares
        // of the largest size that fits leave over, and then may fit somewhere better.
        const QSize around = sizeHint() - canvas_->sizeHint();
        const QSize used = (canvas_->SizeFor(room.size() - border - around) + around + border)
                               .expandedTo(minimum)
                               .boundedTo(room.size());
        setGeometry(
            PlaceBeside(outer, controlsBottom, used, minimum, available).marginsRemoved(frame));
    }
    show();
    raise();
    activateWindow();
}

bool OverviewWindow::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Taken here, the key is not tried as a shortcut of the main window but delivered as a
        // key press to this window's widgets.
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void OverviewWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F2) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace lumark
