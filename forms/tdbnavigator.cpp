#include "forms/tdbnavigator.h"

#include "forms/deleteconfirm.h"
#include "platform/db/tdataset.h"
#include "platform/db/tdatasource.h"
#include "platform/error.h"
#include "platform/ui/guard.h"

#include <QAbstractButton>
#include <QMetaEnum>
#include <QPainter>
#include <QPainterPath>
#include <qdrawutil.h>

namespace {

// A glyph on a 10 by 10 grid: shapes to fill and lines to draw.
struct Glyph
{
    QPainterPath fill;
    QPainterPath stroke;
};

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

Glyph glyphOf(TDBNavigator::NavigateButton kind)
{
    Glyph g;
    g.fill.setFillRule(Qt::WindingFill);
    switch (kind) {
    case TDBNavigator::nbFirst:
        g.fill.addRect(1, 1, 1.6, 8);
        g.fill.addPath(polygon({{9, 1}, {9, 9}, {3.4, 5}}));
        break;
    case TDBNavigator::nbPrior:
        g.fill = polygon({{7.5, 1}, {7.5, 9}, {2.5, 5}});
        break;
    case TDBNavigator::nbNext:
        g.fill = polygon({{2.5, 1}, {2.5, 9}, {7.5, 5}});
        break;
    case TDBNavigator::nbLast:
        g.fill.addPath(polygon({{1, 1}, {1, 9}, {6.6, 5}}));
        g.fill.addRect(7.4, 1, 1.6, 8);
        break;
    case TDBNavigator::nbInsert:
        g.fill.addRect(1, 4.2, 8, 1.6);
        g.fill.addRect(4.2, 1, 1.6, 8);
        break;
    case TDBNavigator::nbDelete:
        g.fill.addRect(1, 4.2, 8, 1.6);
        break;
    case TDBNavigator::nbEdit:
        g.fill = polygon({{1, 7.5}, {9, 7.5}, {5, 2.5}});
        break;
    case TDBNavigator::nbPost:
        g.stroke.moveTo(1.5, 5.5);
        g.stroke.lineTo(4, 8);
        g.stroke.lineTo(8.5, 2);
        break;
    case TDBNavigator::nbCancel:
        g.stroke.moveTo(2, 2);
        g.stroke.lineTo(8, 8);
        g.stroke.moveTo(8, 2);
        g.stroke.lineTo(2, 8);
        break;
    case TDBNavigator::nbRefresh: {
        // Three quarters of a circle from the top round by the left, with the head at the right.
        const QRectF circle(1.7, 2.2, 6.6, 6.6);
        g.stroke.arcMoveTo(circle, 90);
        g.stroke.arcTo(circle, 90, 270);
        g.fill = polygon({{6.6, 5.8}, {10, 5.8}, {8.3, 3.4}});
        break;
    }
    }
    return g;
}

// A navigator button: a raised face that sinks while pressed, with its glyph drawn over it,
// embossed grey while disabled.
class NavButton : public QAbstractButton
{
public:
    NavButton(TDBNavigator::NavigateButton kind, QWidget *parent)
        : QAbstractButton(parent), m_glyph(glyphOf(kind))
    {
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const bool down = isDown();
        qDrawWinButton(&p, rect(), palette(), down, &palette().brush(QPalette::Button));
        const int size = std::clamp(std::min(width(), height()) * 2 / 5, 6, 24);
        const QPoint offset = rect().center() - QPoint(size / 2, size / 2) + QPoint(down, down);
        if (isEnabled()) {
            drawGlyph(p, offset, size, palette().color(QPalette::Active, QPalette::ButtonText));
        } else {
            drawGlyph(p, offset + QPoint(1, 1), size, palette().color(QPalette::Light));
            drawGlyph(p, offset, size, palette().color(QPalette::Dark));
        }
    }

private:
    void drawGlyph(QPainter &p, QPoint at, int size, const QColor &color) const
    {
        p.save();
        p.translate(at);
        p.scale(size / 10.0, size / 10.0);
        p.fillPath(m_glyph.fill, color);
        p.strokePath(m_glyph.stroke, QPen(color, 1.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.restore();
    }

    Glyph m_glyph;
};

} // namespace

TDBNavigator::TDBNavigator(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    const QMetaEnum names = QMetaEnum::fromType<NavigateButton>();
    for (int i = 0; i < kButtonCount; ++i) {
        const auto kind = NavigateButton(i);
        auto *b = new NavButton(kind, this);
        b->setObjectName(QString::fromLatin1(names.valueToKey(i)));
        connect(b, &QAbstractButton::clicked, this,
                [this, kind] { guarded([&] { BtnClick(kind); }); });
        m_buttons.append(b);
    }
    resize(240, 25);
    layoutButtons();
    updateButtons();
}

TDBNavigator::~TDBNavigator()
{
    setDataSource(nullptr);
}

void TDBNavigator::resolveReference(const QByteArray &property, QObject *component)
{
    auto *source = qobject_cast<TDataSource *>(component);
    if (property != "DataSource" || !source)
        throw Error(QStringLiteral("%1: DataSource must name a data source").arg(objectName()));
    setDataSource(source);
    updateButtons();
}

void TDBNavigator::BtnClick(NavigateButton kind)
{
    TDataSet *table = DataSet();
    if (!table || !table->Active())
        return;
    switch (kind) {
    case nbFirst:
        table->First();
        break;
    case nbPrior:
        table->Prior();
        break;
    case nbNext:
        table->Next();
        break;
    case nbLast:
        table->Last();
        break;
    case nbInsert:
        table->Insert();
        break;
    case nbDelete:
        if (confirmDelete())
            table->Delete();
        break;
    case nbEdit:
        table->Edit();
        break;
    case nbPost:
        table->Post();
        break;
    case nbCancel:
        table->Cancel();
        break;
    case nbRefresh:
        table->Refresh();
        break;
    }
}

void TDBNavigator::dataEvent(DataEvent event, TField *)
{
    if (event != DataEvent::UpdateData)
        updateButtons();
}

void TDBNavigator::updateButtons()
{
    const TDataSet *table = DataSet();
    const bool open = table && table->Active();
    const bool canModify = open && table->CanModify();
    const bool editing =
        open && (table->State() == DataSetState::Edit || table->State() == DataSetState::Insert);
    const bool enabled[kButtonCount] = {
        open && !table->Bof(),                               // nbFirst
        open && !table->Bof(),                               // nbPrior
        open && !table->Eof(),                               // nbNext
        open && !table->Eof(),                               // nbLast
        canModify,                                           // nbInsert
        canModify && !table->IsEmpty(),                      // nbDelete
        canModify && table->State() == DataSetState::Browse, // nbEdit
        canModify && editing,                                // nbPost
        canModify && editing,                                // nbCancel
        canModify,                                           // nbRefresh
    };
    for (int i = 0; i < kButtonCount; ++i)
        m_buttons[i]->setEnabled(enabled[i]);
}

void TDBNavigator::layoutButtons()
{
    const int w = width() / kButtonCount;
    for (int i = 0; i < kButtonCount; ++i)
        m_buttons[i]->setGeometry(i * w, 0, w, height());
}

void TDBNavigator::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutButtons();
}
