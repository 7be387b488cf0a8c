// The general error box: an exception escaping an event handler is shown
// and the program goes on with the next event.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <stdexcept>
#include <string>

#include "scripted_prompt.h"
#include "startup/sonmira_application.h"

namespace {

// A receiver whose handler fails with `error`, or counts when it has none.
class Handler : public QObject {
public:
    explicit Handler(std::string error = {}) : error_(std::move(error)) {}
    int handled = 0;

protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        if (!error_.empty()) throw std::runtime_error(error_);
        ++handled;
        return true;
    }

private:
    std::string error_;
};

}  // namespace

TEST(GeneralErrorBox, showsTheEscapedErrorAndTheProgramGoesOn) {
    auto* app = qobject_cast<SonmiraApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    ScriptedPrompt ui{messages::MsgAnswer::Ok};
    app->SetErrorPrompt(&ui);

    Handler failing("'12G' 不是有效的整数值"), dotted("Access violation."), working;
    for (QObject* to : {&failing, &dotted, &working, &failing, &working})
        QCoreApplication::postEvent(to, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents();
    app->SetErrorPrompt(nullptr);

    EXPECT_EQ(working.handled, 2);
    ASSERT_EQ(ui.Boxes().size(), 3u);
    EXPECT_EQ(ui.Boxes()[0].text, "'12G' 不是有效的整数值.");
    EXPECT_EQ(ui.Boxes()[0].caption, "ui_startup_application_test");  // the program's name
    EXPECT_EQ(ui.Boxes()[0].icon, messages::MsgIcon::Error);
    EXPECT_EQ(ui.Boxes()[0].buttons, messages::MsgButtons::Ok);
    EXPECT_EQ(ui.Boxes()[1].text, "Access violation.");
    EXPECT_EQ(ui.Boxes()[2].text, "'12G' 不是有效的整数值.");
}
