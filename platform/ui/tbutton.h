#pragma once

#include <QPushButton>

// A push button as the forms use it: never a default button, yet Enter or Space clicks it while
// it has the focus.
class TButton : public QPushButton
{
    Q_OBJECT
public:
    explicit TButton(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
