// The floors that start-up is measured against: the least any Qt Widgets program pays.
//   lumark_floor window   an empty main window of the grid window's size, shown
//   lumark_floor table    the same window holding a plain table of the same 300 x 300 texts
// Each ends right after its first paint has been flushed.
#include <QApplication>
#include <QHeaderView>
#include <QMainWindow>
#include <QTableView>
#include <cstring>

#include "FloorTable.h"
#include "QuitAfterPaint.h"
#include "Twips.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool table = argc > 1 && std::strcmp(argv[1], "table") == 0;
    QMainWindow window;
    // The grid window's design client area.
    window.resize(lumark::TwipsToPixels(10395, window.logicalDpiX()),
                  lumark::TwipsToPixels(8835, window.logicalDpiY()));
    lumark::FloorTableModel* model = nullptr;
    if (table) {
        model = new lumark::FloorTableModel();
        auto* view = new QTableView(&window);
        model->setParent(view);
        view->setModel(model);
        window.setCentralWidget(view);
        lumark::QuitAfterPaint(*view->viewport(), [] { return true; });
    } else {
        lumark::QuitAfterPaint(window, [] { return true; });
    }
    window.show();
    return QApplication::exec();
}
