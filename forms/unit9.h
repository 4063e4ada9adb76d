#pragma once

#include "forms/trecordform.h"

#include <memory>

namespace Ui {
class TForm9;
}

// The attendance (clock-in and clock-out) records form.
class TForm9 : public TRecordForm
{
    Q_OBJECT
public:
    TForm9();
    ~TForm9() override;

private:
    std::unique_ptr<Ui::TForm9> m_ui;
};

extern TForm9 *Form9;
