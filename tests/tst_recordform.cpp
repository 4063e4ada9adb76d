// The record-form pattern: showing opens the table, the add button appends, closing asks
// whether to save a pending record; and the window settings every record form shares.
#include "app/startup.h"
#include "data/tables.h"
#include "data/unit6.h"
#include "forms/trecordform.h"
#include "forms/unit2.h"
#include "forms/unit3.h"
#include "forms/unit5.h"
#include "forms/unit8.h"
#include "forms/unit9.h"
#include "platform/db/tdatasource.h"
#include "platform/db/tfield.h"
#include "platform/db/ttable.h"
#include "platform/ui/tapplication.h"
#include "platform/ui/tbutton.h"
#include "tests/testsupport.h"

#include <QMessageBox>
#include <QProcess>
#include <QScrollArea>
#include <QtTest>

namespace {

// A record form of the tests' own: the add button, the close button, the staff table, and a
// stand-in for an edit box that holds typed text until the table collects it.
class StaffForm : public TRecordForm, public TDataLink
{
public:
    explicit StaffForm(const QString &folder) : table(nullptr), source(nullptr)
    {
        setObjectName("StaffForm");
        tables::declare(table, tables::staff(), "renyuan1", folder);
        source.setDataSet(&table);
        setDataSource(&source);
        resolveReference("DataSource", &source);
        setProperty("OnShow", "FormShow");
        setProperty("OnCloseQuery", "FormCloseQuery");
        add = new TButton(this);
        add->setObjectName("Button1");
        add->setText("添    加");
        add->setGeometry(8, 8, 73, 25);
        add->setProperty("OnClick", "Button1Click");
        close = new TButton(this);
        close->setObjectName("Button3");
        close->setText("返回主菜单");
        close->setGeometry(8, 40, 73, 25);
        close->setProperty("OnClick", "Button3Click");
        Loaded();
    }
    void type(const QString &text)
    {
        typed = text;
        changed = true;
    }
    void dataEvent(DataEvent event, TField *) override
    {
        if (event == DataEvent::UpdateData && changed) {
            table.FieldByName("员工号")->setText(typed);
            changed = false;
        }
    }
    TTable table;
    TDataSource source;
    TButton *add;
    TButton *close;
    QString typed;
    bool changed = false;
};

// Runs `inside` once the form's modal loop runs; the form must be closed by then or by `inside`.
void showModal(TForm &form, const std::function<void()> &inside)
{
    QTimer::singleShot(0, inside);
    form.ShowModal();
}

QString staffNumbers(const TableFolder &folder)
{
    return folder.scalar("ryxx.DB", "SELECT group_concat(ifnull(员工号, 'blank')) FROM (SELECT "
                                    "员工号 FROM ryxx ORDER BY rowid)");
}

} // namespace

class RecordFormTest : public QObject
{
    Q_OBJECT
private slots:
    void closeAsksOnlyWithARecordPending_data();
    void closeAsksOnlyWithARecordPending();
    void failedPostOnCloseKeepsTheFormOpen();
    void showingAgainKeepsTableRecordAndPendingRecord();
    void missingTableFileStillShowsTheForm();
    void recordFormsShareTheirWindowSettings_data();
    void recordFormsShareTheirWindowSettings();
    void scaleFollowsTheScreensTextSize();
    void saveQuestionThroughRealClicks();
};

void RecordFormTest::closeAsksOnlyWithARecordPending_data()
{
    QTest::addColumn<QString>("before"); // what the user did: "", "add", "add+type", "edit+type"
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<DataSetState>("state");

    QTest::newRow("browse") << "" << int(mrOk) << false << "1" << DataSetState::Browse;
    QTest::newRow("added, OK") << "add" << int(mrOk) << true << "1,blank" << DataSetState::Browse;
    QTest::newRow("added, cancel") << "add" << int(mrCancel) << true << "1" << DataSetState::Insert;
    QTest::newRow("typed, OK") << "add+type" << int(mrOk) << true << "1,5" << DataSetState::Browse;
    QTest::newRow("typed, cancel")
        << "add+type" << int(mrCancel) << true << "1" << DataSetState::Insert;
    QTest::newRow("edited, OK") << "edit+type" << int(mrOk) << true << "5" << DataSetState::Browse;
}

void RecordFormTest::closeAsksOnlyWithARecordPending()
{
    QFETCH(QString, before);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(QString, stored);
    QFETCH(DataSetState, state);
    TableFolder folder;
    folder.sql("ryxx.DB", "INSERT INTO ryxx (员工号) VALUES (1)");
    StaffForm form(folder.path());
    MessageBoxRecorder boxes(answer);
    showModal(form, [&] {
        QCOMPARE(form.table.State(), DataSetState::Browse); // opened by showing
        if (before.startsWith("add"))
            form.add->click();
        if (before.startsWith("edit"))
            form.table.Edit();
        if (before.endsWith("type"))
            form.type("5"); // still in the box when the window is closed
        form.close->click();
    });
    QVERIFY(!form.isVisible());
    QCOMPARE(boxes.boxes.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(boxes.boxes[0].text, QStringLiteral("数据没有保存,需要保存吗?"));
        QCOMPARE(boxes.boxes[0].caption, QStringLiteral("提示"));
        QCOMPARE(boxes.boxes[0].buttons, MsgButtons::OKCancel);
        QCOMPARE(boxes.boxes[0].icon, MsgIcon::None);
    }
    QCOMPARE(staffNumbers(folder), stored);
    QCOMPARE(form.table.State(), state);
}

void RecordFormTest::failedPostOnCloseKeepsTheFormOpen()
{
    TableFolder folder;
    folder.sql("ryxx.DB", "INSERT INTO ryxx (员工号) VALUES (1)");
    StaffForm form(folder.path());
    MessageBoxRecorder boxes(mrOk);
    bool stillOpen = false;
    showModal(form, [&] {
        form.add->click();
        form.type("1"); // taken already
        form.close->click();
        stillOpen = form.isVisible() && form.isModal();
        // Mended, the next close asks again and stores.
        form.type("2");
        form.close->click();
    });
    QVERIFY(stillOpen);
    QCOMPARE(boxes.boxes.size(), 3); // the question, the error, the question again
    QCOMPARE(boxes.boxes[1].icon, MsgIcon::Error);
    QVERIFY(boxes.boxes[1].text.contains("the value 1 of field '员工号' is already used"));
    QCOMPARE(boxes.boxes[2].text, QStringLiteral("数据没有保存,需要保存吗?"));
    QCOMPARE(staffNumbers(folder), QStringLiteral("1,2"));
}

void RecordFormTest::showingAgainKeepsTableRecordAndPendingRecord()
{
    TableFolder folder;
    folder.sql("ryxx.DB", "INSERT INTO ryxx (员工号) VALUES (1), (2), (3)");
    StaffForm form(folder.path());
    MessageBoxRecorder boxes(mrCancel);
    showModal(form, [&] {
        form.table.Next();
        form.add->click();
        form.type("7");
        form.close->click();
    });
    // Another program adds a record meanwhile: the table is not read again on showing.
    folder.sql("ryxx.DB", "INSERT INTO ryxx (员工号) VALUES (9)");
    showModal(form, [&] {
        QCOMPARE(form.table.State(), DataSetState::Insert);
        QVERIFY(form.changed); // the typed text waits in its box
        form.type("");
        form.changed = false;
        form.table.Cancel();
        QCOMPARE(form.table.FieldByName("员工号")->DisplayText(), QStringLiteral("2"));
        form.table.Last();
        QCOMPARE(form.table.FieldByName("员工号")->DisplayText(), QStringLiteral("9"));
        form.close->click();
    });
    QCOMPARE(boxes.boxes.size(), 1);
}

void RecordFormTest::missingTableFileStillShowsTheForm()
{
    TableFolder folder(true);
    StaffForm form(folder.path());
    MessageBoxRecorder boxes;
    bool shown = false;
    showModal(form, [&] {
        shown = form.isVisible();
        form.add->click();
        form.close->click();
    });
    QVERIFY(shown);
    QCOMPARE(boxes.boxes.size(), 2); // the failed open, the failed add; closing asks nothing
    QVERIFY(boxes.boxes[0].text.contains(folder.file("ryxx.DB")));
    QCOMPARE(boxes.boxes[1].text,
             QStringLiteral("renyuan1: Cannot perform this operation on a closed dataset."));
    QCOMPARE(form.table.State(), DataSetState::Inactive);
}

void RecordFormTest::recordFormsShareTheirWindowSettings_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("outer"); // designed left, top, width and height
    QTest::addColumn<bool>("scaled");
    QTest::addColumn<QString>("source");

    QTest::newRow("Form2") << "Form2"
                           << "form2" << QRect(205, 101, 431, 261) << false << "renyuan";
    QTest::newRow("Form3") << "Form3"
                           << "Form3" << QRect(184, 131, 335, 296) << true << "chucai1";
    QTest::newRow("Form5") << "Form5"
                           << "Form5" << QRect(119, 140, 321, 326) << true << "qinjia1";
    QTest::newRow("Form8") << "Form8"
                           << "Form8" << QRect(199, 116, 414, 289) << true << "jiaban1";
    QTest::newRow("Form9") << "Form9"
                           << "Form9" << QRect(153, 219, 430, 284) << true << "cqjl1";
}

void RecordFormTest::recordFormsShareTheirWindowSettings()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, outer);
    QFETCH(bool, scaled);
    QFETCH(QString, source);
    TApplication app(QCoreApplication::applicationFilePath());
    CreateModules(app);
    auto *form = qobject_cast<TRecordForm *>(app.FindModule(name));
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), caption);
    QCOMPARE(form->pos(), outer.topLeft());
    // At 96 dpi with the stand-in font, every form keeps its designed size.
    QCOMPARE(form->size(), QSize(outer.width() - TForm::kDesignFrameWidth,
                                 outer.height() - TForm::kDesignFrameHeight));
    QCOMPARE(form->property("Scaled").toBool(), scaled);
    QCOMPARE(form->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(form->DataSource()->objectName(), source);
    QVERIFY(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    // A window made smaller than its controls gets scroll bars.
    QVERIFY(form->findChild<QScrollArea *>());
}

void RecordFormTest::scaleFollowsTheScreensTextSize()
{
    const QFont font(QStringLiteral("MS Sans Serif"), 8);
    QCOMPARE(TForm::textScale(font, 96), 1.0);
    const double at120 = TForm::textScale(font, 120);
    const double at144 = TForm::textScale(font, 144);
    QVERIFY2(at120 > 1.1 && at120 < 1.4, qPrintable(QString::number(at120)));
    QVERIFY2(at144 > 1.35 && at144 < 1.65, qPrintable(QString::number(at144)));
}

void RecordFormTest::saveQuestionThroughRealClicks()
{
    // No seam here: the real question box, answered by a click on its OK button.
    TableFolder folder;
    StaffForm form(folder.path());
    showModal(form, [&] {
        QTest::mouseClick(form.add, Qt::LeftButton);
        QTimer::singleShot(0, [] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->text(), QStringLiteral("数据没有保存,需要保存吗?"));
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        QTest::mouseClick(form.close, Qt::LeftButton);
    });
    QProcess tool;
    tool.start(QStringLiteral(VANTOREL_TABLES_TOOL), {"export", folder.file("ryxx.DB")});
    QVERIFY(tool.waitForFinished());
    QCOMPARE(QString::fromUtf8(tool.readAllStandardOutput()),
             QStringLiteral("员工号,姓名,部门\n,,\n"));
}

QTEST_MAIN(RecordFormTest)
#include "tst_recordform.moc"
