#pragma once

#include "forms/trecordform.h"

#include <memory>

namespace Ui {
class TForm8;
}

// The overtime records form.
class TForm8 : public TRecordForm
{
    Q_OBJECT
public:
    TForm8();
    ~TForm8() override;

private:
    std::unique_ptr<Ui::TForm8> m_ui;
};

extern TForm8 *Form8;
