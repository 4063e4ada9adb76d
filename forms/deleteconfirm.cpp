#include "forms/deleteconfirm.h"

#include "platform/ui/messagebox.h"

bool confirmDelete()
{
    MessageBoxRequest request{QStringLiteral("Delete record?"), QStringLiteral("Confirm"),
                              MsgButtons::OKCancel, MsgIcon::Question};
    request.centredOnScreen = true;
    return showMessageBox(request) == mrOk;
}
