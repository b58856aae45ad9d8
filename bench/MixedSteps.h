#pragma once

#include <QCoreApplication>
#include <QString>
#include <random>

#include "BlockSelection.h"
#include "EditHistory.h"
#include "ListViewFunktionen.h"
#include "MatrixEdits.h"
#include "ViewDistance.h"

namespace lumark {

// Steps of every kind recorded in `history` until it holds `count`: cell toggles and edges,
// Cross, and Increase, Decrease and Set Minimum each on a fresh random quarter of the blocks.
inline void RecordMixedSteps(VisibilityDocument& doc, BlockSelection& selection,
                             EditHistory& history, int count, unsigned seed) {
    std::mt19937 random(seed);
    const auto below = [&](int limit) { return static_cast<int>(random() % limit); };
    const int n = doc.BlockCount;
    while (history.Count() < count) {
        const int kind = below(6);
        if (kind >= 3) {
            for (int b = 1; b <= n; ++b) {
                ListViewFunktionen::SetListViewForeColor(
                    selection, below(4) == 0 ? SelectedColour : NormalColour, b + 1);
            }
        }
        history.Record(QStringLiteral("step"), [&] {
            std::int16_t c = static_cast<std::int16_t>(1 + below(n));
            std::int16_t r = static_cast<std::int16_t>(1 + below(n));
            switch (kind) {
                case 0:
                    ToggleVisibilityCell(doc, c, r);
                    break;
                case 1:
                    SetVisibilityEdge(doc, c, r);
                    break;
                case 2:
                    MakeVisibilityMutual(doc);
                    break;
                case 3:
                    ViewDistance::IncreaseSelected(doc, selection);
                    break;
                case 4:
                    ViewDistance::DecreaseSelected(doc, selection);
                    break;
                default:
                    ViewDistance::SetMinimumSelected(doc, selection,
                                                     static_cast<std::int16_t>(1 + below(n / 2)));
                    break;
            }
        });
        if (history.Count() % 50 == 0) {
            QCoreApplication::processEvents();
        }
    }
}

}  // namespace lumark
