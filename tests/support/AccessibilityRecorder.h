#pragma once

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <QAccessible>
#include <string>
#include <vector>

namespace lumark {

// Turns accessibility on while it lives and records the names announced as changed instead of
// handing them to a bridge. QAccessible::setActive only tells observers; the platform's own
// switch is what lets events through offscreen.
class AccessibilityRecorder {
  public:
    AccessibilityRecorder() { Switch(true); }
    ~AccessibilityRecorder() { Switch(false); }

    void Clear() { Renames().clear(); }
    // Names, in order, that objects of `role` were renamed to.
    static std::vector<std::string> Renamed(QAccessible::Role role) {
        std::vector<std::string> names;
        for (const auto& [r, name] : Renames()) {
            if (r == role) {
                names.push_back(name);
            }
        }
        return names;
    }

  private:
    static void Switch(bool on) {
        Renames().clear();
        QAccessible::installUpdateHandler(on ? &Record : nullptr);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(on);
    }
    static std::vector<std::pair<QAccessible::Role, std::string>>& Renames() {
        static std::vector<std::pair<QAccessible::Role, std::string>> renames;
        return renames;
    }
    static void Record(QAccessibleEvent* event) {
        QAccessibleInterface* target = event->accessibleInterface();
        if (event->type() == QAccessible::NameChanged && target != nullptr) {
            Renames().emplace_back(target->role(), target->text(QAccessible::Name).toStdString());
        }
    }
};

}  // namespace lumark
