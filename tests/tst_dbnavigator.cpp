// The record navigator: which buttons each situation of the table enables, what a click does,
// the delete confirmation, the buttons' layout and glyphs, and that nothing of it takes the focus.
#include "data/tables.h"
#include "forms/tdbnavigator.h"
#include "platform/db/tdatasource.h"
#include "platform/db/tfield.h"
#include "platform/db/ttable.h"
#include "tests/testsupport.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QtTest>

namespace {

using Nav = TDBNavigator;

// A window with a navigator over the staff table and a line edit that holds the focus. The
// table holds employees 1 to `records`; its file is made read-only before opening if asked.
struct Bench
{
    explicit Bench(int records, bool readOnly = false)
        : table(nullptr), source(nullptr), navigator(&window), other(&window)
    {
        for (int i = 1; i <= records; ++i)
            folder.sql("ryxx.DB", QStringLiteral("INSERT INTO ryxx (员工号) VALUES (%1)").arg(i));
        if (readOnly)
            QFile::setPermissions(folder.file("ryxx.DB"), QFile::ReadOwner | QFile::ReadGroup);
        tables::declare(table, tables::staff(), "renyuan1", folder.path());
        source.setDataSet(&table);
        navigator.resolveReference("DataSource", &source);
        navigator.setGeometry(8, 8, 290, 25);
        other.setGeometry(8, 40, 100, 21);
        window.resize(320, 80);
    }

    // Table operations: O open, X close, A append, I insert, E edit, N next, L last, P post,
    // =n assigns n to the employee number.
    void run(const QString &script)
    {
        static const QHash<QChar, void (TDataSet::*)()> steps = {
            {u'O', &TDataSet::Open},   {u'X', &TDataSet::Close}, {u'A', &TDataSet::Append},
            {u'I', &TDataSet::Insert}, {u'E', &TDataSet::Edit},  {u'N', &TDataSet::Next},
            {u'L', &TDataSet::Last},   {u'P', &TDataSet::Post}};
        for (qsizetype i = 0; i < script.size(); ++i) {
            if (script[i] == u'=') {
                table.FieldByName("员工号")->setText(script.mid(++i, 1));
                continue;
            }
            QVERIFY(steps.contains(script[i]));
            (table.*steps.value(script[i]))();
        }
    }
    QString enabledButtons() const
    {
        QStringList names;
        for (int i = 0; i < Nav::kButtonCount; ++i) {
            if (navigator.button(Nav::NavigateButton(i))->isEnabled())
                names << navigator.button(Nav::NavigateButton(i))->objectName();
        }
        return names.join(u' ');
    }
    QString current() const { return table.FieldByName("员工号")->DisplayText(); }
    QString stored() const
    {
        return folder.scalar("ryxx.DB", "SELECT group_concat(ifnull(员工号, 'blank')) FROM "
                                        "(SELECT 员工号 FROM ryxx ORDER BY rowid)");
    }
    // Shows the window with the focus in the line edit.
    bool show()
    {
        window.show();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        other.setFocus();
        return other.hasFocus();
    }
    void click(Nav::NavigateButton kind)
    {
        QAbstractButton *b = navigator.button(kind);
        QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
    }

    TableFolder folder;
    TTable table;
    TDataSource source;
    QWidget window;
    TDBNavigator navigator;
    QLineEdit other;
};

const QString kMoves = "nbFirst nbPrior nbNext nbLast";

} // namespace

class DBNavigatorTest : public QObject
{
    Q_OBJECT
private slots:
    void enabledButtonsFollowTheTable_data();
    void enabledButtonsFollowTheTable();
    void clickDoesItsOperation_data();
    void clickDoesItsOperation();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void buttonsShareTheWidth_data();
    void buttonsShareTheWidth();
    void glyphsShowAndGreyWhenDisabled();
    void nothingTakesTheFocus();
};

void DBNavigatorTest::enabledButtonsFollowTheTable_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("enabled");

    QTest::newRow("closed table") << 3 << false << ""
                                  << "";
    QTest::newRow("closed again") << 3 << false << "OX"
                                  << "";
    QTest::newRow("empty table") << 0 << false << "O"
                                 << "nbInsert nbEdit nbRefresh";
    QTest::newRow("first record") << 3 << false << "O"
                                  << "nbNext nbLast nbInsert nbDelete nbEdit nbRefresh";
    QTest::newRow("middle record")
        << 3 << false << "ON" << kMoves + " nbInsert nbDelete nbEdit nbRefresh";
    QTest::newRow("last record") << 3 << false << "OL"
                                 << "nbFirst nbPrior nbInsert nbDelete nbEdit nbRefresh";
    QTest::newRow("after Append") << 3 << false << "ONA"
                                  << "nbFirst nbPrior nbInsert nbDelete nbPost nbCancel nbRefresh";
    QTest::newRow("appended record posted")
        << 3 << false << "ONA=9P" << kMoves + " nbInsert nbDelete nbEdit nbRefresh";
    QTest::newRow("edit") << 3 << false << "ONE"
                          << kMoves + " nbInsert nbDelete nbPost nbCancel nbRefresh";
    QTest::newRow("insert") << 3 << false << "ONI"
                            << kMoves + " nbInsert nbDelete nbPost nbCancel nbRefresh";
    QTest::newRow("insert into an empty table") << 0 << false << "OI"
                                                << "nbInsert nbPost nbCancel nbRefresh";
    QTest::newRow("read-only table") << 3 << true << "ON" << kMoves;
    QTest::newRow("read-only table, last record") << 3 << true << "OL"
                                                  << "nbFirst nbPrior";
}

void DBNavigatorTest::enabledButtonsFollowTheTable()
{
    QFETCH(int, records);
    QFETCH(bool, readOnly);
    QFETCH(QString, script);
    QFETCH(QString, enabled);
    Bench bench(records, readOnly);
    bench.run(script);
    QCOMPARE(bench.enabledButtons(), enabled);
}

void DBNavigatorTest::clickDoesItsOperation_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<QString>("script");
    QTest::addColumn<Nav::NavigateButton>("button");
    QTest::addColumn<DataSetState>("state");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("errorBox");

    const auto browse = DataSetState::Browse;
    QTest::newRow("first") << 3 << "OL" << Nav::nbFirst << browse << "1"
                           << "1,2,3" << false;
    QTest::newRow("prior") << 3 << "OL" << Nav::nbPrior << browse << "2"
                           << "1,2,3" << false;
    QTest::newRow("next") << 3 << "O" << Nav::nbNext << browse << "2"
                          << "1,2,3" << false;
    QTest::newRow("last") << 3 << "O" << Nav::nbLast << browse << "3"
                          << "1,2,3" << false;
    QTest::newRow("insert") << 3 << "ON" << Nav::nbInsert << DataSetState::Insert << ""
                            << "1,2,3" << false;
    QTest::newRow("edit") << 3 << "ON" << Nav::nbEdit << DataSetState::Edit << "2"
                          << "1,2,3" << false;
    QTest::newRow("edit on an empty table starts a new record")
        << 0 << "O" << Nav::nbEdit << DataSetState::Insert << ""
        << "" << false;
    QTest::newRow("post a change") << 3 << "ONE=7" << Nav::nbPost << browse << "7"
                                   << "1,7,3" << false;
    QTest::newRow("post a new record") << 3 << "OA=9" << Nav::nbPost << browse << "9"
                                       << "1,2,3,9" << false;
    QTest::newRow("post refused by the storage")
        << 3 << "ONE=1" << Nav::nbPost << DataSetState::Edit << "1"
        << "1,2,3" << true;
    QTest::newRow("cancel a change") << 3 << "ONE=7" << Nav::nbCancel << browse << "2"
                                     << "1,2,3" << false;
    QTest::newRow("cancel a new record") << 3 << "ONA" << Nav::nbCancel << browse << "2"
                                         << "1,2,3" << false;
    QTest::newRow("next stores a change first") << 3 << "ONE=7" << Nav::nbNext << browse << "3"
                                                << "1,7,3" << false;
    QTest::newRow("refresh stores a change first")
        << 3 << "ONE=7" << Nav::nbRefresh << browse << "7"
        << "1,7,3" << false;
}

void DBNavigatorTest::clickDoesItsOperation()
{
    QFETCH(int, records);
    QFETCH(QString, script);
    QFETCH(Nav::NavigateButton, button);
    QFETCH(DataSetState, state);
    QFETCH(QString, current);
    QFETCH(QString, stored);
    QFETCH(bool, errorBox);
    Bench bench(records);
    bench.run(script);
    QVERIFY(bench.show());
    MessageBoxRecorder boxes;
    bench.click(button);
    QCOMPARE(bench.table.State(), state);
    QCOMPARE(bench.current(), current);
    QCOMPARE(bench.stored(), stored);
    QCOMPARE(boxes.boxes.size(), errorBox ? 1 : 0);
    if (errorBox)
        QCOMPARE(boxes.boxes[0].icon, MsgIcon::Error);
    QVERIFY(bench.other.hasFocus());
}

void DBNavigatorTest::deleteAsksFirst_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("answer");
    QTest::addColumn<DataSetState>("state");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("stored");

    const auto browse = DataSetState::Browse;
    QTest::newRow("OK") << "ON" << int(mrOk) << browse << "3"
                        << "1,3";
    QTest::newRow("OK on the last record") << "OL" << int(mrOk) << browse << "2"
                                           << "1,2";
    QTest::newRow("OK while editing") << "ONE=7" << int(mrOk) << browse << "3"
                                      << "1,3";
    QTest::newRow("OK on a new record drops it") << "ONA" << int(mrOk) << browse << "2"
                                                 << "1,2,3";
    QTest::newRow("Cancel") << "ON" << int(mrCancel) << browse << "2"
                            << "1,2,3";
    QTest::newRow("Cancel while editing") << "ONE=7" << int(mrCancel) << DataSetState::Edit << "7"
                                          << "1,2,3";
}

void DBNavigatorTest::deleteAsksFirst()
{
    QFETCH(QString, script);
    QFETCH(int, answer);
    QFETCH(DataSetState, state);
    QFETCH(QString, current);
    QFETCH(QString, stored);
    Bench bench(3);
    bench.run(script);
    QVERIFY(bench.show());
    MessageBoxRecorder boxes(answer);
    bench.click(Nav::nbDelete);
    QCOMPARE(boxes.boxes.size(), 1);
    const MessageBoxRequest &box = boxes.boxes[0];
    QCOMPARE(box.text, "Delete record?");
    QCOMPARE(box.caption, "Confirm");
    QCOMPARE(box.icon, MsgIcon::Question);
    QCOMPARE(box.buttons, MsgButtons::OKCancel);
    QVERIFY(box.centredOnScreen);
    QCOMPARE(bench.table.State(), state);
    QCOMPARE(bench.current(), current);
    QCOMPARE(bench.stored(), stored);
}

void DBNavigatorTest::buttonsShareTheWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("buttonWidth");

    QTest::newRow("290") << 290 << 25 << 29;
    QTest::newRow("300") << 300 << 25 << 30;
    QTest::newRow("310") << 310 << 25 << 31;
    QTest::newRow("315, remainder left over") << 315 << 33 << 31;
}

void DBNavigatorTest::buttonsShareTheWidth()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, buttonWidth);
    Bench bench(1);
    bench.navigator.resize(width, height);
    QVERIFY(bench.show());
    for (int i = 0; i < Nav::kButtonCount; ++i) {
        QAbstractButton *b = bench.navigator.button(Nav::NavigateButton(i));
        QCOMPARE(b->geometry(), QRect(i * buttonWidth, 0, buttonWidth, height));
        QCOMPARE(b->objectName(), QMetaEnum::fromType<Nav::NavigateButton>().valueToKey(i));
        QCOMPARE(b->toolTip(), QString());
    }
}

void DBNavigatorTest::glyphsShowAndGreyWhenDisabled()
{
    // Enabled, a button draws its glyph in the button text colour; disabled, in greys only.
    Bench bench(1);
    QList<QImage> enabledLooks;
    for (int i = 0; i < Nav::kButtonCount; ++i) {
        QAbstractButton *b = bench.navigator.button(Nav::NavigateButton(i));
        const QRgb ink = b->palette().color(QPalette::Active, QPalette::ButtonText).rgb();
        const QRgb grey = b->palette().color(QPalette::Dark).rgb();
        auto inkCount = [](const QImage &image, QRgb colour) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    n += image.pixel(x, y) == colour;
            }
            return n;
        };
        b->setEnabled(true);
        const QImage enabled = b->grab().toImage();
        b->setEnabled(false);
        const QImage disabled = b->grab().toImage();
        // The frame's outer edge is drawn in the shadow colour, so count the inside only.
        const QRect inside = b->rect().adjusted(3, 3, -3, -3);
        QVERIFY2(inkCount(enabled.copy(inside), ink) > 6, b->objectName().toLatin1());
        QCOMPARE(inkCount(disabled.copy(inside), ink), 0);
        QVERIFY2(inkCount(disabled.copy(inside), grey) > 6, b->objectName().toLatin1());
        QVERIFY2(!enabledLooks.contains(enabled), b->objectName().toLatin1());
        enabledLooks << enabled;
    }
}

void DBNavigatorTest::nothingTakesTheFocus()
{
    Bench bench(3);
    QCOMPARE(bench.navigator.focusPolicy(), Qt::NoFocus);
    for (int i = 0; i < Nav::kButtonCount; ++i)
        QCOMPARE(bench.navigator.button(Nav::NavigateButton(i))->focusPolicy(), Qt::NoFocus);
    // Tab from the line edit goes round without ever landing on the navigator.
    bench.run("O");
    QVERIFY(bench.show());
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), &bench.other);
    }
}

QTEST_MAIN(DBNavigatorTest)
#include "tst_dbnavigator.moc"
