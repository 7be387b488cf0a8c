#include "dialogs/hex_key_filter.h"

#include <QKeyEvent>

bool HexKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    if (key->key() == Qt::Key_Backspace) return !rule_(8);
    const QString text = key->text();
    if (text.isEmpty() || !text.at(0).isPrint()) return false;  // arrows, Home, Tab, Delete: not typed
    for (QChar c : text)
        if (!rule_(c.unicode())) return true;
    return false;
}
