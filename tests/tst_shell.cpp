// The application shell: title, error box, creation and references, the main menu.
#include "app/startup.h"
#include "app/unit1.h"
#include "data/unit6.h"
#include "forms/unit2.h"
#include "forms/unit3.h"
#include "forms/unit5.h"
#include "forms/unit8.h"
#include "forms/unit9.h"
#include "platform/db/tquery.h"
#include "platform/db/ttable.h"
#include "platform/error.h"
#include "platform/referrer.h"
#include "platform/ui/guard.h"
#include "platform/ui/tapplication.h"
#include "platform/ui/tdatamodule.h"
#include "report/unit4.h"
#include "tests/testsupport.h"

#include <QGroupBox>
#include <QPushButton>
#include <QtTest>

namespace {

// A component that refers to another by name, as the data-aware controls do.
class Link : public QObject, public Referrer
{
public:
    Link(QObject *parent, const QString &reference) : QObject(parent)
    {
        setObjectName(QStringLiteral("Link"));
        setProperty("Target", reference);
    }
    QList<QByteArray> referenceProperties() const override { return {"Target"}; }
    void resolveReference(const QByteArray &, QObject *component) override { target = component; }
    QObject *target = nullptr;
};

class EarlyForm : public TForm
{
public:
    EarlyForm()
    {
        setObjectName(QStringLiteral("EarlyForm"));
        link = new Link(this, QStringLiteral("DATAX.source"));
    }
    Link *link;
};

class DataX : public TDataModule
{
public:
    DataX()
    {
        setObjectName(QStringLiteral("DataX"));
        (new QObject(this))->setObjectName(QStringLiteral("source"));
        own = new Link(this, QStringLiteral("source"));
    }
    Link *own;
};

EarlyForm *earlyForm = nullptr;
DataX *dataX = nullptr;

// Runs `check` once the next modal loop is running, then closes the form that loop shows.
void whenModal(const std::function<void(TForm *)> &check)
{
    QTimer::singleShot(0, [check] {
        auto *form = qobject_cast<TForm *>(QApplication::activeModalWidget());
        QVERIFY(form);
        check(form);
        form->Close();
    });
}

} // namespace

class ShellTest : public QObject
{
    Q_OBJECT
private slots:
    void titleFromTheExecutable_data();
    void titleFromTheExecutable();
    void errorBoxAppendsAFullStop_data();
    void errorBoxAppendsAFullStop();
    void referencesWaitForTheirModule();
    void objectsAreCreatedInOrderAndBound();
    void mainMenuIsLaidOutAsDesigned();
    void menuButtonsShowTheirFormsModally();
    void closeButtonEndsTheProgramDestroyingInReverse();
};

void ShellTest::titleFromTheExecutable_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("plain") << "/opt/app/vantorel"
                           << "vantorel";
    QTest::newRow("capitals") << "/opt/app/VanTOREL"
                              << "Vantorel";
    QTest::newRow("extension") << "C:/Program/VANTOREL.EXE"
                               << "Vantorel";
    QTest::newRow("cut at the first dot") << "/x/Attend.old.exe"
                                          << "Attend";
    QTest::newRow("one letter") << "/x/Q"
                                << "Q";
}

void ShellTest::titleFromTheExecutable()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    QCOMPARE(TApplication::titleFromExecutable(path), title);
}

void ShellTest::errorBoxAppendsAFullStop_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Cannot open"
                            << "Cannot open.";
    QTest::newRow("full stop") << "Done."
                               << "Done.";
    QTest::newRow("exclamation") << "Stop!"
                                 << "Stop!";
    QTest::newRow("question") << "Why?"
                              << "Why?.";
    QTest::newRow("digit") << "range 1 to 7"
                           << "range 1 to 7.";
    QTest::newRow("quote") << "for field '员工号'"
                           << "for field '员工号'";
    QTest::newRow("bracket") << "(x)"
                             << "(x)";
    QTest::newRow("chinese") << "数据没有保存"
                             << "数据没有保存.";
    QTest::newRow("empty") << ""
                           << "";
}

void ShellTest::errorBoxAppendsAFullStop()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    TApplication app(QStringLiteral("/opt/vantorel"));
    MessageBoxRecorder boxes;
    QVERIFY(!guarded([&] { throw Error(message); }));
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes[0].text, shown);
    QCOMPARE(boxes.boxes[0].caption, QStringLiteral("vantorel"));
    QCOMPARE(boxes.boxes[0].icon, MsgIcon::Error);
    QCOMPARE(boxes.boxes[0].buttons, MsgButtons::OK);
}

void ShellTest::referencesWaitForTheirModule()
{
    TApplication app(QStringLiteral("/opt/vantorel"));
    app.CreateForm(earlyForm);
    QCOMPARE(earlyForm->link->target, nullptr);
    QCOMPARE(app.pendingReferences(), QStringList{"DATAX.source"});
    app.CreateForm(dataX);
    // Module names match without regard to case; a reference inside the module resolves too.
    QVERIFY(app.pendingReferences().isEmpty());
    QCOMPARE(earlyForm->link->target, dataX->findChild<QObject *>("source"));
    QCOMPARE(dataX->own->target, dataX->findChild<QObject *>("source"));
}

void ShellTest::objectsAreCreatedInOrderAndBound()
{
    TApplication app(QCoreApplication::applicationFilePath());
    CreateModules(app);
    QStringList names;
    for (QObject *m : app.modules())
        names << m->objectName();
    QCOMPARE(names, QStringList({"Form1", "Form2", "Form3", "Form5", "Data1", "Form8", "Form9",
                                 "QuickReport4"}));
    QCOMPARE(app.MainForm(), Form1);
    // Forms made before the data module waited for it; all are bound now.
    QVERIFY(app.pendingReferences().isEmpty());
    QCOMPARE(Form2->DataSource(), Data1->renyuan);
    QCOMPARE(Form5->DataSource(), Data1->qinjia1);
    QCOMPARE(Form9->DataSource(), Data1->cqjl1);
    QCOMPARE(QuickReport4->DataSet(), Data1->Query1);
    for (QObject *m : app.modules()) {
        if (m->isWidgetType())
            QVERIFY(!static_cast<QWidget *>(m)->isVisible());
    }
    // The record forms stand where they were designed, with their captions.
    QCOMPARE(Form2->windowTitle(), QStringLiteral("form2"));
    QCOMPARE(Form2->pos(), QPoint(205, 101));
    QCOMPARE(Form9->windowTitle(), QStringLiteral("Form9"));
    QCOMPARE(Form9->size(), QSize(430 - TForm::kDesignFrameWidth, 284 - TForm::kDesignFrameHeight));
}

void ShellTest::mainMenuIsLaidOutAsDesigned()
{
    TApplication app(QCoreApplication::applicationFilePath());
    CreateModules(app);
    QCOMPARE(Form1->windowTitle(), QStringLiteral("form1"));
    QCOMPARE(Form1->pos(), QPoint(361, 110));
    QCOMPARE(Form1->size(), QSize(166 - TForm::kDesignFrameWidth, 357 - TForm::kDesignFrameHeight));
    auto *group = Form1->findChild<QGroupBox *>("GroupBox1");
    QCOMPARE(group->geometry(), QRect(8, 8, 137, 273));
    QCOMPARE(group->title(), QStringLiteral("Vantorel"));

    const QStringList captions{"员工信息", "出差记录",   "请假记录", "加班记录",
                               "出勤记录", "月考勤统计", "关闭"};
    for (int i = 0; i < 7; ++i) {
        auto *button = Form1->findChild<QPushButton *>(QStringLiteral("Button%1").arg(i + 1));
        QCOMPARE(button->text(), captions[i]);
        QCOMPARE(button->parentWidget(), i < 6 ? static_cast<QWidget *>(group) : Form1);
        QCOMPARE(button->geometry(),
                 i < 6 ? QRect(32, 24 + 40 * i, 73, 25) : QRect(40, 288, 73, 33));
        QVERIFY(!button->isDefault() && !button->autoDefault());
    }

    // Focus starts on the first button and Tab runs through all seven, round and round; Escape
    // does nothing; resizing moves nothing.
    Form1->show();
    Form1->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Form1));
    QStringList order;
    for (int i = 0; i < 8; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order, QStringList({"Button1", "Button2", "Button3", "Button4", "Button5", "Button6",
                                 "Button7", "Button1"}));
    QTest::keyClick(Form1, Qt::Key_Escape);
    QVERIFY(Form1->isVisible());
    Form1->resize(600, 600);
    QCOMPARE(group->geometry(), QRect(8, 8, 137, 273));
}

void ShellTest::menuButtonsShowTheirFormsModally()
{
    TApplication app(QCoreApplication::applicationFilePath());
    CreateModules(app);
    TableFolder folder;
    for (QObject *c : Data1->Components()) {
        if (auto *dataset = qobject_cast<TDataSet *>(c))
            dataset->setDatabaseName(folder.path());
    }
    MessageBoxRecorder boxes;
    Form1->show();
    Form1->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Form1));

    const QList<TForm *> forms{Form2, Form3, Form5, Form8, Form9};
    for (int i = 0; i < forms.size(); ++i) {
        auto *button = Form1->findChild<QPushButton *>(QStringLiteral("Button%1").arg(i + 1));
        button->setFocus();
        TForm *shown = nullptr;
        whenModal([&](TForm *form) {
            shown = form;
            QVERIFY(form->isVisible() && form->isModal());
            QCOMPARE(form->windowModality(), Qt::ApplicationModal);
        });
        // Enter on the focused button clicks it, as a mouse click would.
        QTest::keyClick(button, i % 2 ? Qt::Key_Return : Qt::Key_Space);
        QCOMPARE(shown, forms[i]);
        QVERIFY(!forms[i]->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(Form1));
        QCOMPARE(QApplication::focusWidget(), button);
    }
    // The same instance every time.
    TForm *again = nullptr;
    whenModal([&](TForm *form) { again = form; });
    Form1->findChild<QPushButton *>("Button1")->click();
    QCOMPARE(again, Form2);
    // Each form opened its table when shown, and nothing went wrong.
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.boxes.value(0).text));
    QCOMPARE(Data1->cqjl->State(), DataSetState::Browse);
}

void ShellTest::closeButtonEndsTheProgramDestroyingInReverse()
{
    TApplication app(QCoreApplication::applicationFilePath());
    CreateModules(app);
    QStringList destroyed;
    for (QObject *m : app.modules())
        connect(m, &QObject::destroyed, this,
                [&destroyed, name = m->objectName()] { destroyed << name; });
    QTimer::singleShot(0, [] { Form1->findChild<QPushButton *>("Button7")->click(); });
    QCOMPARE(app.Run(), 0);
    QCOMPARE(destroyed, QStringList({"QuickReport4", "Form9", "Form8", "Data1", "Form5", "Form3",
                                     "Form2", "Form1"}));
}

QTEST_MAIN(ShellTest)
#include "tst_shell.moc"
