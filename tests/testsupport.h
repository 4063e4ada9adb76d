#pragma once

#include "platform/ui/messagebox.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <functional>

// A temporary folder for table files, removed with the object.
class TableFolder
{
public:
    // Makes the five empty table files unless `empty`.
    explicit TableFolder(bool empty = false);
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

    // Runs SQL straight on a table file, as another program would.
    void sql(const QString &fileName, const QString &statement) const;
    // The first column of the first row a query gives, as text.
    QString scalar(const QString &fileName, const QString &query) const;

private:
    QTemporaryDir m_dir;
};

// Answers message boxes instead of a person while it lives, recording what they said.
class MessageBoxRecorder
{
public:
    explicit MessageBoxRecorder(int answer = mrOk);
    ~MessageBoxRecorder();
    QList<MessageBoxRequest> boxes;
    int answer;

private:
    MessageBoxHandler m_previous;
};

// The message of the error the action ends with, or "" when it runs to its end.
QString errorOf(const std::function<void()> &action);
