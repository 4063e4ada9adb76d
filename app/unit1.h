#pragma once

#include "platform/ui/tform.h"

#include <memory>

namespace Ui {
class TForm1;
}

// The main menu: five buttons that open the record forms, one that starts the report, and the
// close button.
class TForm1 : public TForm
{
    Q_OBJECT
public:
    TForm1();
    ~TForm1() override;

    void Button1Click(QObject *Sender);
    void Button2Click(QObject *Sender);
    void Button3Click(QObject *Sender);
    void Button4Click(QObject *Sender);
    void Button5Click(QObject *Sender);
    void Button6Click(QObject *Sender);
    void Button7Click(QObject *Sender);

private:
    std::unique_ptr<Ui::TForm1> m_ui;
};

extern TForm1 *Form1;
