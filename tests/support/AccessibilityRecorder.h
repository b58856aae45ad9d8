#pragma once

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <QAccessible>
#include <QString>
#include <string>
#include <vector>

namespace lumark {

// Turns accessibility on for one test and records what the widgets announce instead of handing
// it to a platform bridge. Only one may exist at a time. QAccessible::setActive only tells
// observers; the offscreen platform's own switch is what lets events through.
class AccessibilityRecorder {
  public:
    struct Announcement {
        QAccessible::Event Type;
        QAccessible::Role Role;
        QString Name;
    };

    AccessibilityRecorder() {
        Events().clear();
        Switch(true);
        previous_ = QAccessible::installUpdateHandler(&Record);
    }
    ~AccessibilityRecorder() {
        QAccessible::installUpdateHandler(previous_);
        Switch(false);
    }
    AccessibilityRecorder(const AccessibilityRecorder&) = delete;
    AccessibilityRecorder& operator=(const AccessibilityRecorder&) = delete;

    void Clear() { Events().clear(); }

    // Names announced as changed, in order, of objects with `role`.
    std::vector<std::string> Renamed(QAccessible::Role role) const {
        std::vector<std::string> names;
        for (const Announcement& a : Events()) {
            if (a.Type == QAccessible::NameChanged && a.Role == role) {
                names.push_back(a.Name.toStdString());
            }
        }
        return names;
    }

  private:
    static void Switch(bool on) {
        if (QPlatformAccessibility* platform =
                QGuiApplicationPrivate::platformIntegration()->accessibility()) {
            platform->setActive(on);
        }
    }

    static std::vector<Announcement>& Events() {
        static std::vector<Announcement> events;
        return events;
    }

    static void Record(QAccessibleEvent* event) {
        if (QAccessibleInterface* target = event->accessibleInterface()) {
            Events().push_back({event->type(), target->role(), target->text(QAccessible::Name)});
        }
    }

    QAccessible::UpdateHandler previous_ = nullptr;
};

}  // namespace lumark
