#include "tests/testsupport.h"

#include "platform/db/sqlite.h"
#include "platform/error.h"
#include "tools/tabletool.h"

TableFolder::TableFolder(bool empty)
{
    if (!empty)
        tabletool::createTables(m_dir.path());
}

void TableFolder::sql(const QString &fileName, const QString &statement) const
{
    sqlite3 *db = nullptr;
    sqlite3_open(file(fileName).toUtf8().constData(), &db);
    char *message = nullptr;
    const int rc = sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, &message);
    const QString text = QString::fromUtf8(message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw Error(text, rc);
}

QString TableFolder::scalar(const QString &fileName, const QString &query) const
{
    sqlite3 *db = nullptr;
    sqlite3_open(file(fileName).toUtf8().constData(), &db);
    QString value;
    try {
        SqliteStatement stmt(db, query);
        if (stmt.step())
            value = stmt.columnText(0);
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
    return value;
}

MessageBoxRecorder::MessageBoxRecorder(int answer) : answer(answer)
{
    m_previous = setMessageBoxHandler([this](const MessageBoxRequest &r) {
        boxes.append(r);
        return this->answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    setMessageBoxHandler(m_previous);
}

QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Error &e) {
        return e.message();
    }
    return {};
}
