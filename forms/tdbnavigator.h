#pragma once

#include "platform/db/tdatalink.h"
#include "platform/referrer.h"

#include <QList>
#include <QWidget>

class QAbstractButton;

// A record navigator: ten buttons side by side that move through the table behind its data
// source and edit it. Each button is a tenth of the navigator wide and as high as it; a button
// is enabled only where its operation makes sense for the table's state and position, and all
// are disabled while the table is closed. Neither the navigator nor its buttons take the
// keyboard focus, so a click leaves the focus (and the text pending in an edit box) where it is.
//
// Stored descriptions set "DataSource" (a data source by module and name).
class TDBNavigator : public QWidget, public TDataLink, public Referrer
{
    Q_OBJECT
    Q_PROPERTY(QString DataSource READ dataSourceName WRITE setDataSourceName)
public:
    // The buttons, left to right; each button's object name is its kind's name.
    enum NavigateButton {
        nbFirst,
        nbPrior,
        nbNext,
        nbLast,
        nbInsert,
        nbDelete,
        nbEdit,
        nbPost,
        nbCancel,
        nbRefresh
    };
    Q_ENUM(NavigateButton)
    static constexpr int kButtonCount = nbRefresh + 1;

    explicit TDBNavigator(QWidget *parent = nullptr);
    ~TDBNavigator() override;

    QString dataSourceName() const { return m_dataSourceName; }
    void setDataSourceName(const QString &name) { m_dataSourceName = name; }
    QList<QByteArray> referenceProperties() const override { return {"DataSource"}; }
    void resolveReference(const QByteArray &property, QObject *component) override;

    QAbstractButton *button(NavigateButton kind) const { return m_buttons.at(kind); }

    // What a click on the button does: its table operation (for nbDelete after the delete
    // confirmation). Nothing while the table is closed. Throws the operation's error.
    void BtnClick(NavigateButton kind);

    void dataEvent(DataEvent event, TField *field) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateButtons();
    void layoutButtons();

    QString m_dataSourceName;
    QList<QAbstractButton *> m_buttons;
};
