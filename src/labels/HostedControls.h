// HostedControls: the controls the object viewer can host, by class identifier (letter case aside):
// each a widget with a script face that layouts configure and print through.
#pragma once

#include <QString>

#include <functional>

#include "base/Object.h"

class QWidget;

struct HostedControl {
    QWidget* widget = nullptr;  // owned by the parent it was made in
    ObjectRef object;           // what scripts and the print method text call
};

class HostedControls {
  public:
    using Factory = std::function<HostedControl(QWidget* parent)>;

    // Adds or replaces a class (tests add their own).
    static void Register(const QString& classId, Factory factory);
    static void Unregister(const QString& classId);
    // A new control of the class inside `parent`; error 711 for a class that is not ours.
    static HostedControl Create(const QString& classId, QWidget* parent);
};
