#include "app/unit1.h"

#include "data/unit6.h"
#include "forms/unit2.h"
#include "forms/unit3.h"
#include "forms/unit5.h"
#include "forms/unit8.h"
#include "forms/unit9.h"
#include "platform/db/tquery.h"
#include "platform/db/ttable.h"
#include "report/unit4.h"
#include "ui_unit1.h"

TForm1 *Form1 = nullptr;

TForm1::TForm1() : m_ui(std::make_unique<Ui::TForm1>())
{
    m_ui->setupUi(this);
    handlers().add(QStringLiteral("Button1Click"), this, &TForm1::Button1Click);
    handlers().add(QStringLiteral("Button2Click"), this, &TForm1::Button2Click);
    handlers().add(QStringLiteral("Button3Click"), this, &TForm1::Button3Click);
    handlers().add(QStringLiteral("Button4Click"), this, &TForm1::Button4Click);
    handlers().add(QStringLiteral("Button5Click"), this, &TForm1::Button5Click);
    handlers().add(QStringLiteral("Button6Click"), this, &TForm1::Button6Click);
    handlers().add(QStringLiteral("Button7Click"), this, &TForm1::Button7Click);
}

TForm1::~TForm1() = default;

void TForm1::Button1Click(QObject *)
{
    Form2->ShowModal();
}

void TForm1::Button2Click(QObject *)
{
    Form3->ShowModal();
}

void TForm1::Button3Click(QObject *)
{
    Form5->ShowModal();
}

void TForm1::Button4Click(QObject *)
{
    Form8->ShowModal();
}

void TForm1::Button5Click(QObject *)
{
    Form9->ShowModal();
}

void TForm1::Button6Click(QObject *)
{
    // Run afresh for every report, so that it shows what the tables hold now.
    Data1->Query1->Close();
    Data1->Query1->Open();
    Data1->renyuan1->Open();
    QuickReport4->Preview();
}

void TForm1::Button7Click(QObject *)
{
    Close();
}
