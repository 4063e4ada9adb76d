#pragma once

#include "platform/ui/handlers.h"

#include <QPointer>
#include <QWidget>

class QEventLoop;

// A form: a top-level window built from its stored description. The description sets, as
// properties of the form:
//   "Left", "Top", "Width", "Height"  its designed place and outer size, in pixels at 96 dpi;
//   "Scaled"      whether it adapts to the screen's text size (else it keeps its pixel sizes);
//   "AutoScroll"  whether scroll bars reach controls that a smaller window cuts off;
//   "OnShow", "OnCloseQuery", and "OnClick" on its buttons: the names of its handlers, which
//                 the form subclass publishes in its HandlerTable.
class TForm : public QWidget
{
    Q_OBJECT
public:
    explicit TForm(QWidget *parent = nullptr);
    ~TForm() override;

    // Applies the description's window settings and binds its events. The application calls it
    // once the form's description has been read.
    virtual void Loaded();

    // Shows the form and runs until it closes: every other window is disabled meanwhile, and the
    // window that was active before gets the focus back afterwards. Returns the modal result.
    int ShowModal();
    // Asks the form to close: runs the close query; a modal form then ends its loop; the main
    // form ends the application.
    void Close();

    int ModalResult() const { return m_modalResult; }
    bool isModal() const { return m_loop != nullptr; }

    // The frame that the designed outer sizes include: borders and caption of a sizeable window.
    static constexpr int kDesignFrameWidth = 8;
    static constexpr int kDesignFrameHeight = 27;

    // How much a scaled form grows on a screen of `dpi` dots per inch: the height of a line of
    // the form's font there over its height at the designed 96 dpi. The stand-in font's own
    // height at 96 dpi is what the layout was designed for.
    static double textScale(const QFont &font, double dpi);
    // The font of a form that does not scale, on a screen of `dpi` dots per inch.
    static QFont unscaledFont(const QFont &font, double dpi);

protected:
    HandlerTable &handlers() { return m_handlers; }
    void closeEvent(QCloseEvent *event) override;

private:
    void applyWindowSettings();
    void bindEvents();
    void addScrollBars();
    void runOnShow();
    bool runCloseQuery();

    HandlerTable m_handlers;
    TNotifyEvent m_onShow;
    TCloseQueryEvent m_onCloseQuery;
    QEventLoop *m_loop = nullptr;
    int m_modalResult = 0;
};
