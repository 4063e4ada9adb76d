// The data-aware edit box: what it shows in each state of its table, which keystrokes start
// Edit, which characters and how many bytes it takes, writing back when it loses the focus or
// when the table collects pending text, and the refusals on the way.
#include "data/tables.h"
#include "forms/tdbedit.h"
#include "forms/tdbnavigator.h"
#include "platform/db/tdatasource.h"
#include "platform/db/tfield.h"
#include "platform/db/ttable.h"
#include "tests/testsupport.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QMenu>
#include <QtTest>

namespace {

// A window with an edit box over one field of a table, a line edit to move the focus to, and a
// navigator. The table file holds the records that `insert` (SQL, may be empty) puts in.
struct Bench
{
    Bench(const QString &fileName, const QString &insert, const QString &field,
          bool readOnly = false)
        : table(nullptr), source(nullptr), box(&window), other(&window), navigator(&window)
    {
        const TableDef *def = tables::byFileName(fileName);
        if (!insert.isEmpty())
            folder.sql(fileName, insert);
        if (readOnly)
            QFile::setPermissions(folder.file(fileName), QFile::ReadOwner | QFile::ReadGroup);
        table.setObjectName("table");
        table.setTableName(fileName);
        table.setDatabaseName(folder.path());
        for (const FieldDef &f : def->fields)
            new TField(f, &table, &table);
        source.setDataSet(&table);
        box.resolveReference("DataSource", &source);
        box.setDataField(field);
        navigator.resolveReference("DataSource", &source);
        box.setGeometry(8, 8, 121, 21);
        other.setGeometry(8, 40, 121, 21);
        navigator.setGeometry(8, 70, 290, 25);
        window.resize(320, 110);
    }
    TField *field() const { return box.Field(); }
    // Shows the window with the focus in the box.
    bool show()
    {
        window.show();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        box.setFocus();
        return box.hasFocus();
    }

    TableFolder folder;
    TTable table;
    TDataSource source;
    QWidget window;
    TDBEdit box;
    QLineEdit other;
    TDBNavigator navigator;
};

// Table operations: O open, X close, E edit, I insert, A append, N next, C cancel, P post.
void run(Bench &bench, const QString &script)
{
    static const QHash<QChar, void (TDataSet::*)()> steps = {
        {u'O', &TDataSet::Open},   {u'X', &TDataSet::Close},  {u'E', &TDataSet::Edit},
        {u'I', &TDataSet::Insert}, {u'A', &TDataSet::Append}, {u'N', &TDataSet::Next},
        {u'C', &TDataSet::Cancel}, {u'P', &TDataSet::Post}};
    for (QChar step : script) {
        QVERIFY(steps.contains(step));
        (bench.table.*steps.value(step))();
    }
}

// Picks the context menu's command `label` as a mouse would.
void useContextMenu(QWidget *widget, const QString &label)
{
    QContextMenuEvent event(QContextMenuEvent::Keyboard, widget->rect().center(),
                            widget->mapToGlobal(widget->rect().center()));
    QApplication::sendEvent(widget, &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    const QList<QAction *> actions = menu->actions();
    const auto it = std::find_if(actions.begin(), actions.end(),
                                 [&](QAction *a) { return a->text() == label; });
    QVERIFY2(it != actions.end(), qPrintable(label));
    (*it)->trigger();
    menu->close();
}

// Types into the widget: plain text as characters, "{Ctrl+V}" and the like as keys,
// "{ime:text}" as text an input method commits, "{menu:&Paste}" through the context menu.
void input(QWidget *widget, const QString &script)
{
    static const QRegularExpression token(QStringLiteral("\\{([^}]+)\\}|[^{]+"));
    for (const QRegularExpressionMatch &m : token.globalMatch(script)) {
        const QString key = m.captured(1);
        if (key.startsWith("ime:")) {
            QInputMethodEvent event;
            event.setCommitString(key.mid(4));
            QApplication::sendEvent(widget, &event);
        } else if (key.startsWith("menu:")) {
            useContextMenu(widget, key.mid(5));
        } else if (!key.isEmpty()) {
            QTest::keySequence(widget, QKeySequence(key));
        } else {
            for (char32_t ch : m.captured(0).toUcs4()) {
                if (ch < 0x80)
                    QTest::keyClick(widget, char(ch));
                else
                    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown,
                                        QString::fromUcs4(&ch, 1), Qt::NoModifier);
            }
        }
    }
}

// Counts the focus events a widget receives.
struct FocusEvents : QObject
{
    explicit FocusEvents(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut;
        return false;
    }
    int count = 0;
};

const QString kOneStaff = "INSERT INTO ryxx VALUES (1, 'ab', NULL), (2, '张三', NULL)";

} // namespace

class DBEditTest : public QObject
{
    Q_OBJECT
private slots:
    void showsTheFieldAndFollowsTheTable_data();
    void showsTheFieldAndFollowsTheTable();
    void keystrokes_data();
    void keystrokes();
    void leavingWritesBack_data();
    void leavingWritesBack();
    void shownValueDropsTypedText_data();
    void shownValueDropsTypedText();
    void pendingTextIsCollected_data();
    void pendingTextIsCollected();
};

void DBEditTest::showsTheFieldAndFollowsTheTable_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("readOnlyFile");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readOnly");

    QTest::newRow("closed") << "ryxx.DB"
                            << "姓名" << false << ""
                            << "" << true;
    QTest::newRow("closed again") << "ryxx.DB"
                                  << "姓名" << false << "OEX"
                                  << "" << true;
    QTest::newRow("browse") << "ryxx.DB"
                            << "姓名" << false << "O"
                            << "ab" << true;
    QTest::newRow("next record") << "ryxx.DB"
                                 << "姓名" << false << "ON"
                                 << "张三" << true;
    QTest::newRow("edit") << "ryxx.DB"
                          << "姓名" << false << "OE"
                          << "ab" << false;
    QTest::newRow("insert") << "ryxx.DB"
                            << "姓名" << false << "ONI"
                            << "" << false;
    QTest::newRow("append") << "ryxx.DB"
                            << "员工号" << false << "OA"
                            << "" << false;
    QTest::newRow("cancelled") << "ryxx.DB"
                               << "姓名" << false << "OEC"
                               << "ab" << true;
    QTest::newRow("field named once open") << "ryxx.DB"
                                           << "姓名" << false << "OB"
                                           << "ab" << true;
    QTest::newRow("no such field") << "ryxx.DB"
                                   << "工资" << false << "OE"
                                   << "" << true;
    QTest::newRow("read-only table") << "ryxx.DB"
                                     << "姓名" << true << "O"
                                     << "ab" << true;
    QTest::newRow("record number") << "ccjl.DB"
                                   << "记录号" << false << "OE"
                                   << "1" << true;
    QTest::newRow("record number of a new record") << "ccjl.DB"
                                                   << "记录号" << false << "OA"
                                                   << "" << true;
    QTest::newRow("record number once posted") << "ccjl.DB"
                                               << "记录号" << false << "OAP"
                                               << "2" << true;
}

void DBEditTest::showsTheFieldAndFollowsTheTable()
{
    QFETCH(QString, file);
    QFETCH(QString, field);
    QFETCH(bool, readOnlyFile);
    QFETCH(QString, script);
    QFETCH(QString, text);
    QFETCH(bool, readOnly);
    const QString insert = file == "ryxx.DB" ? kOneStaff : "INSERT INTO ccjl (员工号) VALUES (1)";
    // Before "B" the box names no field; there it is named, as a stored description would.
    const qsizetype named = script.indexOf(u'B');
    Bench bench(file, insert, named < 0 ? field : QString(), readOnlyFile);
    run(bench, script.left(named));
    if (named >= 0) {
        bench.box.setProperty("DataField", field);
        run(bench, script.mid(named + 1));
    }
    QCOMPARE(bench.box.text(), text);
    QCOMPARE(bench.box.isReadOnly(), readOnly);
}

void DBEditTest::keystrokes_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("readOnlyFile");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("input");
    QTest::addColumn<DataSetState>("state");
    QTest::addColumn<QString>("text");

    const auto browse = DataSetState::Browse, edit = DataSetState::Edit,
               insert = DataSetState::Insert;
    const QString staff = "INSERT INTO ryxx VALUES (1, 'ab', NULL)";
    const QString name = "姓名", number = "员工号";
    auto row = [](const char *rowName) -> QTestData & {
        return QTest::newRow(rowName) << "ryxx.DB";
    };

    // Which keys start Edit (Insert on an empty table), and which do not.
    row("digit") << staff << number << false << ""
                 << "2" << edit << "12";
    row("letter on an empty table") << "" << name << false << ""
                                    << "a" << insert << "a";
    row("Backspace") << staff << name << false << ""
                     << "{Backspace}" << edit << "a";
    row("Delete") << staff << name << false << ""
                  << "{Home}{Del}" << edit << "b";
    row("Ctrl+X") << staff << name << false << ""
                  << "{Ctrl+A}{Ctrl+X}" << edit << "";
    row("Ctrl+V") << staff << name << false << "cd"
                  << "{Ctrl+V}" << edit << "abcd";
    row("Shift+Insert") << staff << name << false << "cd"
                        << "{Shift+Ins}" << edit << "abcd";
    row("input method") << staff << name << false << ""
                        << "{ime:张三}" << edit << "ab张三";
    row("paste from the menu") << staff << name << false << "cd"
                               << "{menu:&Paste}" << edit << "abcd";
    row("cut from the menu") << staff << name << false << ""
                             << "{Ctrl+A}{menu:Cu&t}" << edit << "";
    row("moving, selecting, copying") << staff << name << false << ""
                                      << "{Home}{End}{Left}{Ctrl+A}{Ctrl+C}" << browse << "ab";
    row("Escape") << staff << name << false << ""
                  << "{Esc}" << browse << "ab";

    // Boxes that cannot be typed into.
    row("read-only table") << staff << number << true << "9"
                           << "5{Backspace}{Ctrl+V}" << browse << "1";
    QTest::newRow("record number") << "ccjl.DB"
                                   << "INSERT INTO ccjl (员工号) VALUES (1)"
                                   << "记录号" << false << "9"
                                   << "5{Backspace}{Ctrl+V}{menu:&Paste}" << browse << "1";

    // Characters the field refuses.
    row("letter into a number") << staff << number << false << ""
                                << "a" << browse << "1";
    row("letter into a number being edited") << staff << number << false << ""
                                             << "5a-" << edit << "15-";
    row("pasted letters are not filtered") << staff << number << false << "ab"
                                           << "{Ctrl+V}" << edit << "1ab";

    // Byte limits: 8 for a name, 2 for the attendance in/out status.
    row("8 ASCII characters") << "" << name << false << ""
                              << "abcdefghij" << insert << "abcdefgh";
    row("4 Chinese characters") << "" << name << false << ""
                                << "张三李四王" << insert << "张三李四";
    row("no room for half a character") << "" << name << false << ""
                                        << "a张三李四" << insert << "a张三李";
    row("paste cut at a character") << "" << name << false << "abc张三李四"
                                    << "{Ctrl+V}" << insert << "abc张三";
    row("paste over the selection") << staff << name << false << "张三李四王"
                                    << "{Ctrl+A}{Ctrl+V}" << edit << "张三李四";
    row("paste takes the first line") << staff << name << false << "x\ny"
                                      << "{Ctrl+V}" << edit << "abx";
    row("input method cut to fit")
        << "INSERT INTO ryxx VALUES (1, 'abcdef', NULL)" << name << false << ""
        << "{ime:张三}" << edit << "abcdef张";
    QTest::newRow("one Chinese character") << "cqjl.DB"
                                           << ""
                                           << "出入情况" << false << ""
                                           << "出入" << insert << "出";
    QTest::newRow("two ASCII characters") << "cqjl.DB"
                                          << ""
                                          << "出入情况" << false << ""
                                          << "abc" << insert << "ab";
}

void DBEditTest::keystrokes()
{
    QFETCH(QString, file);
    QFETCH(QString, insert);
    QFETCH(QString, field);
    QFETCH(bool, readOnlyFile);
    QFETCH(QString, clipboard);
    QFETCH(QString, input);
    QFETCH(DataSetState, state);
    QFETCH(QString, text);
    Bench bench(file, insert, field, readOnlyFile);
    bench.table.Open();
    const QString shown = bench.box.text();
    QGuiApplication::clipboard()->setText(clipboard);
    QVERIFY(bench.show());
    MessageBoxRecorder boxes;
    ::input(&bench.box, input);
    QCOMPARE(bench.table.State(), state);
    QCOMPARE(bench.box.text(), text);
    // Typing only changes the box; the field gets the text when the box is left.
    QVERIFY(!bench.table.Modified());
    QCOMPARE(bench.field()->DisplayText(), state == DataSetState::Insert ? QString() : shown);
    QCOMPARE(bench.box.changedSinceShown(), text != shown);
    QCOMPARE(boxes.boxes.size(), 0);
}

void DBEditTest::leavingWritesBack_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("value");

    QTest::newRow("number") << "ryxx.DB"
                            << "员工号"
                            << ""
                            << "{Ctrl+A}+7"
                            << ""
                            << "7";
    QTest::newRow("name") << "ryxx.DB"
                          << "姓名"
                          << ""
                          << "{End}cd"
                          << ""
                          << "abcd";
    QTest::newRow("number cleared") << "ryxx.DB"
                                    << "员工号"
                                    << ""
                                    << "{Ctrl+A}{Del}"
                                    << ""
                                    << "";
    QTest::newRow("pasted letters") << "ryxx.DB"
                                    << "员工号"
                                    << "abc"
                                    << "{Ctrl+A}{Ctrl+V}"
                                    << "'abc' is not a valid integer value for field '员工号'"
                                    << "1";
    QTest::newRow("number out of range")
        << "ryxx.DB"
        << "员工号"
        << ""
        << "{Ctrl+A}32768"
        << "32768 is not a valid value for field '员工号'. The allowed range is -32768 to 32767."
        << "1";
    QTest::newRow("invalid date") << "ccjl.DB"
                                  << "出差开始时间"
                                  << ""
                                  << "31-31-31"
                                  << "'31-31-31' is not a valid date."
                                  << "";
}

void DBEditTest::leavingWritesBack()
{
    QFETCH(QString, file);
    QFETCH(QString, field);
    QFETCH(QString, clipboard);
    QFETCH(QString, input);
    QFETCH(QString, error);
    QFETCH(QString, value);
    const QString insert = file == "ryxx.DB" ? kOneStaff : "INSERT INTO ccjl (员工号) VALUES (1)";
    Bench bench(file, insert, field);
    bench.table.Open();
    QGuiApplication::clipboard()->setText(clipboard);
    QVERIFY(bench.show());
    MessageBoxRecorder boxes;
    ::input(&bench.box, input);
    const QString typed = bench.box.text();
    FocusEvents otherFocusEvents(&bench.other);
    QTest::keyClick(&bench.box, Qt::Key_Tab);

    QCOMPARE(bench.field()->DisplayText(), value);
    QCOMPARE(bench.table.State(), DataSetState::Edit);
    if (error.isEmpty()) {
        QCOMPARE(boxes.boxes.size(), 0);
        QVERIFY(bench.other.hasFocus());
        QVERIFY(bench.table.Modified());
        QCOMPARE(bench.box.text(), value);
        QVERIFY(!bench.box.changedSinceShown());
    } else {
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].text, error);
        QCOMPARE(boxes.boxes[0].icon, MsgIcon::Error);
        QVERIFY(bench.box.hasFocus());
        // For the widget the focus was going to, it never moved: it hears nothing of it.
        QCOMPARE(otherFocusEvents.count, 0);
        QVERIFY(!bench.table.Modified());
        QCOMPARE(bench.box.text(), typed);
        QCOMPARE(bench.box.selectedText(), typed);
        QVERIFY(bench.box.changedSinceShown());
    }
}

void DBEditTest::shownValueDropsTypedText_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<DataSetState>("state");
    QTest::addColumn<QString>("selected");

    QTest::newRow("Escape") << "{Esc}" << DataSetState::Edit << "ab";
    QTest::newRow("table cancelled") << "cancel" << DataSetState::Browse << "";
}

void DBEditTest::shownValueDropsTypedText()
{
    QFETCH(QString, how);
    QFETCH(DataSetState, state);
    QFETCH(QString, selected);
    Bench bench("ryxx.DB", kOneStaff, "姓名");
    bench.table.Open();
    QVERIFY(bench.show());
    input(&bench.box, "cd");
    QCOMPARE(bench.box.text(), "abcd");
    if (how == "cancel")
        bench.table.Cancel();
    else
        input(&bench.box, how);
    QCOMPARE(bench.box.text(), "ab");
    QCOMPARE(bench.box.selectedText(), selected);
    QVERIFY(!bench.box.changedSinceShown());
    // Nothing is left to write: leaving the box changes nothing.
    QTest::keyClick(&bench.box, Qt::Key_Tab);
    QCOMPARE(bench.table.State(), state);
    QVERIFY(!bench.table.Modified());
}

void DBEditTest::pendingTextIsCollected_data()
{
    QTest::addColumn<TDBNavigator::NavigateButton>("button");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");

    QTest::newRow("post") << TDBNavigator::nbPost << ""
                          << "{Ctrl+A}5"
                          << ""
                          << "5,2"
                          << "5";
    QTest::newRow("move") << TDBNavigator::nbNext << ""
                          << "{Ctrl+A}5"
                          << ""
                          << "5,2"
                          << "2";
    QTest::newRow("post refused") << TDBNavigator::nbPost << "abc"
                                  << "{Ctrl+A}{Ctrl+V}"
                                  << "'abc' is not a valid integer value for field '员工号'"
                                  << "1,2"
                                  << "abc";
    QTest::newRow("move refused") << TDBNavigator::nbNext << "abc"
                                  << "{Ctrl+A}{Ctrl+V}"
                                  << "'abc' is not a valid integer value for field '员工号'"
                                  << "1,2"
                                  << "abc";
}

void DBEditTest::pendingTextIsCollected()
{
    QFETCH(TDBNavigator::NavigateButton, button);
    QFETCH(QString, clipboard);
    QFETCH(QString, input);
    QFETCH(QString, error);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    Bench bench("ryxx.DB", kOneStaff, "员工号");
    bench.table.Open();
    QGuiApplication::clipboard()->setText(clipboard);
    QVERIFY(bench.show());
    MessageBoxRecorder boxes;
    ::input(&bench.box, input);
    // The navigator takes no focus: the box still holds its text when the click comes.
    QAbstractButton *b = bench.navigator.button(button);
    QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());

    QCOMPARE(
        bench.folder.scalar(
            "ryxx.DB", "SELECT group_concat(员工号) FROM (SELECT 员工号 FROM ryxx ORDER BY rowid)"),
        stored);
    QCOMPARE(bench.box.text(), shown);
    QVERIFY(bench.box.hasFocus());
    QCOMPARE(boxes.boxes.size(), error.isEmpty() ? 0 : 1);
    if (!error.isEmpty()) {
        QCOMPARE(boxes.boxes[0].text, error);
        QCOMPARE(bench.table.State(), DataSetState::Edit);
        QVERIFY(bench.box.changedSinceShown());
    } else {
        QCOMPARE(bench.table.State(), DataSetState::Browse);
    }
}

QTEST_MAIN(DBEditTest)
#include "tst_dbedit.moc"
