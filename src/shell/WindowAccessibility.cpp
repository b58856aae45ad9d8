#include "WindowAccessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QLabel>

#include "LumarkMain.h"

namespace lumark {

namespace {

const char* const QuietPanelProperty = "lumarkQuietWhenEmpty";

// A status-bar panel as a reader sees it: its text, and not showing while it has none.
class StatusPanelAccessible : public QAccessibleWidget {
  public:
    explicit StatusPanelAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return Label()->text();
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State st = QAccessibleWidget::state();
        if (Label()->text().isEmpty()) {
            st.invisible = true;
        }
        return st;
    }

  private:
    QLabel* Label() const { return static_cast<QLabel*>(widget()); }
};

QAccessibleInterface* StatusPanelFactory(const QString& className, QObject* object) {
    auto* label = qobject_cast<QLabel*>(object);
    if (className == QLatin1String("QLabel") && label != nullptr &&
        label->property(QuietPanelProperty).toBool()) {
        return new StatusPanelAccessible(label);
    }
    return nullptr;
}

}  // namespace

void DescribeWindowForAccessibility(LumarkMain& window) {
    // The buttons' descriptions come with their commands (WindowCommands.cpp).
    window.chEdge->setAccessibleDescription(
        QStringLiteral("When ticked, a click or Space on a cell makes it the edge of the "
                       "column block's view"));

    static const bool installed = [] {
        QAccessible::installFactory(StatusPanelFactory);
        return true;
    }();
    static_cast<void>(installed);
    for (int position = 1; QLabel* panel = window.StatusPanel(position); ++position) {
        panel->setProperty(QuietPanelProperty, true);
        // A panel whose text was set before it was marked already has the plain interface.
        QAccessibleInterface* cached = QAccessible::queryAccessibleInterface(panel);
        if (cached != nullptr && dynamic_cast<StatusPanelAccessible*>(cached) == nullptr) {
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cached));
        }
    }
}

}  // namespace lumark
