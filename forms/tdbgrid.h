#pragma once

#include "platform/db/tdatalink.h"
#include "platform/referrer.h"

#include <QAbstractScrollArea>
#include <QList>
#include <QVariant>

class QHeaderView;
class QLineEdit;
class QStandardItemModel;
class TField;

// A data grid: every record of its table as a row, every declared field as a column titled with
// the field's name, an indicator column marking the current row (arrow in browse, I-beam in
// edit, asterisk in insert), and cells edited in place. It reads only the rows it shows, asking
// the dataset for them whenever the current record or the state changes; nothing of the table
// is kept beyond that window.
class TDBGrid : public QAbstractScrollArea, public TDataLink, public Referrer
{
    Q_OBJECT
    Q_PROPERTY(QString DataSource READ dataSourceName WRITE setDataSourceName)
public:
    explicit TDBGrid(QWidget *parent = nullptr);
    ~TDBGrid() override;

    QString dataSourceName() const { return m_dataSourceName; }
    void setDataSourceName(const QString &name) { m_dataSourceName = name; }
    QList<QByteArray> referenceProperties() const override { return {"DataSource"}; }
    void resolveReference(const QByteArray &property, QObject *component) override;
    void dataEvent(DataEvent event, TField *field) override;

    // What is shown, for tests and the curious: the current column (a field index), the rows
    // in view, the cell editor (nullptr while closed), the title row.
    int currentColumn() const { return m_column; }
    int rowsInView() const { return int(m_rows.size()); }
    int currentRowInView() const { return m_currentRow; }
    QLineEdit *cellEditor() const;
    QHeaderView *titles() const { return m_header; }
    int rowHeight() const;
    // The text a cell shows: row in view, field index.
    QString cellText(int row, int column) const;
    // The indicator of the current row: '>' browse, 'I' edit, '*' insert, ' ' none.
    QChar indicator() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Tab moves between cells; it never takes the focus out of the grid.
    bool focusNextPrevChild(bool) override { return false; }

private:
    struct Row
    {
        qint64 key = 0;
        QList<QVariant> values;
        QList<bool> invalid;
        bool pending = false;
    };
    class CellEditor;
    class TitleRow;

    // Handling of a key; true when the grid knew it. Runs inside the guard.
    bool handleKey(QKeyEvent *event);
    void typeCharacter(const QString &text);
    void moveUp();
    void moveDown();
    void moveColumn(int step, bool wrapRows);
    bool untouchedNewRecord() const;
    void openEditor(const QString &text, bool replace);
    void closeEditor();
    // Writes the cell editor's changed text into its field; throws the field's error.
    void writeCell();
    void focusLeft();

    void setupColumns();
    void rebuild();
    int pageRows() const;
    int fullRows() const;
    void placeHeader();
    void placeEditor();
    void updateScrollBars();
    void scrollBarAction(int action);
    QRect cellRect(int row, int column) const;
    int rowAt(int y) const;
    int columnAt(int x) const;

    QString m_dataSourceName;
    QHeaderView *m_header;
    QStandardItemModel *m_titles;
    CellEditor *m_editor;
    QList<TField *> m_fields;
    QList<Row> m_rows;     // the rows in view, top to bottom
    int m_currentRow = -1; // index in m_rows of the current record or the pending new one
    int m_column = 0;
    bool m_rebuilding = false;
};
