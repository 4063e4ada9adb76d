// The data grid over a real table: what it shows, and what each key does to the table.
#include "data/tables.h"
#include "forms/tdbgrid.h"
#include "platform/db/tdatasource.h"
#include "platform/db/tfield.h"
#include "platform/db/ttable.h"
#include "tests/testsupport.h"

#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

namespace {

// A window with a grid on a table of the folder, and a plain box to take the focus away.
struct GridWindow
{
    GridWindow(const QString &folder, const TableDef &def, const QString &name)
        : table(nullptr), source(nullptr)
    {
        tables::declare(table, def, name, folder);
        source.setDataSet(&table);
        window.resize(330, 220);
        grid = new TDBGrid(&window);
        grid->setGeometry(8, 8, 305, 137);
        other = new QLineEdit(&window);
        other->setGeometry(8, 160, 100, 21);
        grid->resolveReference("DataSource", &source);
        table.Open();
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        grid->setFocus();
    }
    QString current() const
    {
        return table.FieldByName(tables::byFileName(table.TableName())->fields[0].name)
            ->DisplayText();
    }
    TTable table;
    TDataSource source;
    QWidget window;
    TDBGrid *grid;
    QLineEdit *other;
};

QString staffNumbers(const TableFolder &folder)
{
    return folder.scalar("ryxx.DB", "SELECT group_concat(ifnull(n, 'blank')) FROM (SELECT 员工号 n "
                                    "FROM ryxx ORDER BY rowid)");
}

// Presses keys written as a script: a letter or digit types it, and the names in braces press
// that key ({Down}, {Tab}, {Esc}, {F2}, {Enter}, {Ins}, {CtrlDel}, {CtrlEnd}, {PgDn}...);
// "{ime:text}" is text an input method commits, "{menu:&Paste}" a context menu command.
void press(QWidget *target, const QString &script)
{
    static const QHash<QString, QPair<Qt::Key, Qt::KeyboardModifiers>> keys{
        {"Up", {Qt::Key_Up, {}}},
        {"Down", {Qt::Key_Down, {}}},
        {"Tab", {Qt::Key_Tab, {}}},
        {"BackTab", {Qt::Key_Backtab, Qt::ShiftModifier}},
        {"Esc", {Qt::Key_Escape, {}}},
        {"F2", {Qt::Key_F2, {}}},
        {"Enter", {Qt::Key_Return, {}}},
        {"Ins", {Qt::Key_Insert, {}}},
        {"PgDn", {Qt::Key_PageDown, {}}},
        {"PgUp", {Qt::Key_PageUp, {}}},
        {"CtrlHome", {Qt::Key_Home, Qt::ControlModifier}},
        {"CtrlEnd", {Qt::Key_End, Qt::ControlModifier}},
        {"CtrlDel", {Qt::Key_Delete, Qt::ControlModifier}},
        {"Right", {Qt::Key_Right, {}}},
        {"Left", {Qt::Key_Left, {}}},
        {"Home", {Qt::Key_Home, {}}},
        {"CtrlV", {Qt::Key_V, Qt::ControlModifier}},
    };
    for (qsizetype i = 0; i < script.size(); ++i) {
        QWidget *w = QApplication::focusWidget() ? QApplication::focusWidget() : target;
        if (script[i] == u'{') {
            const qsizetype end = script.indexOf(u'}', i);
            const QString name = script.mid(i + 1, end - i - 1);
            if (name.startsWith("ime:")) {
                QInputMethodEvent event;
                event.setCommitString(name.mid(4));
                QApplication::sendEvent(w, &event);
            } else if (name.startsWith("menu:")) {
                QContextMenuEvent event(QContextMenuEvent::Keyboard, {}, w->mapToGlobal(QPoint()));
                QApplication::sendEvent(w, &event);
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                QVERIFY(menu);
                for (QAction *action : menu->actions()) {
                    if (action->text() == name.mid(5))
                        action->trigger();
                }
                menu->close();
            } else {
                QVERIFY2(keys.contains(name), qPrintable(name));
                const auto key = keys.value(name);
                QTest::keyClick(w, key.first, key.second);
            }
            i = end;
        } else {
            QTest::keyClicks(w, script.mid(i, 1));
        }
    }
}

} // namespace

class DBGridTest : public QObject
{
    Q_OBJECT
private slots:
    void columnsFollowTheDeclaredFields();
    void keys_data();
    void keys();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void cellTakesWhatItsFieldTakes_data();
    void cellTakesWhatItsFieldTakes();
    void refusedCellKeepsTheRowAndTheFocus();
    void leavingCancelsAnUntouchedNewRecord();
    void clickMakesARowCurrent();
    void showsOnlyTheRowsInView();
};

void DBGridTest::columnsFollowTheDeclaredFields()
{
    TableFolder folder;
    GridWindow w(folder.path(), tables::leave(), "qinjia");
    QHeaderView *titles = w.grid->titles();
    QCOMPARE(titles->count(), 5);
    const QFontMetrics fm(w.grid->font());
    const int zero = fm.horizontalAdvance(u'0');
    const QList<int> widths{10, 10, 18, 18, 20};
    for (int i = 0; i < 5; ++i) {
        const QString title = tables::leave().fields[i].name;
        QCOMPARE(titles->model()->headerData(i, Qt::Horizontal).toString(), title);
        QCOMPARE(titles->sectionSize(i),
                 qMax(widths[i] * zero + 4, fm.horizontalAdvance(title) + 4));
    }
    QVERIFY(titles->sectionsMovable());
    QCOMPARE(titles->sectionResizeMode(0), QHeaderView::Interactive);
}

void DBGridTest::keys_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QChar>("indicator");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("after");

    QTest::newRow("down") << "1,2,3"
                          << "{Down}" << QChar('>') << "2"
                          << "1,2,3";
    QTest::newRow("down on the last row appends") << "1,2,3"
                                                  << "{CtrlEnd}{Down}" << QChar('*') << ""
                                                  << "1,2,3";
    QTest::newRow("then up drops it") << "1,2,3"
                                      << "{CtrlEnd}{Down}{Up}" << QChar('>') << "3"
                                      << "1,2,3";
    QTest::newRow("down again on it does nothing") << "1,2,3"
                                                   << "{CtrlEnd}{Down}{Down}" << QChar('*') << ""
                                                   << "1,2,3";
    QTest::newRow("typing edits") << "1,2,3"
                                  << "7" << QChar('I') << "1"
                                  << "1,2,3";
    QTest::newRow("enter writes, down stores") << "1,2,3"
                                               << "7{Enter}{Down}" << QChar('>') << "2"
                                               << "7,2,3";
    QTest::newRow("a move stores what was typed") << "1,2,3"
                                                  << "{Down}8{Up}" << QChar('>') << "1"
                                                  << "1,8,3";
    QTest::newRow("escape in a changed cell restores it") << "1,2,3"
                                                          << "7{Esc}" << QChar('I') << "1"
                                                          << "1,2,3";
    QTest::newRow("escape again cancels") << "1,2,3"
                                          << "7{Esc}{Esc}" << QChar('>') << "1"
                                          << "1,2,3";
    QTest::newRow("refused letter") << "1,2,3"
                                    << "x" << QChar('>') << "1"
                                    << "1,2,3";
    QTest::newRow("tab past the last cell of the last row")
        << "1,2,3"
        << "{CtrlEnd}{Tab}{Tab}{Tab}" << QChar('*') << ""
        << "1,2,3";
    QTest::newRow("shift-tab before the first cell") << "1,2,3"
                                                     << "{Down}{BackTab}" << QChar('>') << "1"
                                                     << "1,2,3";
    QTest::newRow("typed new record stored by down") << "1"
                                                     << "{Down}5{Down}" << QChar('*') << ""
                                                     << "1,5";
    QTest::newRow("insert key") << "1,2,3"
                                << "{Down}{Ins}" << QChar('*') << ""
                                << "1,2,3";
    // A stored record takes its place in the order of the table: a new one comes last.
    QTest::newRow("insert, type, up stores") << "1,2,3"
                                             << "{Down}{Ins}9{Up}" << QChar('>') << "3"
                                             << "1,2,3,9";
    QTest::newRow("ctrl end, ctrl home") << "1,2,3"
                                         << "{CtrlEnd}{CtrlHome}" << QChar('>') << "1"
                                         << "1,2,3";
    QTest::newRow("page down") << "1,2,3,4,5,6,7,8,9,10,11,12"
                               << "{PgDn}" << QChar('>') << "7"
                               << "1,2,3,4,5,6,7,8,9,10,11,12";
    QTest::newRow("typing on an empty table") << ""
                                              << "4{Down}" << QChar('*') << ""
                                              << "4";
    QTest::newRow("f2 opens the editor only") << "1,2"
                                              << "{F2}{Down}" << QChar('>') << "2"
                                              << "1,2";
}

void DBGridTest::keys()
{
    QFETCH(QString, stored);
    QFETCH(QString, keys);
    QFETCH(QChar, indicator);
    QFETCH(QString, current);
    QFETCH(QString, after);
    TableFolder folder;
    for (const QString &n : stored.split(u',', Qt::SkipEmptyParts))
        folder.sql("ryxx.DB", QStringLiteral("INSERT INTO ryxx (员工号) VALUES (%1)").arg(n));
    GridWindow w(folder.path(), tables::staff(), "renyuan1");
    MessageBoxRecorder boxes;
    press(w.grid, keys);
    QCOMPARE(w.grid->indicator(), indicator);
    QCOMPARE(w.current(), current);
    QCOMPARE(staffNumbers(folder), after);
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.boxes.value(0).text));
}

void DBGridTest::deleteAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("after");
    QTest::newRow("OK") << int(mrOk) << "1,3";
    QTest::newRow("Cancel") << int(mrCancel) << "1,2,3";
}

void DBGridTest::deleteAsksFirst()
{
    QFETCH(int, answer);
    QFETCH(QString, after);
    TableFolder folder;
    folder.sql("ryxx.DB", "INSERT INTO ryxx (员工号) VALUES (1), (2), (3)");
    GridWindow w(folder.path(), tables::staff(), "renyuan1");
    MessageBoxRecorder boxes(answer);
    press(w.grid, "{Down}{CtrlDel}");
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].text, QStringLiteral("Delete record?"));
    QCOMPARE(boxes.boxes[0].caption, QStringLiteral("Confirm"));
    QCOMPARE(boxes.boxes[0].icon, MsgIcon::Question);
    QCOMPARE(staffNumbers(folder), after);
}

void DBGridTest::cellTakesWhatItsFieldTakes_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("cell");

    // The record is (1, 'ab'): a number, then a name of at most 8 bytes.
    QTest::newRow("paste takes the first line") << "5\n6"
                                                << "{F2}{CtrlV}"
                                                << "15";
    QTest::newRow("paste cut to the room left") << "张三李四王"
                                                << "{Tab}{F2}{Home}{CtrlV}"
                                                << "张三李ab";
    QTest::newRow("menu paste cut to fit") << "cdefghij"
                                           << "{Tab}{F2}{menu:&Paste}"
                                           << "abcdefgh";
    QTest::newRow("input method letter refused") << ""
                                                 << "{F2}{ime:a5}"
                                                 << "15";
}

void DBGridTest::cellTakesWhatItsFieldTakes()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, keys);
    QFETCH(QString, cell);
    TableFolder folder;
    folder.sql("ryxx.DB", "INSERT INTO ryxx VALUES (1, 'ab', NULL)");
    GridWindow w(folder.path(), tables::staff(), "renyuan1");
    QGuiApplication::clipboard()->setText(clipboard);
    MessageBoxRecorder boxes;
    press(w.grid, keys);
    QVERIFY(w.grid->cellEditor());
    QCOMPARE(w.grid->cellEditor()->text(), cell);
    // The change started Edit, as typing does.
    QCOMPARE(w.grid->indicator(), QChar('I'));
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.boxes.value(0).text));
}

void DBGridTest::refusedCellKeepsTheRowAndTheFocus()
{
    TableFolder folder;
    folder.sql("ccjl.DB", "INSERT INTO ccjl (员工号) VALUES (1), (2)");
    GridWindow w(folder.path(), tables::trips(), "chucai");
    MessageBoxRecorder boxes;
    // A date that does not exist, typed into the first day of the trip.
    press(w.grid, "{Tab}{Tab}2023-2-29{Down}");
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].text, QStringLiteral("'2023-2-29' is not a valid date."));
    QCOMPARE(w.table.FieldByName("员工号")->DisplayText(), QStringLiteral("1"));
    QCOMPARE(w.grid->indicator(), QChar('I'));
    QVERIFY(w.grid->isAncestorOf(QApplication::focusWidget()) || w.grid->hasFocus());
    QVERIFY(w.grid->cellEditor());
    QCOMPARE(w.grid->cellEditor()->text(), QStringLiteral("2023-2-29"));
}

void DBGridTest::leavingCancelsAnUntouchedNewRecord()
{
    TableFolder folder;
    folder.sql("ryxx.DB", "INSERT INTO ryxx (员工号) VALUES (1)");
    GridWindow w(folder.path(), tables::staff(), "renyuan1");
    w.table.Append();
    w.other->setFocus();
    QCOMPARE(w.table.State(), DataSetState::Browse);
    // Typed text is written back instead, and stays pending.
    w.grid->setFocus();
    press(w.grid, "{Ins}6");
    w.other->setFocus();
    QCOMPARE(w.table.State(), DataSetState::Insert);
    QCOMPARE(w.table.FieldByName("员工号")->DisplayText(), QStringLiteral("6"));
    QCOMPARE(staffNumbers(folder), QStringLiteral("1"));
}

void DBGridTest::clickMakesARowCurrent()
{
    TableFolder folder;
    folder.sql("ryxx.DB", "INSERT INTO ryxx (员工号) VALUES (1), (2), (3)");
    GridWindow w(folder.path(), tables::staff(), "renyuan1");
    press(w.grid, "9");
    const QPoint third(40, 2 * w.grid->rowHeight() + 3);
    QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, third);
    QCOMPARE(w.current(), QStringLiteral("3"));
    QCOMPARE(staffNumbers(folder), QStringLiteral("9,2,3"));
}

void DBGridTest::showsOnlyTheRowsInView()
{
    TableFolder folder;
    folder.sql("ryxx.DB",
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
               "500) INSERT INTO ryxx (员工号) SELECT i FROM n");
    GridWindow w(folder.path(), tables::staff(), "renyuan1");
    const int inView = w.grid->rowsInView();
    QVERIFY(inView > 3 && inView < 10);
    QCOMPARE(w.grid->cellText(0, 0), QStringLiteral("1"));
    press(w.grid, "{CtrlEnd}");
    QCOMPARE(w.grid->rowsInView(), inView);
    QCOMPARE(w.grid->currentRowInView(), inView - 1);
    QCOMPARE(w.grid->cellText(inView - 1, 0), QStringLiteral("500"));
    press(w.grid, "{Up}{Up}");
    QCOMPARE(w.grid->currentRowInView(), inView - 3); // the view stays put while the row is in it
    QCOMPARE(w.grid->cellText(inView - 1, 0), QStringLiteral("500"));
}

QTEST_MAIN(DBGridTest)
#include "tst_dbgrid.moc"
