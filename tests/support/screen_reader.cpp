#include "screen_reader.h"

namespace test_support {

std::pair<std::string, std::string> Spoken(QWidget* widget) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
    if (!a) return {"(no interface)", ""};
    return {a->text(QAccessible::Name).toStdString(), a->text(QAccessible::Description).toStdString()};
}

}  // namespace test_support
