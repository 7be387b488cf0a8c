// What a screen reader learns of a widget: the name and the description
// Qt's accessibility interface gives out for it.
#pragma once

#include <QAccessible>
#include <QWidget>
#include <string>
#include <utility>

namespace test_support {

inline std::pair<std::string, std::string> Spoken(QWidget* widget) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
    if (!a) return {"(no interface)", ""};
    return {a->text(QAccessible::Name).toStdString(), a->text(QAccessible::Description).toStdString()};
}

}  // namespace test_support
