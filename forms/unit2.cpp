#include "forms/unit2.h"

#include "ui_unit2.h"

TForm2 *Form2 = nullptr;

TForm2::TForm2() : m_ui(std::make_unique<Ui::TForm2>())
{
    m_ui->setupUi(this);
}

TForm2::~TForm2() = default;
