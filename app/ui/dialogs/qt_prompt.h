// IUserPrompt on QMessageBox: the core's messages with their exact text,
// caption, icon and buttons, owned by the window in front.
#pragma once

#include <QPointer>
#include <QWidget>

#include "messages/user_prompt.h"

class QtPrompt : public messages::IUserPrompt {
public:
    // owner: the main window; a modal dialog in front of it owns the box instead.
    explicit QtPrompt(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    messages::MsgAnswer Ask(const std::string& text, const std::string& caption, messages::MsgIcon icon,
                            messages::MsgButtons buttons) override;

private:
    QPointer<QWidget> owner_;
};
