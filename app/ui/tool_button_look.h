// A tool bar button that shows a command's one action (the menu item's): a
// click or a key triggers that action, and the button's checked and enabled
// state follow it, while the button keeps a look of its own (hint, tool
// tip, image and accessible name) that the action's changes leave alone.
#pragma once

#include <QIcon>
#include <QString>

class QToolButton;

// Gives `button` its own look now and after every change of its action.
void KeepOwnLook(QToolButton* button, const QString& hint, const QIcon& image);
