#include "forms/unit5.h"

#include "ui_unit5.h"

TForm5 *Form5 = nullptr;

TForm5::TForm5() : m_ui(std::make_unique<Ui::TForm5>())
{
    m_ui->setupUi(this);
}

TForm5::~TForm5() = default;
