#include "forms/unit3.h"

#include "ui_unit3.h"

TForm3 *Form3 = nullptr;

TForm3::TForm3() : m_ui(std::make_unique<Ui::TForm3>())
{
    m_ui->setupUi(this);
}

TForm3::~TForm3() = default;
