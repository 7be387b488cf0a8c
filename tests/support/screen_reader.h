// What a screen reader learns of a widget: the name and the description
// Qt's accessibility interface gives out for it.
#pragma once

#include <QAccessible>
#include <QWidget>
#include <string>
#include <utility>

namespace test_support {

std::pair<std::string, std::string> Spoken(QWidget* widget);

}  // namespace test_support
