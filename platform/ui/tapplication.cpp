#include "platform/ui/tapplication.h"

#include "platform/error.h"
#include "platform/referrer.h"
#include "platform/ui/guard.h"
#include "platform/ui/tdatamodule.h"
#include "platform/ui/tform.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>

TApplication *Application = nullptr;

TApplication::TApplication(const QString &executable) : m_title(titleFromExecutable(executable))
{
    Application = this;
    // The title labels the program's entry in the taskbar; window titles stay the forms' own.
    QCoreApplication::setApplicationName(m_title);
    QApplication::setQuitOnLastWindowClosed(false);
    // The forms are laid out pixel by pixel for the classic look: grey button faces, raised
    // buttons, group box titles set into the frame.
    QApplication::setStyle(QStringLiteral("Windows"));
    // The forms are designed in "MS Sans Serif", which holds no Chinese; a CJK face stands in.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("WenQuanYi Zen Hei"),
                                QStringLiteral("Droid Sans Fallback")});
}

TApplication::~TApplication()
{
    DestroyModules();
    if (Application == this)
        Application = nullptr;
}

QString TApplication::titleFromExecutable(const QString &executable)
{
    QString name = QFileInfo(executable).fileName();
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString TApplication::title()
{
    return Application ? Application->m_title : QString();
}

void TApplication::adopt(std::unique_ptr<QObject> object)
{
    m_order.push_back(object.get());
    m_owned.push_back(std::move(object));
}

void TApplication::created(QObject *module)
{
    if (auto *form = qobject_cast<TForm *>(module)) {
        form->Loaded();
        if (!m_mainForm)
            m_mainForm = form;
    }
    resolveReferences(module);
    // References that waited for this module.
    for (qsizetype i = 0; i < m_pending.size();) {
        const Pending p = m_pending[i];
        if (p.module.compare(module->objectName(), Qt::CaseInsensitive) == 0) {
            m_pending.removeAt(i);
            if (p.referrer)
                resolve(module, p.referrer, p.property, p.component);
        } else {
            ++i;
        }
    }
    if (auto *dataModule = qobject_cast<TDataModule *>(module))
        dataModule->Loaded();
}

QObject *TApplication::FindModule(const QString &name) const
{
    for (QObject *m : m_order) {
        if (m->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return m;
    }
    return nullptr;
}

void TApplication::resolveReferences(QObject *module)
{
    QList<QObject *> objects = module->findChildren<QObject *>();
    objects.prepend(module);
    for (QObject *object : std::as_const(objects)) {
        auto *referrer = dynamic_cast<Referrer *>(object);
        if (!referrer)
            continue;
        for (const QByteArray &property : referrer->referenceProperties()) {
            const QString text = object->property(property.constData()).toString();
            if (text.isEmpty())
                continue;
            const qsizetype dot = text.indexOf(u'.');
            if (dot < 0) {
                resolve(module, object, property, text);
                continue;
            }
            const QString moduleName = text.left(dot);
            const QString component = text.mid(dot + 1);
            if (QObject *target = FindModule(moduleName))
                resolve(target, object, property, component);
            else
                m_pending.append({moduleName, component, object, property});
        }
    }
}

void TApplication::resolve(QObject *module, QObject *referrer, const QByteArray &property,
                           const QString &componentName)
{
    QObject *component = module->objectName() == componentName
                             ? module
                             : module->findChild<QObject *>(componentName);
    if (!component) {
        throw Error(QStringLiteral("%1.%2: component '%3.%4' not found")
                        .arg(referrer->objectName(), QString::fromLatin1(property),
                             module->objectName(), componentName));
    }
    dynamic_cast<Referrer *>(referrer)->resolveReference(property, component);
}

QStringList TApplication::pendingReferences() const
{
    QStringList texts;
    for (const Pending &p : m_pending)
        texts << p.module + u'.' + p.component;
    return texts;
}

int TApplication::Run()
{
    if (!m_pending.isEmpty()) {
        showErrorBox(QStringLiteral("Unresolved references: %1")
                         .arg(pendingReferences().join(QStringLiteral(", "))));
    }
    int code = 0;
    if (m_mainForm) {
        m_mainForm->show();
        m_mainForm->activateWindow();
        code = QApplication::exec();
    }
    DestroyModules();
    return code;
}

void TApplication::Terminate()
{
    QCoreApplication::exit(0);
}

void TApplication::DestroyModules()
{
    m_mainForm = nullptr;
    while (!m_owned.empty()) {
        m_owned.pop_back();
        m_order.pop_back();
    }
}
