#include "OverviewWindow.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ListViewFunktionen.h"

namespace lumark {

namespace {

constexpr int Margin = 8;
constexpr int MarkBand = 5;  // the strip above the matrix where selected columns are marked
constexpr int MarkGap = 2;
constexpr int PreferredSide = 600;
constexpr int MaxCellPixels = 16;
const QColor SelectedMark(255, 0, 0);
const QColor SelectedWash(255, 0, 0, 80);

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

OverviewCanvas::OverviewCanvas(const VisibilityDocument& doc, const ListViewModel& grid,
                               QTableView& view, QWidget* parent)
    : QWidget(parent), doc_(doc), grid_(grid), view_(view), viewport_(view.viewport()) {
    setObjectName(QStringLiteral("OverviewCanvas"));
    setCursor(Qt::CrossCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
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

int OverviewCanvas::CellPixels() const {
    const int n = Blocks();
    if (n < 1) {
        return 1;
    }
    const int side = std::min(width() - 2 * Margin, height() - 2 * Margin - MarkBand - MarkGap);
    return std::clamp(side / n, 1, MaxCellPixels);
}

QPoint OverviewCanvas::Origin() const {
    return QPoint(Margin, Margin + MarkBand + MarkGap);
}

QRect OverviewCanvas::CellRect(int column, int row) const {
    const int cell = CellPixels();
    return QRect(Origin() + QPoint((column - 1) * cell, (row - 1) * cell), QSize(cell, cell));
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

QSize OverviewCanvas::minimumSizeHint() const {
    // One pixel an element: smaller, and the picture would be cut.
    const int n = std::max(Blocks(), 1);
    return QSize(n + 2 * Margin, n + 2 * Margin + MarkBand + MarkGap);
}

QSize OverviewCanvas::sizeHint() const {
    const int n = std::max(Blocks(), 1);
    const int cell = std::clamp(PreferredSide / n, 1, MaxCellPixels);
    return QSize(n * cell + 2 * Margin, n * cell + 2 * Margin + MarkBand + MarkGap);
}

void OverviewCanvas::Invalidate() {
    dirty_ = true;
    update();
}

void OverviewCanvas::Render() {
    dirty_ = false;
    picture_ = RenderRelationPicture(doc_, CellPixels(), false);
    image_ = picture_.Width > 0 && picture_.Height > 0
                 ? QImage(picture_.Pixels.data(), picture_.Width, picture_.Height,
                          static_cast<qsizetype>(picture_.Width) * 3, QImage::Format_RGB888)
                 : QImage();
}

void OverviewCanvas::paintEvent(QPaintEvent* /*event*/) {
    if (dirty_) {
        Render();
    }
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int n = Blocks();
    if (n < 1 || image_.isNull()) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No blocks loaded"));
        return;
    }
    const int cell = CellPixels();
    // The picture is drawn from the document; clip it to the blocks the grid shows.
    painter.drawImage(Origin(), image_, QRect(0, 0, n * cell, n * cell));
    for (int b = 1; b <= n; ++b) {
        if (SelectedBlock(grid_, static_cast<std::int16_t>(b))) {
            const QRect column = CellRect(b, 1).united(CellRect(b, n));
            painter.fillRect(column, SelectedWash);
            painter.fillRect(QRect(column.x(), Margin, cell, MarkBand), SelectedMark);
        }
    }
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

void OverviewCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (picture_.Width != Blocks() * CellPixels()) {
        dirty_ = true;
    }
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
}

void OverviewCanvas::ScrollGridTo(QPoint position) {
    const int n = Blocks();
    if (n < 1) {
        return;
    }
    const int cell = CellPixels();
    const auto block = [n, cell](int pixels) {
        return std::clamp(static_cast<int>(std::floor(static_cast<double>(pixels) / cell)) + 1, 1,
                          n);
    };
    const int column = block(position.x() - Origin().x());
    const int row = block(position.y() - Origin().y());
    view_.scrollTo(grid_.index(row - 1, column), QAbstractItemView::PositionAtCenter);
}

bool OverviewCanvas::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport_ && event->type() == QEvent::Resize) {
        update();
    }
    return QWidget::eventFilter(watched, event);
}

OverviewWindow::OverviewWindow(const VisibilityDocument& doc, const ListViewModel& grid,
                               QTableView& view, QWidget* parent)
    : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("Overview"));
    setWindowTitle(QStringLiteral("Overview"));
    canvas_ = new OverviewCanvas(doc, grid, view, this);

    auto* key = new QGridLayout;
    int line = 0;
    const auto addKey = [this, key, &line](const QPixmap& swatch, const QString& text) {
        auto* mark = new QLabel(this);
        mark->setPixmap(swatch);
        key->addWidget(mark, line, 0);
        key->addWidget(new QLabel(text, this), line, 1);
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
    auto* hint = new QLabel(
        QStringLiteral("Column: the block that sees.\nRow: the block seen.\n\nClick or drag to "
                       "scroll the grid there."),
        this);
    hint->setWordWrap(true);

    key->setColumnStretch(1, 1);
    auto* side = new QVBoxLayout;
    side->addLayout(key);
    side->addSpacing(8);
    side->addWidget(hint);
    side->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(canvas_, 1);
    layout->addLayout(side);
}

void OverviewWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace lumark
