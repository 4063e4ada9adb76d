#include "forms/tdbgrid.h"

#include "forms/deleteconfirm.h"
#include "forms/tfieldedit.h"
#include "platform/db/localesettings.h"
#include "platform/db/tdataset.h"
#include "platform/db/tdatasource.h"
#include "platform/db/tfield.h"
#include "platform/error.h"
#include "platform/ui/guard.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStandardItemModel>
#include <limits>
#include <qdrawutil.h>

namespace {

constexpr int kIndicatorWidth = 11;
constexpr int kScrollRange = 1000;
constexpr qint64 kEnd = std::numeric_limits<qint64>::max();

bool isNavigationKey(const QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Insert:
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Delete:
        return e->modifiers() & Qt::ControlModifier;
    default:
        return false;
    }
}

} // namespace

// The in-place editor of a cell: it types as any field edit does, starting Edit first; the
// keys that move or decide go to the grid.
class TDBGrid::CellEditor : public TFieldEdit
{
public:
    explicit CellEditor(TDBGrid *grid) : TFieldEdit(grid->viewport()), m_grid(grid)
    {
        setFrame(false);
        hide();
    }
    using TFieldEdit::restore;
    using TFieldEdit::setChangedSinceShown;
    using TFieldEdit::setField;
    using TFieldEdit::writeBack;

protected:
    bool focusNextPrevChild(bool) override { return false; }
    bool beginChange() override
    {
        return TFieldEdit::beginChange() && guarded([this] { m_grid->DataSet()->Edit(); });
    }
    void keyPressEvent(QKeyEvent *e) override
    {
        if (isNavigationKey(e)) {
            guarded([&] { m_grid->handleKey(e); });
            return;
        }
        // A column that cannot be changed only shows its value.
        if (!field() || !field()->CanModify())
            return;
        TFieldEdit::keyPressEvent(e);
    }

private:
    TDBGrid *m_grid;
};

// The title row: raised cells with the field name set 2 pixels from the left, so that a column
// as wide as its title plus 4 pixels shows the whole title.
class TDBGrid::TitleRow : public QHeaderView
{
public:
    explicit TitleRow(QWidget *parent) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        if (!rect.isValid())
            return;
        qDrawWinButton(painter, rect, palette(), false, &palette().brush(QPalette::Button));
        painter->setPen(palette().color(QPalette::ButtonText));
        painter->drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          model()->headerData(logicalIndex, orientation()).toString());
    }
};

TDBGrid::TDBGrid(QWidget *parent)
    : QAbstractScrollArea(parent), m_header(new TitleRow(this)),
      m_titles(new QStandardItemModel(this)), m_editor(new CellEditor(this))
{
    setFocusPolicy(Qt::StrongFocus);
    m_header->setModel(m_titles);
    m_header->setSectionsMovable(true);
    m_header->setSectionResizeMode(QHeaderView::Interactive);
    m_header->setHighlightSections(false);
    m_header->setSectionsClickable(false);
    m_header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_header->setFocusPolicy(Qt::NoFocus);
    m_header->setMinimumSectionSize(4);
    connect(m_header, &QHeaderView::sectionResized, this, [this] {
        updateScrollBars();
        placeEditor();
        viewport()->update();
    });
    connect(m_header, &QHeaderView::sectionMoved, this, [this] {
        placeEditor();
        viewport()->update();
    });
    verticalScrollBar()->setRange(0, kScrollRange);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { guarded([&] { scrollBarAction(action); }); });
    // Leaving the grid: the focus goes to another control of the same window. A window that
    // loses the focus as a whole (another window, closing) leaves the grid as it is.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        const auto inside = [this](QWidget *w) { return w && (w == this || isAncestorOf(w)); };
        if (inside(old) && now && !inside(now) && now->window() == window())
            focusLeft();
    });
    placeHeader();
}

TDBGrid::~TDBGrid()
{
    setDataSource(nullptr);
}

QLineEdit *TDBGrid::cellEditor() const
{
    return m_editor->isVisible() ? m_editor : nullptr;
}

void TDBGrid::resolveReference(const QByteArray &property, QObject *component)
{
    auto *source = qobject_cast<TDataSource *>(component);
    if (property != "DataSource" || !source)
        throw Error(QStringLiteral("%1: DataSource must name a data source").arg(objectName()));
    setDataSource(source);
    dataEvent(DataEvent::ActiveChanged, nullptr);
}

// ---- following the dataset

void TDBGrid::dataEvent(DataEvent event, TField *field)
{
    switch (event) {
    case DataEvent::ActiveChanged:
        closeEditor();
        setupColumns();
        rebuild();
        break;
    case DataEvent::StateChanged:
    case DataEvent::RecordChanged:
        if (!m_rebuilding)
            rebuild();
        break;
    case DataEvent::FieldChanged:
        if (m_editor->isVisible() && !m_editor->changedSinceShown() &&
            field == m_fields.value(m_column))
            m_editor->setText(field->Text());
        viewport()->update();
        break;
    case DataEvent::UpdateData:
        writeCell();
        break;
    }
}

void TDBGrid::setupColumns()
{
    // A closed table shows no columns; they are laid out when it opens, which also keeps the
    // measuring of their titles out of the program's start.
    const TDataSet *dataSet = DataSet();
    const QList<TField *> fields =
        dataSet && dataSet->Active() ? dataSet->Fields() : QList<TField *>();
    if (fields == m_fields && m_titles->columnCount() == fields.size())
        return;
    m_fields = fields;
    m_titles->clear();
    m_titles->setColumnCount(int(fields.size()));
    const QFontMetrics fm(font());
    for (int i = 0; i < fields.size(); ++i) {
        const TField *f = fields[i];
        m_titles->setHorizontalHeaderItem(i, new QStandardItem(f->FieldName()));
        // As wide as the field's display width in digits, never narrower than the title.
        const int width = qMax(f->DisplayWidth() * fm.horizontalAdvance(u'0') + 4,
                               fm.horizontalAdvance(f->FieldName()) + 4);
        m_header->resizeSection(i, width);
    }
    m_column = 0;
    updateScrollBars();
}

int TDBGrid::rowHeight() const
{
    return fontMetrics().height() + 4;
}

int TDBGrid::fullRows() const
{
    return qMax(1, viewport()->height() / rowHeight());
}

int TDBGrid::pageRows() const
{
    // Rows that show at least in part.
    return qMax(1, (viewport()->height() + rowHeight() - 1) / rowHeight());
}

void TDBGrid::rebuild()
{
    TDataSet *dataSet = DataSet();
    if (!dataSet || !dataSet->Active()) {
        m_rows.clear();
        m_currentRow = -1;
        updateScrollBars();
        viewport()->update();
        return;
    }
    const int n = fullRows();
    const bool pending = dataSet->State() == DataSetState::Insert;
    const qint64 anchor = pending ? (dataSet->insertBeforeKey() ? dataSet->insertBeforeKey() : kEnd)
                                  : dataSet->currentKey();

    // Keep the row of the current record where it was, as long as it stays in view; a move out
    // of view brings it to the top or the bottom.
    int place = 0;
    QList<qint64> keys;
    for (const Row &r : std::as_const(m_rows)) {
        if (!r.pending)
            keys << r.key;
    }
    if (anchor == kEnd) {
        place = n - 1;
    } else if (!keys.isEmpty() && anchor > keys.last()) {
        place = n - 1;
    } else if (!keys.isEmpty() && anchor >= keys.first()) {
        place = int(std::lower_bound(keys.begin(), keys.end(), anchor) - keys.begin());
    }
    place = qBound(0, place, n - 1);

    QList<StoredRecord> before, after;
    if (anchor != 0) {
        before = dataSet->recordsBefore(anchor, place);
        if (anchor != kEnd)
            after = dataSet->recordsFrom(anchor, n - int(before.size()) - (pending ? 1 : 0));
        const int shown = int(before.size() + after.size()) + (pending ? 1 : 0);
        if (shown < n) {
            const qint64 first = before.isEmpty() ? anchor : before.first().key;
            before = dataSet->recordsBefore(first, n - shown) + before;
        }
    }
    m_rows.clear();
    for (const StoredRecord &r : std::as_const(before))
        m_rows.append({r.key, r.values, r.invalid, false});
    if (pending) {
        m_currentRow = int(m_rows.size());
        m_rows.append({0, {}, {}, true});
    }
    for (const StoredRecord &r : std::as_const(after))
        m_rows.append({r.key, r.values, r.invalid, false});
    if (!pending) {
        m_currentRow = -1;
        for (int i = 0; i < m_rows.size(); ++i) {
            if (m_rows[i].key == dataSet->currentKey())
                m_currentRow = i;
        }
    }
    if (m_editor->isVisible() &&
        !(dataSet->State() == DataSetState::Edit || dataSet->State() == DataSetState::Insert)) {
        closeEditor();
    }
    placeEditor();
    updateScrollBars();
    viewport()->update();
}

void TDBGrid::updateScrollBars()
{
    QScrollBar *h = horizontalScrollBar();
    h->setRange(0, qMax(0, m_header->length() - viewport()->width()));
    h->setPageStep(viewport()->width());
    TDataSet *dataSet = DataSet();
    QScrollBar *v = verticalScrollBar();
    const QSignalBlocker block(v);
    if (!dataSet || !dataSet->Active() || dataSet->IsEmpty()) {
        v->setValue(0);
        return;
    }
    if (dataSet->State() == DataSetState::Insert && !dataSet->insertBeforeKey())
        v->setValue(kScrollRange);
    else
        v->setValue(qRound(dataSet->approximatePosition() * kScrollRange));
}

void TDBGrid::scrollBarAction(int action)
{
    TDataSet *dataSet = DataSet();
    QScrollBar *v = verticalScrollBar();
    // The scroll bar only asks; the dataset moves and the grid then follows it.
    v->setSliderPosition(v->value());
    if (!dataSet || !dataSet->Active())
        return;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        moveDown();
        break;
    case QAbstractSlider::SliderSingleStepSub:
        moveUp();
        break;
    case QAbstractSlider::SliderPageStepAdd:
        dataSet->MoveBy(fullRows());
        break;
    case QAbstractSlider::SliderPageStepSub:
        dataSet->MoveBy(-fullRows());
        break;
    case QAbstractSlider::SliderToMinimum:
        dataSet->First();
        break;
    case QAbstractSlider::SliderToMaximum:
        dataSet->Last();
        break;
    case QAbstractSlider::SliderMove: {
        // A drag goes to the record whose key stands at that fraction of the key range.
        const QList<StoredRecord> first =
            dataSet->recordsFrom(std::numeric_limits<qint64>::min(), 1);
        const QList<StoredRecord> last = dataSet->recordsBefore(kEnd, 1);
        if (first.isEmpty() || last.isEmpty())
            break;
        const double fraction = double(v->sliderPosition()) / kScrollRange;
        dataSet->GotoKey(first[0].key + qint64(fraction * double(last[0].key - first[0].key)));
        break;
    }
    default:
        break;
    }
}

// ---- keys

void TDBGrid::keyPressEvent(QKeyEvent *event)
{
    bool known = false;
    guarded([&] { known = handleKey(event); });
    if (!known)
        QAbstractScrollArea::keyPressEvent(event);
}

bool TDBGrid::handleKey(QKeyEvent *e)
{
    TDataSet *dataSet = DataSet();
    if (!dataSet || !dataSet->Active() || m_fields.isEmpty())
        return true;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_F2:
        openEditor(QString(), false);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        writeCell();
        closeEditor();
        return true;
    case Qt::Key_Escape:
        if (m_editor->changedSinceShown()) {
            // Only the cell goes back to what its field holds.
            m_editor->restore();
        } else {
            closeEditor();
            dataSet->Cancel();
        }
        return true;
    case Qt::Key_Up:
        moveUp();
        return true;
    case Qt::Key_Down:
        moveDown();
        return true;
    case Qt::Key_Tab:
        moveColumn(1, true);
        return true;
    case Qt::Key_Backtab:
        moveColumn(-1, true);
        return true;
    case Qt::Key_Left:
        moveColumn(-1, false);
        return true;
    case Qt::Key_Right:
        moveColumn(1, false);
        return true;
    case Qt::Key_PageDown:
        dataSet->MoveBy(fullRows());
        return true;
    case Qt::Key_PageUp:
        dataSet->MoveBy(-fullRows());
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!ctrl)
            return false;
        if (e->key() == Qt::Key_Home)
            dataSet->First();
        else
            dataSet->Last();
        return true;
    case Qt::Key_Insert:
        if (dataSet->CanModify())
            dataSet->Insert();
        return true;
    case Qt::Key_Delete:
        if (!ctrl)
            return false;
        if (dataSet->CanModify() && !dataSet->IsEmpty() && confirmDelete())
            dataSet->Delete();
        return true;
    default:
        break;
    }
    const QString text = e->text();
    if (!text.isEmpty() && text.at(0).isPrint() && !ctrl) {
        typeCharacter(text);
        return true;
    }
    return false;
}

void TDBGrid::typeCharacter(const QString &text)
{
    TField *f = m_fields.value(m_column);
    if (!f || !f->CanModify())
        return;
    if (!f->AcceptsChar(text.toUcs4().value(0))) {
        QApplication::beep();
        return;
    }
    DataSet()->Edit();
    openEditor(text, true);
}

bool TDBGrid::untouchedNewRecord() const
{
    const TDataSet *dataSet = DataSet();
    return dataSet->State() == DataSetState::Insert && !dataSet->Modified() &&
           !m_editor->changedSinceShown();
}

void TDBGrid::moveUp()
{
    TDataSet *dataSet = DataSet();
    if (untouchedNewRecord() && !dataSet->insertBeforeKey()) {
        closeEditor();
        dataSet->Cancel();
        return;
    }
    dataSet->Prior();
}

void TDBGrid::moveDown()
{
    TDataSet *dataSet = DataSet();
    if (untouchedNewRecord()) {
        if (dataSet->insertBeforeKey()) {
            closeEditor();
            dataSet->Cancel();
        }
        return;
    }
    dataSet->Next();
    if (dataSet->Eof() && dataSet->CanModify())
        dataSet->Append();
}

void TDBGrid::moveColumn(int step, bool wrapRows)
{
    const int visual = m_header->visualIndex(m_column) + step;
    if (visual >= 0 && visual < m_fields.size()) {
        writeCell();
        closeEditor();
        m_column = m_header->logicalIndex(visual);
        viewport()->update();
        return;
    }
    if (!wrapRows)
        return;
    // Past the last cell the row changes as Down does; before the first, as Up does.
    if (step > 0)
        moveDown();
    else
        moveUp();
    m_column = m_header->logicalIndex(step > 0 ? 0 : int(m_fields.size()) - 1);
    viewport()->update();
}

// ---- the cell editor

void TDBGrid::openEditor(const QString &text, bool replace)
{
    TField *f = m_fields.value(m_column);
    if (!f || m_currentRow < 0)
        return;
    if (!m_editor->isVisible()) {
        m_editor->setField(f);
        m_editor->setFont(font());
        m_editor->setAlignment(f->Alignment());
        m_editor->setText(f->Text());
        m_editor->setChangedSinceShown(false);
        placeEditor();
        m_editor->show();
        m_editor->setFocus();
    }
    if (replace) {
        m_editor->setText(text);
        m_editor->setChangedSinceShown(true);
    } else {
        m_editor->end(false);
    }
}

void TDBGrid::closeEditor()
{
    if (!m_editor->isVisible())
        return;
    const bool hadFocus = m_editor->hasFocus();
    m_editor->setChangedSinceShown(false);
    m_editor->hide();
    if (hadFocus)
        setFocus();
}

void TDBGrid::writeCell()
{
    // The editor's field is the current column's as long as it is open.
    if (m_editor->isVisible())
        m_editor->writeBack();
}

void TDBGrid::placeEditor()
{
    if (m_currentRow < 0 || m_fields.isEmpty())
        return;
    m_editor->setGeometry(cellRect(m_currentRow, m_column).adjusted(1, 1, -1, -1));
}

void TDBGrid::focusLeft()
{
    TDataSet *dataSet = DataSet();
    if (!dataSet || !dataSet->Active())
        return;
    const bool ok = guarded([&] {
        if (untouchedNewRecord()) {
            closeEditor();
            dataSet->Cancel();
        } else {
            writeCell();
        }
    });
    if (!ok)
        (m_editor->isVisible() ? static_cast<QWidget *>(m_editor) : this)->setFocus();
}

// ---- mouse and geometry

void TDBGrid::mousePressEvent(QMouseEvent *event)
{
    // Mouse events of the viewport arrive here in the viewport's coordinates.
    setFocus();
    const int row = rowAt(event->position().toPoint().y());
    const int column = columnAt(event->position().toPoint().x());
    guarded([&] {
        TDataSet *dataSet = DataSet();
        if (!dataSet || !dataSet->Active() || row < 0 || row >= m_rows.size())
            return;
        if (column >= 0 && column != m_column) {
            writeCell();
            closeEditor();
            m_column = column;
        }
        // Another row becomes current through the dataset, which settles the pending record.
        if (row != m_currentRow && !m_rows[row].pending)
            dataSet->GotoKey(m_rows[row].key);
        viewport()->update();
    });
}

void TDBGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    placeHeader();
    if (!m_rebuilding) {
        guarded([this] { rebuild(); });
    }
}

void TDBGrid::scrollContentsBy(int dx, int)
{
    if (dx != 0) {
        m_header->setOffset(horizontalScrollBar()->value());
        placeEditor();
        viewport()->update();
    }
}

void TDBGrid::placeHeader()
{
    // The title row stands in the margin above the rows, right of the indicator column, which
    // is the first strip of the viewport.
    const int h = rowHeight();
    setViewportMargins(0, h, 0, 0);
    const QRect vg = viewport()->geometry();
    m_header->setGeometry(vg.left() + kIndicatorWidth, vg.top() - h, vg.width() - kIndicatorWidth,
                          h);
}

QRect TDBGrid::cellRect(int row, int column) const
{
    return QRect(kIndicatorWidth + m_header->sectionViewportPosition(column), row * rowHeight(),
                 m_header->sectionSize(column), rowHeight());
}

int TDBGrid::rowAt(int y) const
{
    return y < 0 ? -1 : y / rowHeight();
}

int TDBGrid::columnAt(int x) const
{
    return x < kIndicatorWidth ? -1 : m_header->logicalIndexAt(x - kIndicatorWidth);
}

QString TDBGrid::cellText(int row, int column) const
{
    const TField *f = m_fields.value(column);
    if (!f || row < 0 || row >= m_rows.size())
        return {};
    const Row &r = m_rows[row];
    // The current row shows the record as it stands now, pending changes included.
    if (row == m_currentRow)
        return f->DisplayText();
    if (r.invalid.value(column))
        return QStringLiteral("?");
    return fieldtext::displayText(f->def(), r.values.value(column), currentLocaleSettings());
}

QChar TDBGrid::indicator() const
{
    const TDataSet *dataSet = DataSet();
    if (!dataSet || m_currentRow < 0)
        return u' ';
    switch (dataSet->State()) {
    case DataSetState::Edit:
        return u'I';
    case DataSetState::Insert:
        return u'*';
    default:
        return u'>';
    }
}

// ---- drawing

void TDBGrid::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    const QPalette &pal = palette();
    p.fillRect(viewport()->rect(), pal.base());
    const int rh = rowHeight();
    const int rows = qMin(int(m_rows.size()), pageRows());
    const QColor lines = pal.color(QPalette::Mid);
    for (int r = 0; r < rows; ++r) {
        for (int visual = 0; visual < m_fields.size(); ++visual) {
            const int c = m_header->logicalIndex(visual);
            const QRect cell = cellRect(r, c);
            if (cell.right() < 0 || cell.left() > viewport()->width())
                continue;
            const bool invalid = r != m_currentRow && m_rows[r].invalid.value(c);
            if (r == m_currentRow && c == m_column && hasFocus())
                p.fillRect(cell.adjusted(0, 0, -1, -1), pal.highlight());
            p.setPen(invalid ? Qt::red
                             : (r == m_currentRow && c == m_column && hasFocus()
                                    ? pal.color(QPalette::HighlightedText)
                                    : pal.color(QPalette::Text)));
            p.drawText(cell.adjusted(2, 0, -3, 0), int(m_fields[c]->Alignment() | Qt::AlignVCenter),
                       cellText(r, c));
            p.setPen(lines);
            p.drawLine(cell.topRight(), cell.bottomRight());
            p.drawLine(cell.bottomLeft(), cell.bottomRight());
        }
    }

    // The indicator column: the first strip of the viewport.
    const QRect column(0, 0, kIndicatorWidth, viewport()->height());
    p.fillRect(column, pal.button());
    p.setPen(lines);
    for (int r = 1; r <= rows; ++r)
        p.drawLine(column.left(), r * rh - 1, column.right(), r * rh - 1);
    p.drawLine(column.topRight(), column.bottomRight());
    if (m_currentRow < 0 || m_currentRow >= rows)
        return;
    const QRect cell(0, m_currentRow * rh, kIndicatorWidth, rh);
    const QPointF c = QRectF(cell).center();
    p.setPen(pal.color(QPalette::WindowText));
    p.setBrush(pal.color(QPalette::WindowText));
    switch (indicator().unicode()) {
    case '>': {
        QPainterPath arrow;
        arrow.moveTo(c.x() - 2, c.y() - 4);
        arrow.lineTo(c.x() + 2, c.y());
        arrow.lineTo(c.x() - 2, c.y() + 4);
        arrow.closeSubpath();
        p.drawPath(arrow);
        break;
    }
    case 'I':
        p.drawLine(QPointF(c.x(), c.y() - 4), QPointF(c.x(), c.y() + 4));
        p.drawLine(QPointF(c.x() - 2, c.y() - 4), QPointF(c.x() + 2, c.y() - 4));
        p.drawLine(QPointF(c.x() - 2, c.y() + 4), QPointF(c.x() + 2, c.y() + 4));
        break;
    case '*':
        p.drawText(cell, Qt::AlignCenter, QStringLiteral("*"));
        break;
    default:
        break;
    }
}
