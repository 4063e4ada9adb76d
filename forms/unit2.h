#pragma once

#include "forms/trecordform.h"

#include <memory>

namespace Ui {
class TForm2;
}

// The staff information form.
class TForm2 : public TRecordForm
{
    Q_OBJECT
public:
    TForm2();
    ~TForm2() override;

private:
    std::unique_ptr<Ui::TForm2> m_ui;
};

extern TForm2 *Form2;
