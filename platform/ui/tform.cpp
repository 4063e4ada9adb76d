#include "platform/ui/tform.h"

#include "platform/ui/guard.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/tapplication.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>

TForm::TForm(QWidget *parent) : QWidget(parent, Qt::Window) {}

TForm::~TForm()
{
    if (m_loop)
        m_loop->exit();
}

void TForm::Loaded()
{
    const QVariant left = property("Left"), top = property("Top");
    const QVariant width = property("Width"), height = property("Height");
    if (left.isValid() && top.isValid())
        move(left.toInt(), top.toInt());
    if (width.isValid() && height.isValid())
        resize(width.toInt() - kDesignFrameWidth, height.toInt() - kDesignFrameHeight);

    const QString name = objectName();
    if (const QString h = property("OnShow").toString(); !h.isEmpty())
        m_onShow = m_handlers.notify(name, h);
    if (const QString h = property("OnCloseQuery").toString(); !h.isEmpty())
        m_onCloseQuery = m_handlers.closeQuery(name, h);
    const QList<QAbstractButton *> buttons = findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        const QString h = button->property("OnClick").toString();
        if (h.isEmpty())
            continue;
        TNotifyEvent handler = m_handlers.notify(name, h);
        connect(button, &QAbstractButton::clicked, this,
                [button, handler] { guarded([&] { handler(button); }); });
    }
}

void TForm::runOnShow()
{
    if (m_onShow)
        guarded([this] { m_onShow(this); });
}

bool TForm::runCloseQuery()
{
    bool canClose = true;
    if (m_onCloseQuery && !guarded([&] { m_onCloseQuery(this, canClose); }))
        return false;
    return canClose;
}

int TForm::ShowModal()
{
    QPointer<QWidget> previousWindow = QApplication::activeWindow();
    QPointer<QWidget> previousFocus = QApplication::focusWidget();

    m_modalResult = mrNone;
    runOnShow();
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();

    QEventLoop loop;
    m_loop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_loop = nullptr;

    hide();
    setWindowModality(Qt::NonModal);
    if (previousWindow)
        previousWindow->activateWindow();
    if (previousFocus)
        previousFocus->setFocus();
    return m_modalResult;
}

void TForm::Close()
{
    if (m_loop) {
        // A modal form closes with the cancel result, once its close query lets it.
        m_modalResult = mrCancel;
        if (runCloseQuery())
            m_loop->exit();
        else
            m_modalResult = mrNone;
        return;
    }
    if (Application && Application->MainForm() == this) {
        // The main form asks nothing and ends the program at once, without hiding first.
        Application->Terminate();
        return;
    }
    if (runCloseQuery())
        hide();
}

void TForm::closeEvent(QCloseEvent *event)
{
    // The window's close box, the system menu and Alt+F4 all go through Close.
    event->ignore();
    Close();
}
