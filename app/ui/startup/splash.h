// TfrmSplash: the picture shown while the program prepares its windows.
#pragma once

#include <QWidget>

class TfrmSplash : public QWidget {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent = nullptr);

    // Shows the splash centred on the screen and paints it before returning,
    // so it is up before the slow start-up steps begin.
    void ShowNow();
};
