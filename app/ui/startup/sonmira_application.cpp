#include "startup/sonmira_application.h"

#include <exception>

#include "messages/messages.h"

SonmiraApplication::SonmiraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

std::string SonmiraApplication::Title() {
    return messages::ApplicationTitle(QCoreApplication::applicationFilePath().toStdString());
}

void SonmiraApplication::ShowGeneralError(const std::string& message) {
    messages::IUserPrompt* ui = errorPrompt_;
    if (!ui) {
        boxes_.SetOwner(QApplication::activeWindow());
        ui = &boxes_;
    }
    messages::ShowGeneralError(*ui, message, Title());
}

bool SonmiraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowGeneralError(e.what());
    } catch (...) {
        ShowGeneralError("Unknown error");
    }
    return false;
}
