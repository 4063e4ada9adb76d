#include "app/startup.h"

#include "app/unit1.h"
#include "data/unit6.h"
#include "forms/unit2.h"
#include "forms/unit3.h"
#include "forms/unit5.h"
#include "forms/unit8.h"
#include "forms/unit9.h"
#include "platform/ui/tapplication.h"
#include "report/unit4.h"

void CreateModules(TApplication &app)
{
    app.CreateForm(Form1);
    app.CreateForm(Form2);
    app.CreateForm(Form3);
    app.CreateForm(Form5);
    app.CreateForm(Data1);
    app.CreateForm(Form8);
    app.CreateForm(Form9);
    app.CreateForm(QuickReport4);
}
