#pragma once

#include "forms/trecordform.h"

#include <memory>

namespace Ui {
class TForm5;
}

// The leave records form.
class TForm5 : public TRecordForm
{
    Q_OBJECT
public:
    TForm5();
    ~TForm5() override;

private:
    std::unique_ptr<Ui::TForm5> m_ui;
};

extern TForm5 *Form5;
