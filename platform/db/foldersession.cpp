#include "platform/db/foldersession.h"

#include "platform/db/sqlite.h"
#include "platform/db/tablefile.h"
#include "platform/error.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long a statement waits for another program's lock before it reports.
constexpr int kBusyTimeoutMs = 3000;

// A file counts as read-only when the system refuses to write it, and also when it carries no
// write permission at all: that is how a user marks a file read-only, and it holds even for an
// administrator whom the system would let write.
bool writable(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st
    {
    };
    if (::stat(native.constData(), &st) != 0)
        return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    if (::access(native.constData(), W_OK) != 0)
        return false;
    // The rollback journal goes next to the file.
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    return ::access(dir.constData(), W_OK) == 0;
}

} // namespace

std::shared_ptr<FolderSession> FolderSession::forFolder(const QString &folder)
{
    static std::mutex lock;
    static std::map<QString, std::weak_ptr<FolderSession>> sessions;
    const QString key = QDir::cleanPath(QDir(folder).absolutePath());
    std::lock_guard guard(lock);
    // Sessions nobody holds any more are forgotten, so that the map stays as small as the set of
    // folders in use.
    std::erase_if(sessions, [](const auto &entry) { return entry.second.expired(); });
    if (auto existing = sessions[key].lock())
        return existing;
    std::shared_ptr<FolderSession> session(new FolderSession(key));
    sessions[key] = session;
    return session;
}

FolderSession::FolderSession(const QString &folder) : m_folder(folder)
{
    m_db = sqlite::openHardened(QStringLiteral(":memory:"), SQLITE_OPEN_READWRITE);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
}

FolderSession::~FolderSession()
{
    sqlite3_close_v2(m_db);
}

QString FolderSession::resolveFile(const QString &folder, const QString &tableName)
{
    QString name = tableName;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".DB");
    const QDir dir(folder);
    if (dir.exists(name))
        return dir.absoluteFilePath(name);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.absoluteFilePath(entry);
    }
    return dir.absoluteFilePath(name);
}

FolderSession::Table FolderSession::attach(const QString &tableName)
{
    const QString schema = QFileInfo(tableName).completeBaseName().toLower();
    auto it = m_attached.find(schema);
    if (it != m_attached.end()) {
        ++it->users;
        return it->table;
    }

    Table t;
    t.schema = schema;
    t.path = resolveFile(m_folder, tableName);
    if (!QFileInfo(m_folder).isDir())
        throw Error(
            QStringLiteral("The folder '%1' of the table files does not exist").arg(m_folder));
    if (!QFileInfo::exists(t.path))
        throw Error(QStringLiteral("Table file '%1' does not exist").arg(t.path));
    t.readOnly = !writable(t.path);

    const QString uri = QStringLiteral("file:%1?mode=%2")
                            .arg(QString::fromUtf8(QUrl::toPercentEncoding(t.path, "/")),
                                 t.readOnly ? QStringLiteral("ro") : QStringLiteral("rw"));
    try {
        sqlite::exec(
            m_db,
            QStringLiteral("ATTACH %1 AS %2").arg(sqlite::literal(uri), sqlite::quoted(schema)));
    } catch (const Error &e) {
        throw Error(tablefile::storageMessage(e.code(), t.path, e.message()), e.code());
    }
    try {
        t.table = tablefile::checkSchema(m_db, schema, schema, t.path);
        // The engine may have fallen back to reading only.
        t.readOnly = t.readOnly || sqlite3_db_readonly(m_db, schema.toUtf8().constData()) == 1;
        if (!t.readOnly) {
            sqlite::exec(m_db, QStringLiteral("PRAGMA %1.journal_mode=DELETE; PRAGMA "
                                              "%1.synchronous=FULL")
                                   .arg(sqlite::quoted(schema)));
        }
    } catch (const Error &e) {
        sqlite::exec(m_db, QStringLiteral("DETACH %1").arg(sqlite::quoted(schema)));
        if (e.code() == 0)
            throw;
        throw Error(tablefile::storageMessage(e.code(), t.path, e.message()), e.code());
    }
    m_attached.insert(schema, Attached{t, 1});
    return t;
}

void FolderSession::detach(const QString &schema)
{
    auto it = m_attached.find(schema);
    if (it == m_attached.end() || --it->users > 0)
        return;
    m_attached.erase(it);
    // Detaching fails only while a statement on the file is still running; the file is then
    // released when the session closes.
    sqlite3_exec(m_db, QStringLiteral("DETACH %1").arg(sqlite::quoted(schema)).toUtf8().constData(),
                 nullptr, nullptr, nullptr);
}

bool FolderSession::retain(const QString &schema)
{
    auto it = m_attached.find(schema);
    if (it == m_attached.end())
        return false;
    ++it->users;
    return true;
}
