#include "forms/unit8.h"

#include "ui_unit8.h"

TForm8 *Form8 = nullptr;

TForm8::TForm8() : m_ui(std::make_unique<Ui::TForm8>())
{
    m_ui->setupUi(this);
}

TForm8::~TForm8() = default;
