#pragma once

#include "forms/trecordform.h"

#include <memory>

namespace Ui {
class TForm3;
}

// The business trip records form.
class TForm3 : public TRecordForm
{
    Q_OBJECT
public:
    TForm3();
    ~TForm3() override;

private:
    std::unique_ptr<Ui::TForm3> m_ui;
};

extern TForm3 *Form3;
