#include "forms/unit9.h"

#include "ui_unit9.h"

TForm9 *Form9 = nullptr;

TForm9::TForm9() : m_ui(std::make_unique<Ui::TForm9>())
{
    m_ui->setupUi(this);
}

TForm9::~TForm9() = default;
