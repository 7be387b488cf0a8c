// Key filter of the address boxes (the play start address on the tool bar,
// the segment's start address in its dialog): a typed character reaches the
// box only when the core's rule lets it through. Short-cuts (Ctrl+V and the
// like) and keys that type nothing pass, so a pasted text still reaches the
// box and goes through the commands' own checks.
#pragma once

#include <QObject>

class HexKeyFilter : public QObject {
public:
    using Rule = bool (*)(int key);
    HexKeyFilter(Rule rule, QObject* parent) : QObject(parent), rule_(rule) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Rule rule_;
};
