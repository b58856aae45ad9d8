// Clicks and resizing of the real window, each against a floor program's equivalent, in one
// process and one run: sides alternate, medians of 15 pairs, the ratio of the medians. Then
// what the recovery record costs: a cell click, Select All + Increase and Cross on a window
// that keeps one against one that does not, and recovering a record of 1,000 steps.
//
// Method: the user's input is synthesized as Qt events (QTest), the same path a window-system
// click takes inside the program. Every paint of the window afterwards records, from a zero
// timer queued at that paint (so after the window's flush), the time since the input; the
// figure is the time to the last such paint once the program has been idle for 40 ms; for a
// resize, the time to the first paint of the table's cells at the new size.
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "FloorTable.h"
#include "LargestFile.h"
#include "LumarkMain.h"
#include "MatrixGridModel.h"
#include "MatrixGridView.h"
#include "MixedSteps.h"
#include "OneSidedRing.h"
#include "RingDocument.h"
#include "Twips.h"
#include "UserDialogs.h"
#include "VisibilityWriter.h"

namespace {

using lumark::LumarkMain;

// Nothing may ask anything during the measurement.
class NoDialogs : public lumark::UserDialogs {
  public:
    int MsgBox(const std::string& prompt, const std::string& title, int) override {
        if (title == "Recover unsaved changes") {
            return vbYes;
        }
        std::fprintf(stderr, "unexpected message: %s\n", prompt.c_str());
        return vbOK;
    }
    std::string InputBox(const std::string&, const std::string&, const std::string& def) override {
        return def;
    }
    std::string GetOpenFileName(const std::string&, const std::vector<lumark::FileDialogFilter>&,
                                int&) override {
        return {};
    }
    std::string GetSaveFileName(const std::string&, const std::vector<lumark::FileDialogFilter>&,
                                const std::string&) override {
        return {};
    }
};

// Records the time of the last flushed paint of any widget of a window.
class PaintClock : public QObject {
  public:
    explicit PaintClock(QWidget& window) {
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            widget->installEventFilter(this);
        }
        window.installEventFilter(this);
    }

    // Runs `input`, then waits until nothing has been painted for 40 ms; milliseconds from the
    // input to the end of the last paint, or -1 if nothing was painted.
    double Measure(const std::function<void()>& input) { return Run(input, 40, nullptr); }

    // Runs `input`; milliseconds to the end of the first paint of `target` after it. Later
    // paints (a pointer now over another cell, say) are not part of it.
    double MeasureUntilPainted(const std::function<void()>& input, QWidget& target) {
        return Run(input, 1000, &target);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && clock_.isValid() && !(target_ && lastPaint_ >= 0)) {
            const bool counts = target_ == nullptr || watched == target_;
            QTimer::singleShot(0, this, [this, counts] {
                if (counts && !(target_ && lastPaint_ >= 0)) {
                    lastPaint_ = clock_.nsecsElapsed();
                }
            });
        }
        return false;
    }

  private:
    double Run(const std::function<void()>& input, int quiet, QWidget* target) {
        Settle();
        target_ = target;
        lastPaint_ = -1;
        clock_.start();
        input();
        QElapsedTimer idle;
        idle.start();
        qint64 seen = -1;
        while (idle.elapsed() < quiet && clock_.elapsed() < 5000 && !(target && lastPaint_ >= 0)) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (lastPaint_ != seen) {
                seen = lastPaint_;
                idle.restart();
            }
        }
        clock_.invalidate();
        return lastPaint_ < 0 ? -1.0 : static_cast<double>(lastPaint_) / 1e6;
    }

    static void Settle() {
        for (int i = 0; i < 10; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }

    QElapsedTimer clock_;
    QWidget* target_ = nullptr;
    qint64 lastPaint_ = -1;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Report(const char* what, const std::vector<double>& lumark, const char* floorName,
            const std::vector<double>& floor) {
    const double l = Median(lumark);
    const double f = Median(floor);
    std::printf("%-34s %8.2f ms   %-30s %8.2f ms   ratio %.2fx\n", what, l, floorName, f, l / f);
}

void ClickHeader(LumarkMain& window, int section) {
    QHeaderView* header = window.ListView->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void ClickCell(LumarkMain& window, int row, int block) {
    lumark::MatrixGridView& view = *window.ListView;
    const QPoint at = view.visualRect(window.Grid().index(row - 1, block)).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
}

void Click(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// A shown window holding `path`, keeping recovery records in `recoveryFolder` if given.
std::unique_ptr<LumarkMain> OpenWindow(lumark::UserDialogs& dialogs, const QTemporaryDir& dir,
                                       const QString& name, const std::string& path,
                                       std::optional<std::string> recoveryFolder) {
    auto window = std::make_unique<LumarkMain>(
        dialogs, dir.filePath(name + QStringLiteral(".ini")).toStdString(), "",
        std::move(recoveryFolder));
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) {
        return nullptr;
    }
    window->OpenVisibilityFile(path);
    return window;
}

// The same input on a window that keeps a recovery record and one that does not, alternately.
// Both start one edit away from their file, so that the record exists, as it does while
// editing; with `undo`, each input is taken back (untimed).
void CompareRecovery(const char* what, LumarkMain& kept, LumarkMain& plain, int pairs, bool undo,
                     const std::function<void(LumarkMain&)>& input) {
    PaintClock keptClock(kept);
    PaintClock plainClock(plain);
    for (LumarkMain* w : {&kept, &plain}) {
        w->History().Record(QStringLiteral("away"), [w] {
            w->Document().SetElement(1, 2, ~w->Document().Matrix.Get(1, 2));
        });
    }
    std::vector<double> withRecord, without;
    for (int i = 0; i < pairs; ++i) {
        withRecord.push_back(keptClock.Measure([&] { input(kept); }));
        without.push_back(plainClock.Measure([&] { input(plain); }));
        if (undo) {
            keptClock.Measure([&] { kept.Undo_Activated(); });
            plainClock.Measure([&] { plain.Undo_Activated(); });
        }
    }
    Report(what, withRecord, "the same, keeping no record", without);
}

// The first edit after opening, which starts the record.
void CompareFirstEdit(LumarkMain& kept, LumarkMain& plain, const std::string& path, int pairs) {
    PaintClock keptClock(kept);
    PaintClock plainClock(plain);
    std::vector<double> withRecord, without;
    for (int i = 0; i < pairs; ++i) {
        kept.OpenVisibilityFile(path);
        withRecord.push_back(keptClock.Measure([&] { ClickCell(kept, 5, 6); }));
        plain.OpenVisibilityFile(path);
        without.push_back(plainClock.Measure([&] { ClickCell(plain, 5, 6); }));
    }
    Report("first cell click, starting a record", withRecord, "the same, keeping no record",
           without);
}

// A record of 1,000 mixed steps on 300 blocks, left by a window that was then destroyed, is
// recovered: from the start of the open to the grid painted with the recovered state.
void MeasureRecovering(lumark::UserDialogs& dialogs, const QTemporaryDir& dir, int rounds) {
    const std::string folder = dir.filePath(QStringLiteral("recovery-1000")).toStdString();
    const std::string path = dir.filePath(QStringLiteral("mixed.txt")).toStdString();
    lumark::WriteVisibilityFile(lumark::MakeRingDocument(300, 20, "1.2"), path);
    {
        auto left = OpenWindow(dialogs, dir, QStringLiteral("Left"), path, folder);
        lumark::RecordMixedSteps(left->Document(), left->Grid().Selection(), left->History(), 1000,
                                 1000);
    }
    // Started with another file, so that the record is not offered at the start.
    const std::string other = dir.filePath(QStringLiteral("other.txt")).toStdString();
    lumark::WriteVisibilityFile(lumark::MakeRingDocument(10, 1, "1.2"), other);
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        LumarkMain window(dialogs, dir.filePath(QStringLiteral("Recovering.ini")).toStdString(),
                          other, folder);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            return;
        }
        while (!window.FirstActivationDone()) {
            QCoreApplication::processEvents();
        }
        PaintClock clock(window);
        times.push_back(clock.MeasureUntilPainted([&] { window.OpenVisibilityFile(path); },
                                                  *window.ListView->viewport()));
        if (window.History().Count() != 1000) {
            std::fprintf(stderr, "recovered %d steps, not 1000\n", window.History().Count());
        }
    }
    std::printf("%-34s %8.2f ms   (median of %d)\n", "recover 1,000 steps, to the grid",
                Median(times), rounds);
}

QSize DesignSize(const QWidget& widget) {
    return {lumark::TwipsToPixels(10395, widget.logicalDpiX()),
            lumark::TwipsToPixels(8835, widget.logicalDpiY())};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int Pairs = qEnvironmentVariableIntValue("LUMARK_UIBENCH_PAIRS") > 0
                          ? qEnvironmentVariableIntValue("LUMARK_UIBENCH_PAIRS")
                          : 15;
    QTemporaryDir dir;
    const lumark::LargestFile& file = lumark::LargestFile::Get();

    NoDialogs dialogs;
    LumarkMain window(dialogs, dir.filePath(QStringLiteral("Lumark.ini")).toStdString(), "");
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    window.OpenVisibilityFile(file.path);
    PaintClock lumarkClock(window);

    // The floor of a click: a button that changes a label.
    QMainWindow buttonWindow;
    auto* central = new QWidget(&buttonWindow);
    auto* button = new QPushButton(QStringLiteral("Count"), central);
    auto* label = new QLabel(QStringLiteral("0"), central);
    button->setGeometry(16, 8, 57, 25);
    label->setGeometry(90, 8, 120, 25);
    int count = 0;
    QObject::connect(button, &QPushButton::clicked, label,
                     [&] { label->setText(QString::number(++count)); });
    buttonWindow.setCentralWidget(central);
    buttonWindow.resize(DesignSize(buttonWindow));
    buttonWindow.show();
    // The floor of resizing: a plain table of the same texts.
    QMainWindow tableWindow;
    lumark::FloorTableModel tableModel;
    auto* table = new QTableView(&tableWindow);
    table->setModel(&tableModel);
    tableWindow.setCentralWidget(table);
    tableWindow.resize(DesignSize(tableWindow));
    tableWindow.show();
    if (!QTest::qWaitForWindowExposed(&buttonWindow) ||
        !QTest::qWaitForWindowExposed(&tableWindow)) {
        return 1;
    }
    PaintClock buttonClock(buttonWindow);
    PaintClock tableClock(tableWindow);
    const auto clickButton = [&] { QTest::mouseClick(button, Qt::LeftButton); };

    std::vector<double> cell, header, buttonForCell, buttonForHeader, resize, tableResize;
    for (int i = 0; i < Pairs; ++i) {
        lumarkClock.Measure([&] { ClickHeader(window, 3 + i % 2); });  // not timed: sets up
        cell.push_back(lumarkClock.Measure([&] { ClickCell(window, 5, 6 + i % 2); }));
        buttonForCell.push_back(buttonClock.Measure(clickButton));
        header.push_back(lumarkClock.Measure([&] { ClickHeader(window, 3 + i % 2); }));
        buttonForHeader.push_back(buttonClock.Measure(clickButton));

        // Until the table's cells have been painted at the new size.
        resize.push_back(lumarkClock.MeasureUntilPainted([&] { window.resize(1600, 1000); },
                                                         *window.ListView->viewport()));
        tableResize.push_back(tableClock.MeasureUntilPainted(
            [&] { tableWindow.resize(1600, 1000); }, *table->viewport()));
        lumarkClock.MeasureUntilPainted([&] { window.resize(DesignSize(window)); },
                                        *window.ListView->viewport());
        tableClock.MeasureUntilPainted([&] { tableWindow.resize(DesignSize(tableWindow)); },
                                       *table->viewport());
    }
    window.Session().Adopt(window.Document(), window.Session().FilePath());  // no question

    std::printf("platform %s, medians of %d pairs\n", qPrintable(QGuiApplication::platformName()),
                Pairs);
    Report("cell click after a header click", cell, "button changing a label", buttonForCell);
    Report("header click", header, "button changing a label", buttonForHeader);
    Report("resize to 1600 x 1000", resize, "plain table of the same texts", tableResize);

    // What the recovery record costs: small differences, so twice the pairs.
    const int RecordPairs = 2 * Pairs + 1;
    const std::string recovery = dir.filePath(QStringLiteral("recovery")).toStdString();
    const std::string ring = dir.filePath(QStringLiteral("ring10.txt")).toStdString();
    const std::string oneSided = dir.filePath(QStringLiteral("one-sided.txt")).toStdString();
    lumark::WriteVisibilityFile(lumark::MakeRingDocument(300, 10, "1.2"), ring);
    lumark::WriteVisibilityFile(lumark::OneSidedRing(), oneSided);
    auto kept = OpenWindow(dialogs, dir, QStringLiteral("Kept"), file.path, recovery);
    auto plain = OpenWindow(dialogs, dir, QStringLiteral("Plain"), file.path, std::nullopt);
    if (!kept || !plain) {
        return 1;
    }
    CompareRecovery("cell click, keeping a record", *kept, *plain, RecordPairs, false,
                    [i = 0](LumarkMain& w) mutable { ClickCell(w, 5, 6 + i++ / 2 % 2); });
    CompareFirstEdit(*kept, *plain, file.path, RecordPairs);
    kept->OpenVisibilityFile(ring);
    plain->OpenVisibilityFile(ring);
    CompareRecovery("Select All + Increase, record", *kept, *plain, RecordPairs, true,
                    [](LumarkMain& w) {
                        Click(w.cmdSelAll);
                        Click(w.cmdIncrease);
                    });
    kept->OpenVisibilityFile(oneSided);
    plain->OpenVisibilityFile(oneSided);
    CompareRecovery("Cross Fw & Bw, keeping a record", *kept, *plain, RecordPairs, true,
                    [](LumarkMain& w) { Click(w.XCheckcmd); });
    for (LumarkMain* w : {kept.get(), plain.get()}) {
        w->Session().Adopt(w->Document(), w->Session().FilePath());  // no question
    }
    MeasureRecovering(dialogs, dir, 7);
    return 0;
}
