#include "tool_button_look.h"

#include <QEvent>
#include <QToolButton>

namespace {

class OwnLook : public QObject {
public:
    OwnLook(QToolButton* button, const QString& hint, const QIcon& image)
        : QObject(button), button_(button), hint_(hint), image_(image) {
        Apply();
        button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != button_ || event->type() != QEvent::ActionChanged) return false;
        // The button takes its action's state (and its look, for a moment)...
        watched->event(event);
        // ...and puts its own look back before anything is drawn.
        Apply();
        return true;
    }

private:
    void Apply() {
        button_->setText(hint_);
        button_->setToolTip(hint_);
        button_->setIcon(image_);
        button_->setAccessibleName(hint_);
    }

    QToolButton* button_;
    QString hint_;
    QIcon image_;
};

}  // namespace

void KeepOwnLook(QToolButton* button, const QString& hint, const QIcon& image) { new OwnLook(button, hint, image); }
