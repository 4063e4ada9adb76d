#include "platform/ui/tform.h"

#include "platform/ui/guard.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/tapplication.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QScrollArea>
#include <QVBoxLayout>

TForm::TForm(QWidget *parent) : QWidget(parent, Qt::Window) {}

TForm::~TForm()
{
    if (m_loop)
        m_loop->exit();
}

void TForm::Loaded()
{
    applyWindowSettings();
    bindEvents();
}

double TForm::textScale(const QFont &font, double dpi)
{
    const auto lineHeight = [&](double atDpi) {
        QFont f = font;
        f.setPixelSize(qMax(1, qRound(font.pointSizeF() * atDpi / 72.0)));
        return QFontMetrics(f).height();
    };
    return double(lineHeight(dpi)) / lineHeight(96.0);
}

QFont TForm::unscaledFont(const QFont &font, double dpi)
{
    // Designed pixels stay pixels: on another screen the font keeps its height at 96 dpi. At
    // 96 dpi the font is left as it is, so that it is the very font the other forms use.
    if (qFuzzyCompare(dpi, 96.0) || font.pointSizeF() <= 0)
        return font;
    QFont f = font;
    f.setPixelSize(qRound(font.pointSizeF() * 96.0 / 72.0));
    return f;
}

void TForm::applyWindowSettings()
{
    QSize client(property("Width").toInt() - kDesignFrameWidth,
                 property("Height").toInt() - kDesignFrameHeight);
    if (property("Scaled").toBool()) {
        // The font follows the screen's resolution by itself (it is given in points); the
        // controls follow the font's height.
        const double scale = textScale(font(), logicalDpiY());
        if (!qFuzzyCompare(scale, 1.0)) {
            const auto scaled = [scale](int v) { return qRound(v * scale); };
            const QList<QWidget *> widgets = findChildren<QWidget *>();
            for (QWidget *w : widgets) {
                const QRect g = w->geometry();
                w->setGeometry(scaled(g.x()), scaled(g.y()), scaled(g.width()), scaled(g.height()));
            }
            client = QSize(scaled(client.width()), scaled(client.height()));
        }
    } else {
        setFont(unscaledFont(font(), logicalDpiY()));
    }
    if (property("AutoScroll").toBool())
        addScrollBars();
    const QVariant left = property("Left"), top = property("Top");
    if (left.isValid() && top.isValid())
        move(left.toInt(), top.toInt());
    if (property("Width").isValid() && property("Height").isValid())
        resize(client);
}

void TForm::addScrollBars()
{
    // The controls move onto a page inside a scroll area that fills the window; the page keeps
    // the designed size, so a smaller window shows scroll bars. Moving widgets to another parent
    // loses their place in the tab order, so the order is taken first and given back after.
    QList<QWidget *> order;
    for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
        order << w;
    const QList<QWidget *> controls = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);

    auto *area = new QScrollArea(this);
    area->setObjectName(QStringLiteral("scrollArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("page"));
    QRect bounds;
    for (QWidget *w : controls) {
        w->setParent(page);
        bounds |= w->geometry();
    }
    page->resize(bounds.right() + 1, bounds.bottom() + 1);
    area->setWidget(page);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TForm::bindEvents()
{
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
