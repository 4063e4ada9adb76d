// The five record forms as the program builds them: their controls, tab orders, bindings and
// handlers, and what is particular to each.
#include "app/startup.h"
#include "data/unit6.h"
#include "forms/tdbedit.h"
#include "forms/tdbgrid.h"
#include "forms/tdbnavigator.h"
#include "forms/trecordform.h"
#include "platform/db/tdatasource.h"
#include "platform/db/tfield.h"
#include "platform/db/ttable.h"
#include "platform/ui/tapplication.h"
#include "tests/testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

// The program's objects, with every table working on a folder of the test's own.
struct Program
{
    Program() : app(QCoreApplication::applicationFilePath())
    {
        CreateModules(app);
        for (QObject *c : Data1->Components()) {
            if (auto *dataset = qobject_cast<TDataSet *>(c))
                dataset->setDatabaseName(folder.path());
        }
    }
    TRecordForm *form(const QString &name) const
    {
        return qobject_cast<TRecordForm *>(app.FindModule(name));
    }
    TableFolder folder;
    TApplication app;
};

// Shows the form modally, runs `inside`, then closes it (answering any question with Cancel).
void whileShown(TRecordForm *form, const std::function<void()> &inside)
{
    QTimer::singleShot(0, [form, inside] {
        inside();
        MessageBoxRecorder cancel(mrCancel);
        form->Close();
    });
    form->ShowModal();
}

// The tab stops of a form in the order Tab visits them, from its first.
QStringList tabOrder(QWidget *form)
{
    QStringList names;
    QWidget *w = form;
    for (int i = 0; i < 40; ++i) {
        w = w->nextInFocusChain();
        if (w == form)
            break;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->objectName().isEmpty() &&
            w->objectName() != "qt_scrollarea_viewport")
            names << w->objectName();
    }
    return names;
}

} // namespace

class FormsTest : public QObject
{
    Q_OBJECT
private slots:
    void controls_data();
    void controls();
    void tabOrderAndFirstFocus_data();
    void tabOrderAndFirstFocus();
    void handlersWorkOnTheFormsTable_data();
    void handlersWorkOnTheFormsTable();
    void tripFormsEditButtonAppends();
    void reasonBoxTakesTwentyBytes();
    void onlyTheStaffFormKeepsItsPixels();
};

void FormsTest::controls_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text"); // a caption, or the bound field of an edit box
    const auto row = [](const char *form, const char *name, const char *kind, QRect g,
                        const char *text) {
        QTest::addRow("%s.%s", form, name) << form << name << kind << g << QString::fromUtf8(text);
    };
    row("Form2", "DBGrid1", "TDBGrid", QRect(8, 8, 305, 137), "");
    row("Form2", "DBEdit1", "TDBEdit", QRect(64, 192, 57, 21), "员工号");
    row("Form2", "DBEdit2", "TDBEdit", QRect(184, 192, 65, 21), "姓名");
    row("Form2", "DBEdit3", "TDBEdit", QRect(320, 192, 73, 21), "部门");
    row("Form2", "DBNavigator1", "TDBNavigator", QRect(8, 152, 300, 25), "");
    row("Form2", "Button1", "TButton", QRect(336, 40, 73, 25), "添    加");
    row("Form2", "Button3", "TButton", QRect(336, 104, 73, 25), "返回主菜单");
    row("Form2", "Label2", "QLabel", QRect(8, 192, 48, 13), "员工号：");
    row("Form2", "Label3", "QLabel", QRect(144, 192, 36, 13), "姓名：");
    row("Form2", "Label4", "QLabel", QRect(280, 192, 36, 13), "部门：");
    row("Form3", "DBGrid1", "TDBGrid", QRect(8, 8, 289, 105), "");
    row("Form3", "DBEdit1", "TDBEdit", QRect(64, 192, 65, 21), "员工号");
    row("Form3", "DBEdit2", "TDBEdit", QRect(224, 160, 73, 21), "出差开始时间");
    row("Form3", "DBEdit3", "TDBEdit", QRect(224, 192, 73, 21), "出差结束时间");
    row("Form3", "DBEdit4", "TDBEdit", QRect(64, 160, 65, 21), "记录号");
    row("Form3", "Button2", "TButton", QRect(64, 232, 49, 25), "编辑");
    row("Form3", "Button3", "TButton", QRect(192, 232, 81, 25), "返回主菜单");
    row("Form3", "DBNavigator1", "TDBNavigator", QRect(8, 120, 290, 25), "");
    row("Form3", "Label5", "QLabel", QRect(8, 160, 48, 13), "记录号：");
    row("Form3", "Label2", "QLabel", QRect(8, 192, 48, 13), "员工号：");
    row("Form3", "Label3", "QLabel", QRect(160, 160, 60, 13), "开始时间：");
    row("Form3", "Label4", "QLabel", QRect(160, 192, 60, 13), "结束时间：");
    row("Form5", "DBGrid1", "TDBGrid", QRect(8, 8, 289, 105), "");
    row("Form5", "DBEdit1", "TDBEdit", QRect(64, 192, 65, 21), "员工号");
    row("Form5", "DBEdit2", "TDBEdit", QRect(224, 160, 73, 21), "请假开始时间");
    row("Form5", "DBEdit3", "TDBEdit", QRect(224, 192, 73, 21), "请假结束时间");
    row("Form5", "DBEdit4", "TDBEdit", QRect(64, 160, 65, 21), "记录号");
    row("Form5", "Button2", "TButton", QRect(56, 264, 49, 25), "新增");
    row("Form5", "Button3", "TButton", QRect(184, 264, 81, 25), "返回主菜单");
    row("Form5", "DBNavigator1", "TDBNavigator", QRect(8, 120, 290, 25), "");
    row("Form5", "DBEdit5", "TDBEdit", QRect(64, 224, 233, 21), "请假原因");
    row("Form5", "Label5", "QLabel", QRect(8, 160, 48, 13), "记录号：");
    row("Form5", "Label2", "QLabel", QRect(8, 192, 48, 13), "员工号：");
    row("Form5", "Label3", "QLabel", QRect(160, 160, 60, 13), "开始时间：");
    row("Form5", "Label4", "QLabel", QRect(160, 192, 60, 13), "结束时间：");
    row("Form5", "Label1", "QLabel", QRect(0, 224, 60, 13), "请假原因：");
    row("Form8", "DBEdit1", "TDBEdit", QRect(56, 192, 65, 21), "记录号");
    row("Form8", "DBEdit2", "TDBEdit", QRect(56, 232, 65, 21), "员工号");
    row("Form8", "DBEdit3", "TDBEdit", QRect(232, 232, 65, 21), "加班时间");
    row("Form8", "DBEdit4", "TDBEdit", QRect(232, 192, 65, 21), "加班日期");
    row("Form8", "DBGrid1", "TDBGrid", QRect(0, 8, 313, 145), "");
    row("Form8", "DBNavigator1", "TDBNavigator", QRect(0, 160, 310, 25), "");
    row("Form8", "Button2", "TButton", QRect(328, 40, 65, 25), "新  增");
    row("Form8", "Button3", "TButton", QRect(328, 160, 65, 25), "关   闭");
    row("Form8", "Label1", "QLabel", QRect(0, 200, 48, 13), "记录号：");
    row("Form8", "Label2", "QLabel", QRect(0, 240, 48, 13), "员工号：");
    row("Form8", "Label4", "QLabel", QRect(168, 200, 60, 13), "加班日期：");
    row("Form8", "Label3", "QLabel", QRect(168, 240, 60, 13), "加班时间：");
    row("Form9", "DBEdit1", "TDBEdit", QRect(72, 184, 73, 21), "记录号");
    row("Form9", "DBEdit2", "TDBEdit", QRect(232, 224, 81, 21), "出入情况");
    row("Form9", "DBEdit3", "TDBEdit", QRect(232, 184, 81, 21), "出入时间");
    row("Form9", "DBEdit4", "TDBEdit", QRect(72, 224, 73, 21), "员工号");
    row("Form9", "DBGrid1", "TDBGrid", QRect(8, 0, 313, 121), "");
    row("Form9", "DBNavigator1", "TDBNavigator", QRect(8, 128, 310, 33), "");
    row("Form9", "Button2", "TButton", QRect(344, 40, 65, 25), "新  增");
    row("Form9", "Button3", "TButton", QRect(344, 160, 65, 25), "关   闭");
    row("Form9", "Label1", "QLabel", QRect(16, 184, 48, 13), "记录号：");
    row("Form9", "Label2", "QLabel", QRect(168, 184, 60, 13), "出入时间：");
    row("Form9", "Label3", "QLabel", QRect(16, 224, 48, 13), "员工号：");
    row("Form9", "Label4", "QLabel", QRect(168, 224, 60, 13), "出入情况：");
}

void FormsTest::controls()
{
    QFETCH(QString, form);
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    Program program;
    TRecordForm *f = program.form(form);
    QWidget *control = f->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->metaObject()->className(), kind.toLatin1());
    QCOMPARE(control->geometry(), geometry);
    if (auto *button = qobject_cast<QPushButton *>(control))
        QCOMPARE(button->text(), text);
    if (auto *label = qobject_cast<QLabel *>(control))
        QCOMPARE(label->text(), text);
    if (auto *box = qobject_cast<TDBEdit *>(control)) {
        QCOMPARE(box->DataField(), text);
        QCOMPARE(box->DataSource(), f->DataSource());
    }
    if (auto *grid = qobject_cast<TDBGrid *>(control))
        QCOMPARE(grid->DataSource(), f->DataSource());
    if (auto *navigator = qobject_cast<TDBNavigator *>(control)) {
        QCOMPARE(navigator->DataSource(), f->DataSource());
        QCOMPARE(navigator->focusPolicy(), Qt::NoFocus);
    }
}

void FormsTest::tabOrderAndFirstFocus_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("Form2") << "Form2" << QStringList{"DBGrid1", "DBEdit1", "DBEdit2",
                                                     "DBEdit3", "Button1", "Button3"};
    QTest::newRow("Form3") << "Form3" << QStringList{"DBGrid1", "DBEdit1", "DBEdit2", "DBEdit3",
                                                     "DBEdit4", "Button2", "Button3"};
    // The reason box comes last, after the buttons.
    QTest::newRow("Form5") << "Form5" << QStringList{"DBGrid1", "DBEdit1", "DBEdit2", "DBEdit3",
                                                     "DBEdit4", "Button2", "Button3", "DBEdit5"};
    // The record number box comes first: it has the focus when the form shows.
    QTest::newRow("Form8") << "Form8" << QStringList{"DBEdit1", "DBEdit2", "DBEdit3", "DBEdit4",
                                                     "DBGrid1", "Button2", "Button3"};
    QTest::newRow("Form9") << "Form9" << QStringList{"DBEdit1", "DBEdit2", "DBEdit3", "DBEdit4",
                                                     "DBGrid1", "Button2", "Button3"};
}

void FormsTest::tabOrderAndFirstFocus()
{
    QFETCH(QString, form);
    QFETCH(QStringList, order);
    Program program;
    TRecordForm *f = program.form(form);
    QString first;
    whileShown(f, [&] {
        QVERIFY(QTest::qWaitForWindowActive(f));
        first = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    });
    QCOMPARE(first, order.first());
    QStringList chain = tabOrder(f);
    // The chain starts anywhere; turn it to begin with the first tab stop.
    const qsizetype at = chain.indexOf(order.first());
    QVERIFY(at >= 0);
    chain = chain.mid(at) + chain.mid(0, at);
    QCOMPARE(chain, order);
}

void FormsTest::handlersWorkOnTheFormsTable_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("addButton");
    QTest::newRow("Form2") << "Form2"
                           << "renyuan1"
                           << "Button1";
    QTest::newRow("Form3") << "Form3"
                           << "chucai"
                           << "Button2";
    QTest::newRow("Form5") << "Form5"
                           << "qinjia"
                           << "Button2";
    QTest::newRow("Form8") << "Form8"
                           << "jiaban"
                           << "Button2";
    QTest::newRow("Form9") << "Form9"
                           << "cqjl"
                           << "Button2";
}

void FormsTest::handlersWorkOnTheFormsTable()
{
    QFETCH(QString, form);
    QFETCH(QString, table);
    QFETCH(QString, addButton);
    Program program;
    TRecordForm *f = program.form(form);
    auto *t = Data1->findChild<TTable *>(table);
    QCOMPARE(f->Table(), t);
    DataSetState whenAdded = DataSetState::Inactive;
    whileShown(f, [&] {
        f->findChild<QPushButton *>(addButton)->click();
        whenAdded = t->State();
    });
    QCOMPARE(whenAdded, DataSetState::Insert);
    // Every other table is left as it was.
    for (QObject *c : Data1->Components()) {
        if (auto *other = qobject_cast<TTable *>(c); other && other != t)
            QCOMPARE(other->State(), DataSetState::Inactive);
    }
}

void FormsTest::tripFormsEditButtonAppends()
{
    Program program;
    program.folder.sql("ccjl.DB", "INSERT INTO ccjl (员工号) VALUES (1), (2)");
    TRecordForm *f = program.form("Form3");
    QCOMPARE(f->findChild<QPushButton *>("Button2")->text(), QStringLiteral("编辑"));
    whileShown(f, [&] {
        f->findChild<QPushButton *>("Button2")->click();
        QCOMPARE(Data1->chucai->State(), DataSetState::Insert);
        QCOMPARE(Data1->chucai->insertBeforeKey(), 0); // after the last record, not an edit
    });
}

void FormsTest::reasonBoxTakesTwentyBytes()
{
    Program program;
    TRecordForm *f = program.form("Form5");
    auto *reason = f->findChild<TDBEdit *>("DBEdit5");
    whileShown(f, [&] {
        f->findChild<QPushButton *>("Button2")->click();
        reason->setFocus();
        for (QChar ch : QStringLiteral("因病住院治疗需要休养一周"))
            QTest::sendKeyEvent(QTest::Click, reason, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QCOMPARE(reason->text(), QStringLiteral("因病住院治疗需要休养"));
    });
}

void FormsTest::onlyTheStaffFormKeepsItsPixels()
{
    Program program;
    QVERIFY(!program.form("Form2")->property("Scaled").toBool());
    QVERIFY(program.form("Form3")->property("Scaled").toBool());
    // On a 120-dpi screen the staff form's font keeps its 96-dpi height of 11 pixels.
    const QFont design(QStringLiteral("MS Sans Serif"), 8);
    QCOMPARE(TForm::unscaledFont(design, 120).pixelSize(), 11);
    QCOMPARE(TForm::unscaledFont(design, 96), design);
}

QTEST_MAIN(FormsTest)
#include "tst_forms.moc"
