// SonmiraApplication: the program's QApplication. An exception that escapes
// an event handler ends that command only: it is shown in the general error
// box and the program goes on with the next event.
#pragma once

#include <QApplication>
#include <string>

#include "dialogs/qt_prompt.h"
#include "messages/user_prompt.h"

class SonmiraApplication : public QApplication {
    Q_OBJECT
public:
    SonmiraApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Where the general error box goes; tests script it. Null: message boxes.
    void SetErrorPrompt(messages::IUserPrompt* ui) { errorPrompt_ = ui; }

    // The box's caption: the program file's name up to its first ".".
    static std::string Title();

    // The general error box for `message`.
    void ShowGeneralError(const std::string& message);

private:
    QtPrompt boxes_;
    messages::IUserPrompt* errorPrompt_ = nullptr;
};
