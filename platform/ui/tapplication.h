#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

class TForm;

// The application object: it owns the top-level objects (forms, data modules, reports) in the
// order of their creation, publishes them by name, resolves the references between them, runs
// the event loop with the first form as the main window, and destroys them in reverse order.
class TApplication : public QObject
{
    Q_OBJECT
public:
    // `executable` is the path of the running program; it gives the title.
    explicit TApplication(const QString &executable);
    ~TApplication() override;

    // The file name without folder, cut before its first ".", every character after the first
    // in lower case.
    static QString titleFromExecutable(const QString &executable);
    // The running application's title ("" when there is none).
    static QString title();

    // Creates a top-level object of class T from its stored description, owned by the
    // application, publishes it under its name and resolves references (see Loader).
    template <class T> void CreateForm(T *&reference)
    {
        auto owned = std::make_unique<T>();
        T *object = owned.get();
        reference = object;
        adopt(std::move(owned));
        created(object);
    }

    // The object published under `name`, letter case not minded; nullptr when there is none.
    QObject *FindModule(const QString &name) const;
    const std::vector<QObject *> &modules() const { return m_order; }
    TForm *MainForm() const { return m_mainForm; }

    // References still waiting for their module, as "Module.Component" texts.
    QStringList pendingReferences() const;

    // Shows the main form and runs the event loop until the main form is closed; then destroys
    // the objects in reverse creation order. Returns the exit code.
    int Run();
    // Ends the event loop at once.
    void Terminate();
    // Destroys the top-level objects, last created first.
    void DestroyModules();

private:
    struct Pending
    {
        QString module;
        QString component;
        QPointer<QObject> referrer;
        QByteArray property;
    };

    void adopt(std::unique_ptr<QObject> object);
    void created(QObject *module);
    void resolveReferences(QObject *module);
    void resolve(QObject *module, QObject *referrer, const QByteArray &property,
                 const QString &componentName);

    QString m_title;
    std::vector<std::unique_ptr<QObject>> m_owned;
    std::vector<QObject *> m_order;
    TForm *m_mainForm = nullptr;
    QList<Pending> m_pending;
};

// The one application object of the program.
extern TApplication *Application;
